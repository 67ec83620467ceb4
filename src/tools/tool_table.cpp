#include "tools/tool_table.h"

namespace {

#define EMBERGLASS_TOOL_SPEC(name, symbol, reach, description, run, ...)                           \
    ToolSpec{QStringLiteral(#name),                                                                \
             QStringLiteral(symbol),                                                               \
             ToolReach::reach,                                                                     \
             QStringLiteral(description),                                                          \
             {__VA_ARGS__}},

std::vector<ToolSpec> buildTable() {
    return {EMBERGLASS_TOOLS(EMBERGLASS_TOOL_SPEC)};
}

#undef EMBERGLASS_TOOL_SPEC

} // namespace

const std::vector<ToolSpec>& toolTable() {
    static const std::vector<ToolSpec> table = buildTable();
    return table;
}

const ToolSpec* findTool(const QString& name) {
    for (const ToolSpec& tool : toolTable()) {
        if (tool.name == name) {
            return &tool;
        }
    }
    return nullptr;
}
