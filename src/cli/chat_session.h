#pragma once

#include "cli/chat_options.h"

#include <QCoroTask>
#include <QObject>
#include <QStringList>

class ChatViewModel;
class QSocketNotifier;
class TranscriptPrinter;

// One run of emberglass-chat: prepares the controller from the options, then
// sends one message, reads messages from standard input, or serves phones.
class ChatSession : public QObject {
    Q_OBJECT

public:
    ChatSession(ChatOptions options, QObject* parent = nullptr);

    // Resolves with the process's exit status.
    QCoro::Task<int> run();

private:
    QCoro::Task<bool> prepareBackend();
    QCoro::Task<int> sendOne(QString text);
    QCoro::Task<int> readMessages();
    QCoro::Task<int> serve();
    bool applyCloudOverrides();
    bool lastReplyFailed() const;

    ChatOptions m_options;
    ChatViewModel* m_viewModel;
    TranscriptPrinter* m_printer;
};
