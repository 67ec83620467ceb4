#pragma once

#include <QAbstractListModel>

class ConversationStore;

// The sidebar's view of the conversations, newest first.
class ConversationListModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

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
    int count() const { return rowCount(); }
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();

private:
    ConversationStore* m_store;
};
