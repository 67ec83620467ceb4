#include "reader_fixtures.h"

#include <QFile>
#include <QFont>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryFile>

#include <zip.h>

namespace {

constexpr char wordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr char sheetNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

bool paintPages(const QString& path, int pages,
                const std::function<void(QPainter&, int)>& paintPage) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    for (int page = 0; page < pages; ++page) {
        if (page > 0) {
            writer.newPage();
        }
        paintPage(painter, page);
    }
    return painter.end();
}

} // namespace

bool writeZip(const QString& path, const ZipEntries& entries) {
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        return false;
    }
    // The sources read from the entries' data until zip_close.
    for (const auto& [name, content] : entries) {
        zip_source_t* source = zip_source_buffer(archive, content.constData(), content.size(), 0);
        if (source == nullptr ||
            zip_file_add(archive, name.constData(), source, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

QByteArray zipBytes(const ZipEntries& entries) {
    QTemporaryFile file;
    if (!file.open() || !writeZip(file.fileName(), entries)) {
        return {};
    }
    QFile written(file.fileName());
    return written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
}

QByteArray wordDocumentXml(const QByteArray& bodyContent) {
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                      "\n<w:document xmlns:w=\"") +
           wordNamespace + "\"><w:body>" + bodyContent + "</w:body></w:document>";
}

ZipEntries docxPackage(const QByteArray& documentXml) {
    return {{"word/document.xml", documentXml}};
}

QByteArray worksheetXml(const QByteArray& sheetDataContent) {
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                      "\n<worksheet xmlns=\"") +
           sheetNamespace + "\"><sheetData>" + sheetDataContent + "</sheetData></worksheet>";
}

QByteArray sharedStringsXml(const QByteArray& items) {
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                      "\n<sst xmlns=\"") +
           sheetNamespace + "\">" + items + "</sst>";
}

ZipEntries xlsxPackage(const QByteArray& sheetXml, const QByteArray& sharedXml) {
    ZipEntries entries{{"xl/worksheets/sheet1.xml", sheetXml}};
    if (!sharedXml.isEmpty()) {
        entries.append({"xl/sharedStrings.xml", sharedXml});
    }
    return entries;
}

bool writeTextPdf(const QString& path, const QStringList& pageTexts, const QString& family) {
    return paintPages(path, static_cast<int>(pageTexts.size()), [&](QPainter& painter, int page) {
        QFont font(family.isEmpty() ? QStringLiteral("DejaVu Sans") : family);
        font.setPointSize(11);
        painter.setFont(font);
        painter.drawText(QRectF(50, 50, 495, 740), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                         pageTexts[page]);
    });
}

bool writeImageOnlyPdf(const QString& path, int pages) {
    const QImage picture = textImage({QStringLiteral("Scanned page")},
                                     QStringLiteral("DejaVu Sans"), 40, QSize(500, 120));
    return paintPages(path, pages,
                      [&](QPainter& painter, int) { painter.drawImage(QPointF(50, 50), picture); });
}

QImage textImage(const QStringList& lines, const QString& family, int pixelSize, QSize size) {
    const int lineHeight = pixelSize * 2;
    if (size.isEmpty()) {
        size = QSize(pixelSize * 30, lineHeight * (static_cast<int>(lines.size()) + 1));
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QFont font(family);
    font.setPixelSize(pixelSize);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        painter.drawText(pixelSize, static_cast<int>(lineHeight * (i + 1)), lines[i]);
    }
    return image;
}

int runTool(const QString& program, const QStringList& arguments, QString* errors, int timeoutMs) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (errors != nullptr) {
        *errors = QString::fromLocal8Bit(process.readAllStandardError());
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
