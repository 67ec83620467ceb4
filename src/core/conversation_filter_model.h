#pragma once

#include <QSortFilterProxyModel>

class ConversationListModel;
class ConversationSearch;

// The sessions list as the sidebar shows it: every conversation, or while a
// search is active the ones that match, with the matches marked.
class ConversationFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Roles {
        TitleMarkupRole = Qt::UserRole + 100, // the title as rich text, matches in bold
        ExcerptMarkupRole,                    // the matching message text, likewise; or empty
    };
    Q_ENUM(Roles)

    ConversationFilterModel(ConversationListModel* source, ConversationSearch* search,
                            QObject* parent = nullptr);

    int count() const { return rowCount(); }
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

Q_SIGNALS:
    void countChanged();

protected:
    [[nodiscard]] bool filterAcceptsRow(int sourceRow,
                                        const QModelIndex& sourceParent) const override;

private:
    ConversationSearch* m_search;
};
