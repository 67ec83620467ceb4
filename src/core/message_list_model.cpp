#include "core/message_list_model.h"

#include "core/conversation_store.h"
#include "core/search_text.h"
#include "core/wire_message_builder.h"

#include <QStringList>
#include <QVariantMap>

namespace {

QVariant toolCallData(const ToolCallInfo& call) {
    QVariantMap args;
    QStringList summary;
    for (auto it = call.args.begin(); it != call.args.end(); ++it) {
        args.insert(it.key(), it.value());
        summary << it.key() + QStringLiteral(": ") + it.value();
    }
    return QVariantMap{{QStringLiteral("callId"), call.callId},
                       {QStringLiteral("tool"), call.tool},
                       {QStringLiteral("args"), args},
                       {QStringLiteral("rawArguments"), call.rawArguments},
                       {QStringLiteral("summary"), summary.join(QStringLiteral(", "))}};
}

QVariant toolResultData(const ToolResultInfo& result) {
    return QVariantMap{{QStringLiteral("toolCallId"), result.toolCallId},
                       {QStringLiteral("tool"), result.tool},
                       {QStringLiteral("success"), result.success},
                       {QStringLiteral("output"), result.output}};
}

} // namespace

MessageListModel::MessageListModel(ConversationStore* store, QObject* parent)
    : QAbstractListModel(parent), m_store(store) {
    connect(this, &QAbstractItemModel::rowsInserted, this, &MessageListModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &MessageListModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &MessageListModel::countChanged);
    if (const Conversation* current = store->currentConversation()) {
        m_shownId = current->id;
    }
    connect(store, &ConversationStore::currentConversationIdChanged, this,
            &MessageListModel::followSelection);
    connect(store, &ConversationStore::conversationRemoved, this,
            &MessageListModel::followSelection);
    connect(store, &ConversationStore::messagesFilled, this, [this](const QUuid& id) {
        if (id == m_shownId) {
            beginResetModel(); // read from disk: the whole list at once
            endResetModel();
        }
    });
    connect(store, &ConversationStore::messageAboutToBeAppended, this,
            [this](const QUuid& id, int row) {
                if (id == m_shownId) {
                    m_inserting = true;
                    beginInsertRows({}, row, row);
                }
            });
    connect(store, &ConversationStore::messageAppended, this, [this](const QUuid& id) {
        if (id == m_shownId && m_inserting) {
            m_inserting = false;
            endInsertRows();
        }
    });
    connect(store, &ConversationStore::messagesAboutToBeRemoved, this,
            [this](const QUuid& id, int first, int last) {
                if (id == m_shownId) {
                    m_removing = true;
                    beginRemoveRows({}, first, last);
                }
            });
    connect(store, &ConversationStore::messagesRemoved, this, [this](const QUuid& id) {
        if (id == m_shownId && m_removing) {
            m_removing = false;
            endRemoveRows();
        }
    });
    connect(store, &ConversationStore::messageChanged, this, [this](const QUuid& id, int row) {
        if (id == m_shownId) {
            const QModelIndex changed = index(row);
            Q_EMIT dataChanged(changed, changed,
                               {ContentRole, NoticeRole, FailureRole, ToolPassRole});
        }
    });
}

void MessageListModel::followSelection() {
    const Conversation* current = m_store->currentConversation();
    const QUuid next = current != nullptr ? current->id : QUuid();
    if (next == m_shownId && (next.isNull() || m_store->find(next) != nullptr)) {
        return;
    }
    // Another conversation is a different list: this is the one place that resets.
    beginResetModel();
    m_shownId = next;
    endResetModel();
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || m_shownId.isNull()) {
        return 0;
    }
    const Conversation* conversation = m_store->find(m_shownId);
    return conversation != nullptr ? static_cast<int>(conversation->messages.size()) : 0;
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Conversation* conversation = m_store->find(m_shownId);
    if (conversation == nullptr || index.row() >= conversation->messages.size()) {
        return {};
    }
    const ChatMessage& message = conversation->messages.at(index.row());
    switch (role) {
    case MessageIdRole:
        return message.id.toString(QUuid::WithoutBraces);
    case RoleRole:
        return QVariant::fromValue(message.role);
    case Qt::DisplayRole:
    case ContentRole:
        return message.content;
    case ToolCallRole:
        return message.toolCall ? toolCallData(*message.toolCall) : QVariant();
    case ToolResultRole:
        return message.toolResult ? toolResultData(*message.toolResult) : QVariant();
    case NoticeRole:
        return message.notice;
    case FailureRole:
        return message.failure ? toText(*message.failure) : QString();
    case ToolPassRole:
        return message.role == Role::assistant && message.content == usingToolsPlaceholder();
    default:
        return {};
    }
}

QHash<int, QByteArray> MessageListModel::roleNames() const {
    return {{MessageIdRole, "messageId"},   {RoleRole, "role"},
            {ContentRole, "content"},       {ToolCallRole, "toolCall"},
            {ToolResultRole, "toolResult"}, {NoticeRole, "notice"},
            {FailureRole, "failure"},       {ToolPassRole, "isToolPass"}};
}

int MessageListModel::firstRowContaining(const QString& text) const {
    const Conversation* conversation = m_store->find(m_shownId);
    const QString wanted = text.trimmed();
    if (conversation == nullptr || wanted.isEmpty()) {
        return -1;
    }
    for (int row = 0; row < conversation->messages.size(); ++row) {
        if (containsSearchText(conversation->messages[row].content, wanted)) {
            return row;
        }
    }
    return -1;
}
