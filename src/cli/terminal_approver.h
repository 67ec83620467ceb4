#pragma once

#include <QCoroTask>
#include <QObject>

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
    explicit TerminalApprover(ToolApproval* approval, QObject* parent = nullptr);
    ~TerminalApprover() override;

Q_SIGNALS:
    // The terminal has something to read (the notifier's own signal carries a
    // private argument that coroutine awaiters cannot pass on safely).
    void terminalReadable();

private:
    void requestChanged();
    QCoro::Task<> ask();
    QCoro::Task<std::optional<QByteArray>> readLine();
    bool openTerminal();

    ToolApproval* m_approval;
    int m_terminal = -1;
    bool m_asking = false;
    // Kept here: the running coroutine's frame must outlive the turn that started it.
    std::optional<QCoro::Task<>> m_running;
};

// The question asked on the terminal for a request.
QString approvalQuestion(const ApprovalRequest& request);
