#pragma once

#include <QList>
#include <QString>

// Pieces of the packaging conventions both OOXML writers share: the content-types
// part's fixed opening and the relationship elements.
namespace OpcParts {

// Declaration, the Types root and the "rels" and "xml" defaults, each line ended.
QString contentTypesOpening();
// One <Override .../> element, without a line break.
QString contentTypeOverride(const QString& partName, const QString& contentType);
inline QString contentTypesClosing() {
    return QStringLiteral("</Types>");
}

// Declaration and the Relationships root opening tag, line ended.
QString relationshipsOpening();
// One <Relationship .../> element of a standard officeDocument relationship type.
QString relationship(const QString& id, const char* type, const QString& target);
inline QString relationshipsClosing() {
    return QStringLiteral("</Relationships>");
}

struct Relationship {
    QString id;
    const char* type; // a standard officeDocument relationship type
    QString target;
};

// A whole relationships part, each relationship on its own line.
QString relationshipsPart(const QList<Relationship>& relationships);

// The package's own _rels/.rels: one officeDocument relationship to mainPart.
QString packageRelationships(const QString& mainPart);

} // namespace OpcParts
