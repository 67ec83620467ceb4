#pragma once

#include <QString>
#include <QStringView>
#include <QXmlStreamReader>

// A value read from one XML part of a package, or why the part could not be
// read. A damaged part is reported rather than read up to the damage: half a
// document presented as the whole would mislead whoever reads it.
template <typename T> struct PartReading {
    T value{};
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// "<part> is not well-formed XML (<reason>, line L, column C)".
QString malformedPartDescription(QStringView part, const QXmlStreamReader& reader);

// Elements are matched by namespace and local name, not by prefix: Word
// writes "w:t", other producers pick other prefixes or a default namespace.
// The Transitional and Strict namespaces are accepted, and so is no namespace
// at all (hand-made parts).
bool isWordElement(const QXmlStreamReader& reader, QStringView localName);
bool isSpreadsheetElement(const QXmlStreamReader& reader, QStringView localName);
// For loops that test one element against several names.
bool isWordNamespace(QStringView namespaceUri);
bool isSpreadsheetNamespace(QStringView namespaceUri);
