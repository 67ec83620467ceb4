#pragma once

// Office files for the reader and writer suites, made and read back by real
// producers and consumers: QPdfWriter and QPainter for PDFs and images, libzip
// for packages both ways, and external programs (qpdf, heif-enc, xmllint,
// poppler-utils, python3 with openpyxl) through runProgram.

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

// xl/worksheets/sheet1.xml around the given sheetData content, and
// xl/sharedStrings.xml around the given si elements.
QByteArray worksheetXml(const QByteArray& sheetDataContent);
QByteArray sharedStringsXml(const QByteArray& items);

// A PDF with one page per text (drawn in DejaVu Sans, or the given family), or
// with pictures of the texts and no text layer, as a scanner makes them.
bool writeTextPdf(const QString& path, const QStringList& pageTexts, const QString& family = {},
                  bool asPictures = false);

// The lines drawn in black, one below the other, on the background.
QImage textImage(const QStringList& lines, const QString& family, int pixelSize, QSize size = {},
                 const QColor& background = Qt::white);

struct ProcessResult {
    int exitCode = -1; // -1 when it could not start, crashed or hung
    QByteArray output; // standard output
    QByteArray errors; // standard error
};
ProcessResult runProgram(const QString& program, const QStringList& arguments);

struct ZipEntry {
    QString name;
    QByteArray data;
    bool deflated = false;
};
// Every entry of the archive in stored order; empty when it cannot be read.
QList<ZipEntry> readZip(const QString& path);
QByteArray entryData(const QList<ZipEntry>& entries, const QString& name);

// xmllint's complaint about the part (empty when it validates) against a schema
// of the test data.
QString schemaViolations(const QString& schemaFile, const QByteArray& xml);
