#include "core/conversation_filter_model.h"

#include "core/conversation_list_model.h"
#include "core/conversation_search.h"
#include "core/search_text.h"

#include <QUuid>

namespace {

QUuid idOf(const QModelIndex& index) {
    return QUuid::fromString(index.data(ConversationListModel::ConversationIdRole).toString());
}

} // namespace

ConversationFilterModel::ConversationFilterModel(ConversationListModel* source,
                                                 ConversationSearch* search, QObject* parent)
    : QSortFilterProxyModel(parent), m_search(search) {
    setSourceModel(source);
    connect(this, &QAbstractItemModel::rowsInserted, this, &ConversationFilterModel::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &ConversationFilterModel::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &ConversationFilterModel::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &ConversationFilterModel::countChanged);
    connect(search, &ConversationSearch::resultsChanged, this, [this] {
        invalidateFilter();
        if (rowCount() > 0) { // the marks follow the text
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, 0),
                               {TitleMarkupRole, ExcerptMarkupRole});
        }
        Q_EMIT countChanged();
    });
}

bool ConversationFilterModel::filterAcceptsRow(int sourceRow,
                                               const QModelIndex& sourceParent) const {
    return !m_search->active() ||
           m_search->matches(idOf(sourceModel()->index(sourceRow, 0, sourceParent)));
}

QVariant ConversationFilterModel::data(const QModelIndex& index, int role) const {
    if (role != TitleMarkupRole && role != ExcerptMarkupRole) {
        return QSortFilterProxyModel::data(index, role);
    }
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const QString wanted = m_search->active() ? m_search->text().trimmed() : QString();
    if (role == TitleMarkupRole) {
        return highlightedMarkup(index.data(ConversationListModel::TitleRole).toString(), wanted);
    }
    return wanted.isEmpty() ? QString() : highlightedMarkup(m_search->excerpt(idOf(index)), wanted);
}

QHash<int, QByteArray> ConversationFilterModel::roleNames() const {
    QHash<int, QByteArray> names = QSortFilterProxyModel::roleNames();
    names.insert(TitleMarkupRole, "titleMarkup");
    names.insert(ExcerptMarkupRole, "excerptMarkup");
    return names;
}
