#pragma once

// Data-driven tests keep their cases as JSON under tests/data, so that inputs
// and expected answers stay out of the test code: a file holds named tables,
// each an array of objects with a "tag"; the test fetches the whole object as
// column "row".

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

// A file of tests/data (path relative to it), read once per process.
inline QJsonObject jsonFile(const QString& file) {
    static QHash<QString, QJsonObject> read;
    if (const auto it = read.constFind(file); it != read.constEnd()) {
        return *it;
    }
    QFile data(QStringLiteral(EMBERGLASS_TEST_DATA_DIR "/") + file);
    if (!data.open(QIODevice::ReadOnly)) {
        qFatal("no test data %s", qPrintable(data.fileName()));
    }
    return read[file] = QJsonDocument::fromJson(data.readAll()).object();
}

inline QJsonValue jsonTable(const QString& file, const QString& table) {
    return jsonFile(file).value(table);
}

// Rows of the same table from several files: each row says its file's name
// (without ".json") as "file", so no row may have a member of that name; its
// tag is prefixed with the name.
inline void addJsonRows(const QString& file, const QString& table,
                        const QStringList& moreFiles = {}) {
    QTest::addColumn<QJsonObject>("row");
    for (const QString& name : QStringList{file} + moreFiles) {
        const QString stem = name.section('/', -1).section('.', 0, 0);
        for (const QJsonValue& value : jsonTable(name, table).toArray()) {
            QJsonObject row = value.toObject();
            if (row.contains(QLatin1String("file"))) {
                qFatal("%s: \"file\" is the row's file name, not a member", qPrintable(name));
            }
            row.insert(QLatin1String("file"), stem);
            const QString tag = row.value(QLatin1String("tag")).toString();
            QTest::newRow(qPrintable(moreFiles.isEmpty() ? tag : stem + ": " + tag)) << row;
        }
    }
}

// A bool column and its two rows, false first, each under its tag.
inline void addBoolRows(const char* column, const char* whenFalse, const char* whenTrue) {
    QTest::addColumn<bool>(column);
    QTest::newRow(whenFalse) << false;
    QTest::newRow(whenTrue) << true;
}

// A text member as its UTF-8 bytes ("hex:..." for bytes that are no UTF-8);
// an object or array as compact JSON.
inline QByteArray jsonBytes(const QJsonValue& value) {
    if (value.isObject()) {
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    }
    if (value.isArray()) {
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    }
    const QString text = value.toString();
    return text.startsWith(QLatin1String("hex:")) ? QByteArray::fromHex(text.mid(4).toLatin1())
                                                  : text.toUtf8();
}

inline QStringList jsonTexts(const QJsonValue& array) {
    QStringList texts;
    for (const QJsonValue& text : array.toArray()) {
        texts << text.toString();
    }
    return texts;
}
