#pragma once

#include <QCoroTask>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUuid>

class ConversationKeeper;
class ConversationStore;

// What the sessions list is filtered by: conversations whose title or message
// text holds the typed text. Kept conversations are searched in the file's
// index, the others in memory; a newer text overtakes a search still running.
class ConversationSearch : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(bool active READ active NOTIFY textChanged)
    Q_PROPERTY(int matchCount READ matchCount NOTIFY resultsChanged)

public:
    ConversationSearch(ConversationStore* store, ConversationKeeper* keeper,
                       QObject* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    bool active() const { return !m_text.trimmed().isEmpty(); }
    int matchCount() const { return static_cast<int>(m_matches.size()); }

    // While a search is active: whether the conversation matches, and the
    // message text around its first match (empty when its title matched).
    bool matches(const QUuid& conversationId) const { return m_matches.contains(conversationId); }
    QString excerpt(const QUuid& conversationId) const { return m_matches.value(conversationId); }

Q_SIGNALS:
    void textChanged();
    // The matches of the current text are known.
    void resultsChanged();

private:
    QCoro::Task<> run(QString text, int generation);

    ConversationStore* m_store;
    ConversationKeeper* m_keeper;
    QString m_text;
    QHash<QUuid, QString> m_matches;
    int m_generation = 0;
};
