#pragma once

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>
#include <QUuid>

#include <functional>

class ConversationKeeper;
class ConversationStore;

// Writes a conversation as Markdown to the file the user chose; messages
// still on disk are read first. The file is written off the window's thread
// and reaches the disk before it is reported done.
class ConversationExport : public QObject {
    Q_OBJECT

public:
    ConversationExport(ConversationStore* store, ConversationKeeper* keeper,
                       std::function<QString()> agentName, QObject* parent = nullptr);

    Q_INVOKABLE void exportTo(const QString& conversationId, const QUrl& file);
    // Empty when written; otherwise why not, in the system's words.
    QCoro::Task<QString> write(QUuid conversationId, QString path);

Q_SIGNALS:
    void finished(const QString& path, const QString& error);

private:
    ConversationStore* m_store;
    ConversationKeeper* m_keeper;
    std::function<QString()> m_agentName;
};
