#include "cli/transcript_printer.h"

#include "core/conversation_store.h"
#include "core/request_sender.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject argumentsJson(const ToolArguments& args) {
    QJsonObject object;
    for (auto it = args.begin(); it != args.end(); ++it) {
        object.insert(it.key(), it.value());
    }
    return object;
}

QJsonObject messageJson(const ChatMessage& message) {
    QJsonObject object{
        {QStringLiteral("id"), message.id.toString(QUuid::WithoutBraces)},
        {QStringLiteral("role"), toText(message.role)},
        {QStringLiteral("content"), message.content},
        {QStringLiteral("timestamp"), message.timestamp.toString(Qt::ISODateWithMs)}};
    if (message.toolCall) {
        object.insert(
            QStringLiteral("toolCall"),
            QJsonObject{{QStringLiteral("callId"), message.toolCall->callId},
                        {QStringLiteral("tool"), message.toolCall->tool},
                        {QStringLiteral("args"), argumentsJson(message.toolCall->args)},
                        {QStringLiteral("rawArguments"), message.toolCall->rawArguments}});
    }
    if (message.toolResult) {
        object.insert(QStringLiteral("toolResult"),
                      QJsonObject{{QStringLiteral("toolCallId"), message.toolResult->toolCallId},
                                  {QStringLiteral("tool"), message.toolResult->tool},
                                  {QStringLiteral("success"), message.toolResult->success},
                                  {QStringLiteral("output"), message.toolResult->output}});
    }
    return object;
}

QString textLine(const ChatMessage& message) {
    if (message.toolCall) {
        QStringList args;
        for (auto it = message.toolCall->args.begin(); it != message.toolCall->args.end(); ++it) {
            args << it.key() + QStringLiteral(": ") + it.value();
        }
        return QStringLiteral("[tool] ") + message.toolCall->tool + QLatin1Char(' ') +
               args.join(QStringLiteral(", "));
    }
    if (message.toolResult) {
        return (message.toolResult->success ? QStringLiteral("[result] ")
                                            : QStringLiteral("[result, failed] ")) +
               message.toolResult->output;
    }
    const QString who = message.role == Role::user     ? QStringLiteral("you")
                        : message.role == Role::system ? QStringLiteral("note")
                                                       : QStringLiteral("agent");
    return who + QStringLiteral("> ") + message.content;
}

} // namespace

TranscriptPrinter::TranscriptPrinter(ConversationStore* store, Format format, std::FILE* out,
                                     QObject* parent)
    : QObject(parent), m_store(store), m_format(format), m_out(out) {
    connect(store, &ConversationStore::messageAppended, this, &TranscriptPrinter::onAppended);
    connect(store, &ConversationStore::messageChanged, this, &TranscriptPrinter::onChanged);
}

void TranscriptPrinter::onAppended(const QUuid& conversationId, int row) {
    onChanged(conversationId, row);
}

void TranscriptPrinter::onChanged(const QUuid& conversationId, int row) {
    if (!m_followed.isNull() && conversationId != m_followed) {
        return;
    }
    const Conversation* conversation = m_store->find(conversationId);
    if (conversation == nullptr || row >= conversation->messages.size()) {
        return;
    }
    const ChatMessage& message = conversation->messages[row];
    if (m_deferReplies && message.role == Role::assistant) {
        return;
    }
    if (message.role == Role::assistant && isWaitingNotice(message.content)) {
        // Not the reply, which comes later in the same message.
        const QByteArray notice = message.content.toUtf8();
        std::fprintf(stderr, "emberglass-chat: %s\n", notice.constData());
        return;
    }
    // Call records are empty by nature; replies are printed once they have text.
    if (m_printed.contains(message.id) || (message.content.isEmpty() && !message.toolCall)) {
        return;
    }
    m_printed.insert(message.id);
    print(message);
}

void TranscriptPrinter::printLastMessage(const QUuid& conversationId) {
    const Conversation* conversation = m_store->find(conversationId);
    if (conversation != nullptr && !conversation->messages.isEmpty() &&
        !m_printed.contains(conversation->messages.last().id)) {
        m_printed.insert(conversation->messages.last().id);
        print(conversation->messages.last());
    }
}

void TranscriptPrinter::print(const ChatMessage& message) {
    const QByteArray line = m_format == Format::json
                                ? QJsonDocument(messageJson(message)).toJson(QJsonDocument::Compact)
                                : textLine(message).toUtf8();
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), m_out);
    std::fputc('\n', m_out);
    std::fflush(m_out);
}
