#pragma once

// What the writer suites share: reading a written archive back, running the
// external checkers (xmllint, poppler-utils, openpyxl) and finding pieces of XML.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace WriterTests {

struct ZipEntry {
    QString name;
    QByteArray data;
    bool deflated = false;
};

// Every entry of the archive in stored order; empty when it cannot be read.
QList<ZipEntry> readZip(const QString& path);
QByteArray entryData(const QList<ZipEntry>& entries, const QString& name);
QStringList entryNames(const QList<ZipEntry>& entries);

struct ProcessResult {
    int exitCode = -1;
    QByteArray output; // standard output
    QByteArray errors; // standard error
};
ProcessResult runProgram(const QString& program, const QStringList& arguments);

// xmllint's complaint about the part (empty when it validates) against a schema
// of the test data.
QString schemaViolations(const QString& schemaFile, const QByteArray& xml);

// The texts of every element <tag ...>text</tag> in xml, in document order.
QList<QByteArray> elementTexts(const QByteArray& xml, const QByteArray& tag);

// Runs /usr/bin/python3 on the script with the arguments; openpyxl lives there.
ProcessResult runPython(const QString& script, const QStringList& arguments);

} // namespace WriterTests
