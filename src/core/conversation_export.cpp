#include "core/conversation_export.h"

#include "core/conversation_keeper.h"
#include "core/conversation_store.h"
#include "core/core_texts.h"
#include "core/markdown_export.h"
#include "storage/durable_file.h"

#include <QCoroFuture>
#include <QPointer>
#include <QtConcurrent>

ConversationExport::ConversationExport(ConversationStore* store, ConversationKeeper* keeper,
                                       std::function<QString()> agentName, QObject* parent)
    : QObject(parent), m_store(store), m_keeper(keeper), m_agentName(std::move(agentName)) {}

void ConversationExport::exportTo(const QString& conversationId, const QUrl& file) {
    const QString path = file.isLocalFile() ? file.toLocalFile() : file.toString();
    [](QPointer<ConversationExport> self, QUuid id, QString path) -> QCoro::Task<> {
        const QString error = co_await self->write(id, path);
        if (self) {
            Q_EMIT self->finished(path, error);
        }
    }(this, QUuid::fromString(conversationId), path);
}

QCoro::Task<QString> ConversationExport::write(QUuid conversationId, QString path) {
    QPointer<ConversationExport> self(this);
    if (!co_await m_keeper->loadMessages(conversationId) || !self) {
        co_return CoreTexts::exportedConversationGone();
    }
    const Conversation* conversation = m_store->find(conversationId);
    if (conversation == nullptr) {
        co_return CoreTexts::exportedConversationGone();
    }
    const QByteArray bytes = conversationMarkdown(*conversation, m_agentName()).toUtf8();
    // Made before it is awaited (see ConversationKeeper::start).
    const QFuture<WriteResult> writing =
        QtConcurrent::run([path, bytes] { return replaceFileDurably(path, bytes); });
    const WriteResult written = co_await writing;
    co_return written.ok() ? QString() : written.description();
}
