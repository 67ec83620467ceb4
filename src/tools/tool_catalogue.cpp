#include "tools/tool_catalogue.h"

#include "tools/tool_table.h"

#include <QJsonObject>

namespace {

QJsonObject definition(const ToolSpec& tool) {
    QJsonObject properties;
    QJsonArray required;
    for (const ToolParameter& parameter : tool.parameters) {
        properties.insert(
            QString::fromUtf8(parameter.name),
            QJsonObject{{QStringLiteral("type"), QStringLiteral("string")},
                        {QStringLiteral("description"), QString::fromUtf8(parameter.description)}});
        required.append(QString::fromUtf8(parameter.name));
    }
    const QJsonObject schema{{QStringLiteral("type"), QStringLiteral("object")},
                             {QStringLiteral("properties"), properties},
                             {QStringLiteral("required"), required}};
    const QJsonObject function{{QStringLiteral("name"), tool.name},
                               {QStringLiteral("description"), tool.description},
                               {QStringLiteral("parameters"), schema}};
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("function")},
                       {QStringLiteral("function"), function}};
}

QJsonArray buildCatalogue() {
    QJsonArray catalogue;
    for (const ToolSpec& tool : toolTable()) {
        catalogue.append(definition(tool));
    }
    return catalogue;
}

} // namespace

const QJsonArray& toolDefinitions() {
    static const QJsonArray catalogue = buildCatalogue();
    return catalogue;
}
