#include "core/inspector_panel.h"

QString toText(InspectorSidebarPanel panel) {
    switch (panel) {
    case InspectorSidebarPanel::mobile:
        return QStringLiteral("mobile");
    case InspectorSidebarPanel::model:
        return QStringLiteral("model");
    case InspectorSidebarPanel::persona:
        return QStringLiteral("persona");
    case InspectorSidebarPanel::about:
        return QStringLiteral("about");
    }
    return {};
}

std::optional<InspectorSidebarPanel> inspectorPanelFromText(const QString& text) {
    for (InspectorSidebarPanel panel :
         {InspectorSidebarPanel::mobile, InspectorSidebarPanel::model,
          InspectorSidebarPanel::persona, InspectorSidebarPanel::about}) {
        if (toText(panel) == text) {
            return panel;
        }
    }
    return std::nullopt;
}
