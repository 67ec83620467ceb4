#include "tools/readers/ooxml_xml.h"

#include <cstring>

OoxmlNamespace::OoxmlNamespace(const char* transitional, const char* strict)
    : m_transitional(transitional), m_strict(strict) {}

OoxmlNamespace OoxmlNamespace::wordprocessing() {
    return {"http://schemas.openxmlformats.org/wordprocessingml/2006/main",
            "http://purl.oclc.org/ooxml/wordprocessingml/main"};
}

OoxmlNamespace OoxmlNamespace::spreadsheet() {
    return {"http://schemas.openxmlformats.org/spreadsheetml/2006/main",
            "http://purl.oclc.org/ooxml/spreadsheetml/main"};
}

bool OoxmlNamespace::contains(const char* namespaceUri) const {
    if (namespaceUri == nullptr || *namespaceUri == '\0') {
        return true;
    }
    if (namespaceUri != m_lastUri) {
        m_lastUri = namespaceUri;
        m_lastAnswer = std::strcmp(namespaceUri, m_transitional) == 0 ||
                       std::strcmp(namespaceUri, m_strict) == 0;
    }
    return m_lastAnswer;
}

bool OoxmlNamespace::contains(const XmlElement& element, const char* localName) const {
    return std::strcmp(element.localName, localName) == 0 && contains(element.namespaceUri);
}
