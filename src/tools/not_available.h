#pragma once

#include "tools/tool_types.h"

// Placeholder outcome for a tool that has not been built yet.
inline ToolOutcome toolNotAvailable(const QString& name) {
    return {name, false, QStringLiteral("Tool not available yet: ") + name};
}
