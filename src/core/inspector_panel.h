#pragma once

#include <QObject>

// The inspector panels, in the order of their sidebar buttons.
namespace InspectorSidebarPanelType {
Q_NAMESPACE
enum class Value { mobile, model, persona, settings, about };
Q_ENUM_NS(Value)
} // namespace InspectorSidebarPanelType
using InspectorSidebarPanel = InspectorSidebarPanelType::Value;
