#pragma once

#include <QHash>
#include <QString>
#include <QUuid>

#include <optional>

// The unsent text of each conversation. The input field shows the current
// conversation's; a switch (by the user, or by a phone message that brings its
// conversation forward) keeps what was typed with the conversation it was
// typed in.
class ConversationDrafts {
public:
    // Keeps `shownText` as the draft of the conversation left and returns the
    // draft of `entered` (empty when it has none).
    QString switchTo(std::optional<QUuid> entered, const QString& shownText);
    // A deleted conversation's draft goes with it.
    void forget(const QUuid& id);

private:
    std::optional<QUuid> m_shown;
    QHash<QUuid, QString> m_drafts;
};
