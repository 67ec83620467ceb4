#pragma once

#include "tools/tool_types.h"

#include <QJsonArray>
#include <QString>

#include <optional>

// The top-level JSON array of a writer's structured argument; nothing when the
// text is not JSON or not an array.
std::optional<QJsonArray> parseJsonArray(const QString& json);

// The answer to an argument that could not be read (nothing parsed) or holds
// nothing to write; nothing when the writer can go ahead.
template <typename Items>
std::optional<ToolOutcome> refusal(const QString& tool, const std::optional<Items>& items,
                                   const QString& invalidMessage, const QString& emptyMessage) {
    if (!items) {
        return ToolOutcome{tool, false, invalidMessage};
    }
    if (items->isEmpty()) {
        return ToolOutcome{tool, false, emptyMessage};
    }
    return std::nullopt;
}
