#include "core/approval_request.h"

#include "core/tool_approval_policy.h"

#include <QFileInfo>

namespace {

constexpr qsizetype kLineLength = 200;

// The argument that carries what a write tool writes.
QString contentArgument(const QString& tool) {
    if (tool == QLatin1String("create_xlsx")) {
        return QStringLiteral("data");
    }
    if (tool == QLatin1String("write_file")) {
        return QStringLiteral("content");
    }
    return QStringLiteral("slides");
}

} // namespace

ApprovalRequest approvalRequestFor(const QUuid& conversationId, const QString& tool,
                                   const ToolArguments& arguments) {
    ApprovalRequest request{conversationId, tool, {}, {}, std::nullopt, {}};
    if (toolReach(tool) == ToolReach::runsCommand) {
        request.command = arguments.value(QStringLiteral("command"));
        return request;
    }
    request.path = arguments.value(QStringLiteral("path"));
    const QFileInfo target(writeTarget(arguments));
    if (target.isFile()) {
        request.replacedSize = target.size();
    }
    request.contentStart = firstLines(arguments.value(contentArgument(tool)));
    return request;
}

QString targetDescription(const ApprovalRequest& request) {
    if (toolReach(request.tool) != ToolReach::writesFile) {
        return {};
    }
    if (!request.replacedSize) {
        return QStringLiteral("new file");
    }
    return QStringLiteral("replaces a file of %1 bytes").arg(*request.replacedSize);
}

QString firstLines(const QString& text, int lines) {
    const QStringList all = text.split(QLatin1Char('\n'));
    QStringList kept;
    for (const QString& line : all.mid(0, lines)) {
        kept << (line.size() > kLineLength ? line.left(kLineLength) + QStringLiteral("…") : line);
    }
    if (all.size() > lines) {
        kept << QStringLiteral("…");
    }
    return kept.join(QLatin1Char('\n'));
}
