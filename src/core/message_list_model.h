#pragma once

#include <QAbstractListModel>
#include <QUuid>

class ConversationStore;

// The transcript's view of the selected conversation. An append inserts one row
// and a content change updates one row, so a long transcript never reloads.
class MessageListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles {
        MessageIdRole = Qt::UserRole + 1,
        RoleRole, // a Role value
        ContentRole,
        ToolCallRole,   // map {callId, tool, args, rawArguments, summary}, or null
        ToolResultRole, // map {toolCallId, tool, success, output}, or null
        NoticeRole,     // the line under a reply, usually empty
        FailureRole,    // a failed reply's fix, "retry" or "settings"; empty otherwise
        ToolPassRole,   // an assistant reply that only stands for its tool calls
    };
    Q_ENUM(Roles)

    explicit MessageListModel(ConversationStore* store, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    int count() const { return rowCount(); }
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;
    // The first message whose text holds `text` (as the search finds it), or -1.
    Q_INVOKABLE int firstRowContaining(const QString& text) const;

Q_SIGNALS:
    void countChanged();

private:
    void followSelection();

    ConversationStore* m_store;
    QUuid m_shownId; // the conversation whose messages are shown; null for none
    bool m_inserting = false;
    bool m_removing = false;
};
