#pragma once

#include "tools/readers/xml_part_parser.h"

#include <QString>

// A value read from one XML part of a package, or why the part could not be
// read. A damaged part is reported rather than read up to the damage: half a
// document presented as the whole would mislead whoever reads it.
template <typename T> struct PartReading {
    T value{};
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Elements are matched by namespace and local name, not by prefix: Word
// writes "w:t", other producers pick other prefixes or a default namespace.
// The Transitional and Strict namespaces are accepted, and so is no namespace
// at all (hand-made parts). The answer for the last namespace seen is kept:
// libxml2 hands out the same pointer for every element of one namespace.
class OoxmlNamespace {
public:
    static OoxmlNamespace wordprocessing();
    static OoxmlNamespace spreadsheet();

    bool contains(const XmlElement& element, const char* localName) const;
    bool contains(const char* namespaceUri) const;

private:
    OoxmlNamespace(const char* transitional, const char* strict);

    const char* m_transitional;
    const char* m_strict;
    mutable const char* m_lastUri = nullptr;
    mutable bool m_lastAnswer = true;
};
