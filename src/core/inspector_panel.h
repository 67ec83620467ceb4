#pragma once

#include <QObject>

// The inspector panels, in the order of their sidebar buttons.
class InspectorSidebarPanelType {
    Q_GADGET

public:
    enum class Value { mobile, model, persona, about };
    Q_ENUM(Value)
};
using InspectorSidebarPanel = InspectorSidebarPanelType::Value;
