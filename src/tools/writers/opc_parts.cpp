#include "tools/writers/opc_parts.h"

#include "tools/writers/ooxml_names.h"

namespace OpcParts {

QString contentTypesOpening() {
    return QLatin1String(Ooxml::xmlDeclaration) + QStringLiteral("<Types xmlns=\"") +
           QLatin1String(Ooxml::contentTypesNamespace) +
           QStringLiteral("\">\n<Default Extension=\"rels\" ContentType=\"") +
           QLatin1String(Ooxml::relationshipsContentType) +
           QStringLiteral("\"/>\n<Default Extension=\"xml\" ContentType=\"") +
           QLatin1String(Ooxml::xmlContentType) + QStringLiteral("\"/>\n");
}

QString contentTypeOverride(const QString& partName, const QString& contentType) {
    return QStringLiteral("<Override PartName=\"") + partName +
           QStringLiteral("\" ContentType=\"") + contentType + QStringLiteral("\"/>");
}

QString relationshipsOpening() {
    return QLatin1String(Ooxml::xmlDeclaration) + QStringLiteral("<Relationships xmlns=\"") +
           QLatin1String(Ooxml::packageRelationshipsNamespace) + QStringLiteral("\">\n");
}

QString relationship(const QString& id, const char* type, const QString& target) {
    return QStringLiteral("<Relationship Id=\"") + id + QStringLiteral("\" Type=\"") +
           QLatin1String(Ooxml::relationshipsNamespace) + QLatin1Char('/') + QLatin1String(type) +
           QStringLiteral("\" Target=\"") + target + QStringLiteral("\"/>");
}

QString relationshipsPart(const QList<Relationship>& relationships) {
    QString xml = relationshipsOpening();
    for (const Relationship& r : relationships) {
        xml += relationship(r.id, r.type, r.target) + QLatin1Char('\n');
    }
    return xml + relationshipsClosing();
}

QString packageRelationships(const QString& mainPart) {
    return relationshipsPart({{QStringLiteral("rId1"), Ooxml::officeDocumentType, mainPart}});
}

} // namespace OpcParts
