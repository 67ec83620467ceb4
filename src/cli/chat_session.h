#pragma once

#include "cli/chat_options.h"

#include <QCoroTask>
#include <QObject>
#include <QStringList>

#include <optional>

class ChatViewModel;
class QSocketNotifier;
class TerminalApprover;
class TranscriptPrinter;

// One run of emberglass-chat: prepares the controller from the options, then
// sends one message, reads messages from standard input, or serves phones.
class ChatSession : public QObject {
    Q_OBJECT

public:
    ChatSession(ChatOptions options, QObject* parent = nullptr);

    // Starts the session; it ends the application with its exit status when done.
    void start();

Q_SIGNALS:
    // Standard input has something to read (the notifier's own signal carries a
    // private argument that coroutine awaiters cannot pass on safely).
    void inputReadable();

private:
    QCoro::Task<> runAndExit();
    QCoro::Task<int> run();
    QCoro::Task<bool> prepareBackend();
    QCoro::Task<bool> prepareSandbox();
    QCoro::Task<int> sendOne(QString text);
    QCoro::Task<int> readMessages();
    QCoro::Task<int> serve();
    QCoro::Task<int> listModels();
    bool applyCloudOverrides();
    bool lastReplyFailed() const;

    ChatOptions m_options;
    ChatViewModel* m_viewModel;
    TranscriptPrinter* m_printer;
    TerminalApprover* m_approver;
    // Read from standard input, not yet sent: whole lines are messages.
    QByteArray m_pendingInput;
    // Kept here rather than dropped: the running coroutine's frame must outlive the
    // event loop turn that started it.
    std::optional<QCoro::Task<>> m_running;
};
