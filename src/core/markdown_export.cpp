#include "core/markdown_export.h"

#include "core/wire_message_builder.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// A fence longer than any run of backticks in the text, so the text cannot close it.
QString fenced(const QString& info, const QString& text) {
    static const QRegularExpression backticks(QStringLiteral("`+"));
    qsizetype longest = 0;
    for (const auto& match : backticks.globalMatch(text)) {
        longest = std::max(longest, match.capturedLength());
    }
    const QString fence(std::max<qsizetype>(3, longest + 1), QLatin1Char('`'));
    QString body = text;
    if (!body.endsWith(QLatin1Char('\n'))) {
        body += QLatin1Char('\n');
    }
    return fence + info + QLatin1Char('\n') + body + fence + QStringLiteral("\n\n");
}

QString paragraph(const QString& author, const QString& text) {
    return QStringLiteral("**%1**\n\n%2\n\n").arg(author, text.trimmed());
}

} // namespace

QString conversationMarkdown(const Conversation& conversation, const QString& agentName) {
    QString markdown =
        QStringLiteral("# ") + conversation.title.simplified() + QStringLiteral("\n\n");
    for (const ChatMessage& message : conversation.messages) {
        if (message.toolCall) {
            const ToolCallInfo& call = *message.toolCall;
            markdown += QStringLiteral("**Tool call: %1**\n\n").arg(call.tool) +
                        fenced(QStringLiteral("json"), call.rawArguments);
        } else if (message.toolResult) {
            const ToolResultInfo& result = *message.toolResult;
            markdown +=
                QStringLiteral("**Tool result: %1%2**\n\n")
                    .arg(result.tool, result.success ? QString() : QStringLiteral(" (failed)")) +
                fenced(QString(), result.output);
        } else if (message.role == Role::user) {
            markdown += paragraph(QStringLiteral("You"), message.content);
        } else if (message.role == Role::assistant && !message.content.trimmed().isEmpty() &&
                   message.content != usingToolsPlaceholder()) {
            markdown += paragraph(agentName, message.content);
        }
    }
    return markdown.trimmed() + QLatin1Char('\n');
}
