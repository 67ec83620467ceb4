#pragma once

// Inputs for the reader tests, made by real producers: QPdfWriter and
// QPainter for PDFs and images, libzip for packages, external tools (qpdf,
// heif-enc, LibreOffice) through runTool.

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

using ZipEntries = QList<QPair<QByteArray, QByteArray>>; // member name, content

// Writes a ZIP archive (deflated members, in the order given). False on failure.
bool writeZip(const QString& path, const ZipEntries& entries);
QByteArray zipBytes(const ZipEntries& entries);

// A word/document.xml with the given body content (w: is WordprocessingML).
QByteArray wordDocumentXml(const QByteArray& bodyContent);
// The one member of a DOCX that read_docx reads.
ZipEntries docxPackage(const QByteArray& documentXml);

// xl/worksheets/sheet1.xml around the given sheetData content, and
// xl/sharedStrings.xml around the given si elements.
QByteArray worksheetXml(const QByteArray& sheetDataContent);
QByteArray sharedStringsXml(const QByteArray& items);
// The members of an XLSX that read_xlsx reads: that sheet1 and, when not empty,
// those shared strings.
ZipEntries xlsxPackage(const QByteArray& sheetXml, const QByteArray& sharedXml = {});

// A PDF with one page per text (drawn in DejaVu Sans, or the given family).
bool writeTextPdf(const QString& path, const QStringList& pageTexts, const QString& family = {});
// A PDF whose pages are pictures of text only, with no text layer.
bool writeImageOnlyPdf(const QString& path, int pages);

// White image with the lines drawn in black, one below the other.
QImage textImage(const QStringList& lines, const QString& family, int pixelSize, QSize size = {});

// Runs a program to its end; its exit code, or -1 when it could not start or
// crashed. Standard error goes to *errors when given.
int runTool(const QString& program, const QStringList& arguments, QString* errors = nullptr,
            int timeoutMs = 120000);
