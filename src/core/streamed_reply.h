#pragma once

#include "models/reply_progress.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUuid>

#include <optional>

class ConversationStore;

// A reply shown in its placeholder while it is written: the text as it grows,
// the pieces that come together put in at once (each change lays the reply out
// again); while only reasoning has come, since when the model has been at it.
// What finally stands in the placeholder is the loop's to set.
class StreamedReply : public QObject {
    Q_OBJECT

public:
    StreamedReply(ConversationStore* store, QUuid conversationId, QUuid placeholderId,
                  QObject* parent = nullptr);

    // Sinks that reach this object while it lives.
    ReplyProgress progress();

    // All the text that arrived, shown or not yet.
    const QString& text() const { return m_text; }
    // Set while reasoning has come and no text yet.
    std::optional<QDateTime> thinkingSince() const { return m_thinkingSince; }

Q_SIGNALS:
    void thinkingChanged();

private:
    void addText(const QString& piece);
    void noteReasoning();
    void showNow();

    QPointer<ConversationStore> m_store;
    QUuid m_conversationId;
    QUuid m_placeholderId;
    QString m_text;
    QTimer m_show; // running: text arrived that is not shown yet
    std::optional<QDateTime> m_thinkingSince;
};
