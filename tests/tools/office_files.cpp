#include "office_files.h"

#include <QDir>
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

bool writeTextPdf(const QString& path, const QStringList& pageTexts, const QString& family,
                  bool asPictures) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    QFont font(family.isEmpty() ? QStringLiteral("DejaVu Sans") : family);
    font.setPointSize(11);
    painter.setFont(font);
    for (qsizetype page = 0; page < pageTexts.size(); ++page) {
        if (page > 0) {
            writer.newPage();
        }
        if (asPictures) {
            painter.drawImage(QPointF(50, 50), textImage({pageTexts[page]}, font.family(), 40));
        } else {
            painter.drawText(QRectF(50, 50, 495, 740),
                             Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, pageTexts[page]);
        }
    }
    return painter.end();
}

QImage textImage(const QStringList& lines, const QString& family, int pixelSize, QSize size,
                 const QColor& background) {
    const int lineHeight = pixelSize * 2;
    if (size.isEmpty()) {
        size = QSize(pixelSize * 30, lineHeight * (static_cast<int>(lines.size()) + 1));
    }
    QImage image(size, background.alpha() < 255 ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    image.fill(background);
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

QList<ZipEntry> readZip(const QString& path) {
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        return {};
    }
    QList<ZipEntry> entries;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, i, 0, &stat);
        QByteArray data(static_cast<qsizetype>(stat.size), Qt::Uninitialized);
        zip_file_t* file = zip_fopen_index(archive, i, 0);
        if (file != nullptr) {
            zip_fread(file, data.data(), stat.size);
            zip_fclose(file);
        }
        entries.append({QString::fromUtf8(stat.name), data, stat.comp_method == ZIP_CM_DEFLATE});
    }
    zip_discard(archive);
    return entries;
}

QByteArray entryData(const QList<ZipEntry>& entries, const QString& name) {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const ZipEntry& entry) { return entry.name == name; });
    return it == entries.end() ? QByteArray() : it->data;
}

ProcessResult runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, process.errorString().toUtf8()};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QString schemaViolations(const QString& schemaFile, const QByteArray& xml) {
    QTemporaryFile part(QDir::tempPath() + "/part-XXXXXX.xml");
    if (!part.open() || part.write(xml) != xml.size() || !part.flush()) {
        return "cannot write the part for xmllint";
    }
    const ProcessResult result = runProgram(
        "xmllint", {"--noout", "--nonet", "--schema",
                    EMBERGLASS_TEST_DATA_DIR "/ooxml-schemas/" + schemaFile, part.fileName()});
    return result.exitCode == 0 ? QString() : QString::fromUtf8(result.errors);
}
