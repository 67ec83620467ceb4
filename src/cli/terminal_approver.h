#pragma once

#include <QCoroTask>
#include <QObject>

#include <functional>
#include <optional>

class ToolApproval;
struct ApprovalRequest;

// Answers the agent's approval requests on the controlling terminal (/dev/tty),
// so that a chat whose input or output is piped still asks the person at the
// keyboard. Without a terminal each such call is declined, and standard error
// says why. The terminal is watched by the event loop, never read blocking.
class TerminalApprover : public QObject {
    Q_OBJECT

public:
    // `terminal` is where the person at the keyboard is asked.
    explicit TerminalApprover(ToolApproval* approval, QObject* parent = nullptr,
                              QByteArray terminal = "/dev/tty");
    ~TerminalApprover() override;

    // Lines typed before a question are never its answer. Where messages are read
    // from this same terminal they are the user's next messages, handed to `keep`;
    // otherwise they are said back and dropped.
    void keepTypedAheadWith(std::function<void(const QByteArray&)> keep);

Q_SIGNALS:
    // The terminal has something to read (the notifier's own signal carries a
    // private argument that coroutine awaiters cannot pass on safely).
    void terminalReadable();

private:
    void requestChanged();
    QCoro::Task<> ask();
    QCoro::Task<std::optional<QByteArray>> readLine();
    bool openTerminal();

    void setTypedAheadAside();

    ToolApproval* m_approval;
    QByteArray m_terminalPath;
    std::function<void(const QByteArray&)> m_keepTypedAhead;
    int m_terminal = -1;
    bool m_asking = false;
    // Kept here: the running coroutine's frame must outlive the turn that started it.
    std::optional<QCoro::Task<>> m_running;
};

// The question asked on the terminal for a request.
QString approvalQuestion(const ApprovalRequest& request);
