#pragma once

#include <QSize>
#include <QString>

// Every text the four document readers hand to the model, in one place (those
// every tool shares are in tools/tool_texts.h).
namespace ReaderTexts {

// Every reader, after the first 100,000 characters of a longer text.
inline QString textTruncated(qint64 totalBytes) {
    return QStringLiteral("\n\n[... truncated, text is ") + QString::number(totalBytes) +
           QStringLiteral(" bytes total]");
}

// read_pdf and read_image, ended by the time limit or the user.
inline QString readingTookTooLong(const QString& path, qint64 seconds) {
    return QStringLiteral("Error: Reading %1 took longer than %2 seconds").arg(path).arg(seconds);
}
inline QString readingStopped(const QString& path) {
    return QStringLiteral("Error: Reading %1 was stopped by the user").arg(path);
}

// read_pdf
inline QString cannotOpenPdf(const QString& path) {
    return QStringLiteral("Cannot open PDF: ") + path;
}
inline QString pdfHeader(int pages) {
    return QStringLiteral("PDF: %1 pages\n\n").arg(pages);
}
inline QString pdfPageHeader(int page) {
    return QStringLiteral("--- Page %1 ---\n").arg(page);
}
inline QString pdfWithoutText(int pages) {
    return QStringLiteral(
               "(PDF has %1 pages but no extractable text \u2014 may be scanned/image-based)")
        .arg(pages);
}
inline QString pdfTruncated(int pages) {
    return QStringLiteral("\n[... truncated, %1 pages total]").arg(pages);
}

// read_image
inline QString cannotReadImage(const QString& path) {
    return QStringLiteral("Cannot read image: ") + path;
}
inline QString imageTooLarge(const QString& path, QSize size, int limitMegapixels) {
    return cannotReadImage(path) +
           QStringLiteral(" (%1 \u00d7 %2 pixels, more than the %3 megapixels read_image decodes)")
               .arg(size.width())
               .arg(size.height())
               .arg(limitMegapixels);
}
inline QString ocrFailed(const QString& description) {
    return QStringLiteral("OCR failed: ") + description;
}
inline QString ocrError(const QString& description) {
    return QStringLiteral("OCR error: ") + description;
}
inline QString noTextInImage() {
    return QStringLiteral("(No text detected in image)");
}

// read_docx and read_xlsx, a part of the package the XML parser refuses.
inline QString partNestedTooDeeply(QStringView part) {
    return QStringLiteral("%1 is nested too deeply to read").arg(part);
}
inline QString partDeclaresDtd(QStringView part) {
    return QStringLiteral("%1 declares a DTD, which package parts may not have; not reading it")
        .arg(part);
}
// `reason`: the parser's words, where it stopped.
inline QString partNotWellFormed(QStringView part, const QString& reason, int line, int column) {
    return QStringLiteral("%1 is not well-formed XML (%2, line %3, column %4)")
        .arg(part, reason)
        .arg(line)
        .arg(column);
}
inline QString partEmpty(QStringView part) {
    return QStringLiteral("%1 is not well-formed XML (the part is empty)").arg(part);
}
inline QString partNotWellFormed(QStringView part) {
    return QStringLiteral("%1 is not well-formed XML").arg(part);
}
inline QString partTooLarge(QStringView part) {
    return QStringLiteral("%1 is too large to read").arg(part);
}
inline QString partOutOfMemory(QStringView part) {
    return QStringLiteral("%1 could not be read: out of memory").arg(part);
}

// read_docx
inline QString documentTooLarge(int budgetMiB) {
    return QStringLiteral("Document too large to read: its text is more than %1 MiB")
        .arg(budgetMiB);
}
inline QString notADocx() {
    return QStringLiteral("Not a valid DOCX file (no word/document.xml)");
}
inline QString docxWithoutText() {
    return QStringLiteral("(DOCX has no text content)");
}

// read_xlsx
inline QString notAnXlsx() {
    return QStringLiteral("Not a valid XLSX or no sheet1");
}
inline QString spreadsheetTooLarge(int budgetMiB) {
    return QStringLiteral("Spreadsheet too large to read: its cells hold more than %1 MiB of text")
        .arg(budgetMiB);
}
inline QString spreadsheetEmpty() {
    return QStringLiteral("(Spreadsheet is empty)");
}
inline QString xlsxHeader(qsizetype rows) {
    return QStringLiteral("Rows: %1\n\n").arg(rows);
}

} // namespace ReaderTexts
