#include "core/conversation_list_model.h"

#include "core/conversation_store.h"

ConversationListModel::ConversationListModel(ConversationStore* store, QObject* parent)
    : QAbstractListModel(parent), m_store(store) {
    connect(this, &QAbstractItemModel::rowsInserted, this, &ConversationListModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &ConversationListModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &ConversationListModel::countChanged);
    connect(store, &ConversationStore::conversationsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows({}, first, last); });
    connect(store, &ConversationStore::conversationsInserted, this, [this] { endInsertRows(); });
    connect(store, &ConversationStore::conversationAboutToBeRemoved, this,
            [this](int index) { beginRemoveRows({}, index, index); });
    connect(store, &ConversationStore::conversationRemoved, this, [this] { endRemoveRows(); });
    connect(store, &ConversationStore::conversationChanged, this, [this](int index) {
        const QModelIndex changed = this->index(index);
        Q_EMIT dataChanged(changed, changed);
    });
}

int ConversationListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_store->conversations().size());
}

QVariant ConversationListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const Conversation& conversation = m_store->conversations().at(index.row());
    switch (role) {
    case ConversationIdRole:
        return conversation.id.toString(QUuid::WithoutBraces);
    case Qt::DisplayRole:
    case TitleRole:
        return conversation.title;
    case UpdatedAtRole:
        return conversation.updatedAt;
    case MessageCountRole:
        return static_cast<int>(conversation.messages.size());
    default:
        return {};
    }
}

QHash<int, QByteArray> ConversationListModel::roleNames() const {
    return {{ConversationIdRole, "conversationId"},
            {TitleRole, "title"},
            {UpdatedAtRole, "updatedAt"},
            {MessageCountRole, "messageCount"}};
}
