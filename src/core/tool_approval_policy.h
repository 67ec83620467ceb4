#pragma once

#include "tools/tool_table.h"
#include "tools/tool_types.h"

#include <QString>

#include <optional>

// Which tool calls change the computer and so wait for the user's approval, by
// the tool table's reach; a name it lacks only reads (the call fails unrun).
ToolReach toolReach(const QString& tool);

// The file a write tool would write, worked out once per call: whether it
// asks and what its card shows both follow from it. Empty for other tools.
struct WriteTarget {
    QString path;                       // as the arguments name it ("~" expanded)
    std::optional<QString> canonical;   // canonicalTarget(path)
    std::optional<qint64> replacedSize; // the file there now; nothing: none, or not a file
    int otherNames = 0;                 // the file's names besides this one (hard links)
};
WriteTarget writeTarget(const QString& tool, const ToolArguments& args);

// Whether this call must be approved before it runs. `agentFolder` is the
// agent's own folder (~/.nimbrook); relative paths count from the working folder.
// A file there with another name (a hard link) asks: that name may be outside.
bool needsApproval(const QString& tool, const WriteTarget& target, const QString& agentFolder);

// The path as the system would resolve it: the part that exists made canonical
// (symlinks and "..", followed), the rest appended. Nothing when that cannot be
// told for sure: a ".." or a symlink in the part that does not exist yet.
std::optional<QString> canonicalTarget(const QString& path);
