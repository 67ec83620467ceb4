#pragma once

#include "tools/tool_table.h"

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// What the window shows of a tool, from the tool table.
class ToolDisplay : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    using QObject::QObject;

    // The symbol beside its calls; a name the table lacks (a model may call
    // anything) gets the generic one.
    Q_INVOKABLE QString symbol(const QString& tool) const {
        const ToolSpec* spec = findTool(tool);
        return spec ? spec->symbol : QStringLiteral("wrench");
    }
};
