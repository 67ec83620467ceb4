#pragma once

#include <QObject>
#include <QString>

#include <optional>

// The inspector panels, in the order of their sidebar buttons.
class InspectorSidebarPanelType {
    Q_GADGET

public:
    enum class Value { mobile, model, persona, about };
    Q_ENUM(Value)
};
using InspectorSidebarPanel = InspectorSidebarPanelType::Value;

QString toText(InspectorSidebarPanel panel);
std::optional<InspectorSidebarPanel> inspectorPanelFromText(const QString& text);
