#pragma once

#include "core/tool_approval_policy.h"
#include "tools/tool_types.h"

#include <QString>
#include <QUuid>

#include <optional>

// What the user is shown before a call that changes the computer runs: the
// whole command, or the file written, whether it exists, and how its new
// content begins.
struct ApprovalRequest {
    QUuid conversationId;
    QString tool;
    QString command;                    // run_command, as shownText() shows it
    QString path;                       // the write tools, as the model wrote it (shownText)
    QString reachedPath;                // where that write lands, when not `path` (shownText)
    std::optional<qint64> replacedSize; // the file that would be replaced; nothing: a new file
    int otherNames = 0;                 // that file's other names (hard links), changed with it
    QString contentStart;               // the first lines of what would be written

    bool operator==(const ApprovalRequest&) const = default;
};

// `target`: the call's writeTarget(), as its approval was decided on.
ApprovalRequest approvalRequestFor(const QUuid& conversationId, const QString& tool,
                                   const ToolArguments& arguments, const WriteTarget& target);

// Where a write to `target` lands: symlinks and ".." followed, a relative
// path counted from the working folder.
QString reachedPath(const WriteTarget& target);

// "new file" or "replaces a file of N bytes"; empty for a command.
QString targetDescription(const ApprovalRequest& request);

// Why a write to a file with other names asks; empty when it has none.
QString otherNamesNote(const ApprovalRequest& request);

// The text with every character that could hide or reorder what is shown
// (terminal controls, bidirectional marks) written out as <U+XXXX>.
QString shownText(const QString& text);

// The first `lines` lines of `text`, each and all of them kept short.
QString firstLines(const QString& text, int lines = 8);
