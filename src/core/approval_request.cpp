#include "core/approval_request.h"

#include "core/core_texts.h"
#include "tools/printed_name.h"

#include <QDir>
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

// Characters that would make the shown text differ from what runs: controls
// that move the terminal's cursor or recolour it, and the marks that reorder
// the text around them. Line breaks and tabs are shown as they are.
bool deceives(char32_t c) {
    return (isControlCharacter(c) && c != '\n' && c != '\t') || c == 0x061c || c == 0x200e ||
           c == 0x200f || (c >= 0x202a && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString shownText(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        if (deceives(c)) {
            shown += QStringLiteral("<U+%1>").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
        } else {
            shown += QString::fromUcs4(&c, 1);
        }
    }
    return shown;
}

ApprovalRequest approvalRequestFor(const QUuid& conversationId, const QString& tool,
                                   const ToolArguments& arguments, const WriteTarget& target) {
    ApprovalRequest request{conversationId, tool, {}, {}, {}, std::nullopt, 0, {}};
    if (toolReach(tool) == ToolReach::runsCommand) {
        request.command = shownText(arguments.value(QStringLiteral("command")));
        return request;
    }
    request.path = shownText(arguments.value(QStringLiteral("path")));
    if (const QString reached = reachedPath(target);
        reached != arguments.value(QStringLiteral("path"))) {
        request.reachedPath = shownText(reached);
    }
    request.replacedSize = target.replacedSize;
    request.otherNames = target.otherNames;
    request.contentStart = firstLines(shownText(arguments.value(contentArgument(tool))));
    return request;
}

QString reachedPath(const WriteTarget& target) {
    const QString& written = target.path;
    if (written.isEmpty()) {
        return {};
    }
    if (target.canonical) {
        return *target.canonical;
    }
    const QFileInfo link(written);
    // A dangling symlink is written through: the file it names is made.
    if (link.isSymLink()) {
        return link.symLinkTarget();
    }
    // Not cleaned: ".." after a symlink is only undone by following it.
    return QDir::isAbsolutePath(written) ? written : QDir::currentPath() + '/' + written;
}

QString targetDescription(const ApprovalRequest& request) {
    if (toolReach(request.tool) != ToolReach::writesFile) {
        return {};
    }
    if (!request.replacedSize) {
        return CoreTexts::writesNewFile();
    }
    return CoreTexts::replacesFile(*request.replacedSize);
}

QString otherNamesNote(const ApprovalRequest& request) {
    return request.otherNames > 0 ? CoreTexts::fileHasOtherNames(request.otherNames) : QString();
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
