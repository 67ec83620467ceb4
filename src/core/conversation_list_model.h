#pragma once

#include <QAbstractListModel>

class ConversationStore;

// The sidebar's view of the conversations, newest first.
class ConversationListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Roles {
        ConversationIdRole = Qt::UserRole + 1,
        TitleRole,
        UpdatedAtRole,
        MessageCountRole,
    };
    Q_ENUM(Roles)

    explicit ConversationListModel(ConversationStore* store, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    ConversationStore* m_store;
};
