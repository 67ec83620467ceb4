#include "writer_test_support.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <zip.h>

namespace WriterTests {

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
    for (const ZipEntry& entry : entries) {
        if (entry.name == name) {
            return entry.data;
        }
    }
    return {};
}

QStringList entryNames(const QList<ZipEntry>& entries) {
    QStringList names;
    for (const ZipEntry& entry : entries) {
        names.append(entry.name);
    }
    return names;
}

ProcessResult runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(120000)) {
        return {-1, {}, process.errorString().toUtf8()};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QString schemaViolations(const QString& schemaFile, const QByteArray& xml) {
    QTemporaryFile part(QDir::tempPath() + QStringLiteral("/part-XXXXXX.xml"));
    if (!part.open() || part.write(xml) != xml.size() || !part.flush()) {
        return QStringLiteral("cannot write the part for xmllint");
    }
    const ProcessResult result = runProgram(
        QStringLiteral("xmllint"),
        {QStringLiteral("--noout"), QStringLiteral("--nonet"), QStringLiteral("--schema"),
         QStringLiteral(EMBERGLASS_TEST_DATA_DIR "/ooxml-schemas/") + schemaFile, part.fileName()});
    return result.exitCode == 0 ? QString() : QString::fromUtf8(result.errors);
}

QList<QByteArray> elementTexts(const QByteArray& xml, const QByteArray& tag) {
    const QRegularExpression element(QStringLiteral("<%1(?: [^>]*)?>(.*?)</%1>")
                                         .arg(QRegularExpression::escape(QString::fromUtf8(tag))),
                                     QRegularExpression::DotMatchesEverythingOption);
    QList<QByteArray> texts;
    auto matches = element.globalMatch(QString::fromUtf8(xml));
    while (matches.hasNext()) {
        texts.append(matches.next().captured(1).toUtf8());
    }
    return texts;
}

ProcessResult runPython(const QString& script, const QStringList& arguments) {
    return runProgram(QStringLiteral("/usr/bin/python3"),
                      QStringList{QStringLiteral("-c"), script} + arguments);
}

} // namespace WriterTests
