#include "cli/terminal_approver.h"

#include "core/tool_approval.h"

#include <QCoroSignal>
#include <QFile>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

ToolApproval::Answer answerFor(const QByteArray& line) {
    const QByteArray word = line.trimmed().toLower();
    if (word == "y" || word == "yes") {
        return ToolApproval::Answer::allow;
    }
    if (word == "a" || word == "always") {
        return ToolApproval::Answer::allowForConversation;
    }
    return ToolApproval::Answer::deny; // the default, as the capital N says
}

void writeAll(int fd, const QByteArray& bytes) {
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.constData() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return;
        }
        written += count;
    }
}

// Takes the lines typed on `terminal` (opened non-blocking) before now and drops
// a line not yet ended, so nothing typed before a question is read as its answer.
QByteArray takeTypedAhead(int terminal) {
    QByteArray typed;
    char buffer[512];
    while (true) {
        const ssize_t count = ::read(terminal, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break; // nothing more (EAGAIN), or the terminal closed
        }
        typed.append(buffer, count);
    }
    ::tcflush(terminal, TCIFLUSH);
    return typed;
}

} // namespace

QString approvalQuestion(const ApprovalRequest& request) {
    const QString reached =
        request.reachedPath.isEmpty() ? QString() : QStringLiteral(" -> ") + request.reachedPath;
    const QString target =
        request.command.isEmpty()
            ? QStringLiteral("%1%2 (%3)").arg(request.path, reached, targetDescription(request))
            : request.command;
    const QString note = otherNamesNote(request);
    return (note.isEmpty() ? QString() : note + QLatin1Char('\n')) +
           QStringLiteral("Allow %1: %2? [y]es / [a]lways in this chat / [N]o ")
               .arg(request.tool, target);
}

TerminalApprover::TerminalApprover(ToolApproval* approval, QObject* parent, QByteArray terminal)
    : QObject(parent), m_approval(approval), m_terminalPath(std::move(terminal)) {
    connect(approval, &ToolApproval::pendingChanged, this, &TerminalApprover::requestChanged);
}

TerminalApprover::~TerminalApprover() {
    if (m_terminal >= 0) {
        ::close(m_terminal);
    }
}

void TerminalApprover::requestChanged() {
    if (m_approval->isPending() && !m_asking) {
        m_running.emplace(ask());
    }
}

bool TerminalApprover::openTerminal() {
    if (m_terminal < 0) {
        m_terminal = ::open(m_terminalPath.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    }
    return m_terminal >= 0;
}

QCoro::Task<> TerminalApprover::ask() {
    QPointer<TerminalApprover> self(this);
    m_asking = true;
    while (m_approval->isPending()) {
        const std::optional<ApprovalRequest> request = m_approval->pending();
        if (!openTerminal()) {
            const QByteArray why =
                QStringLiteral("emberglass-chat: declined %1: no terminal to ask on (--yes lets "
                               "the agent run commands and change files without asking)\n")
                    .arg(request->tool)
                    .toUtf8();
            std::fputs(why.constData(), stderr);
            m_approval->deny();
            break;
        }
        setTypedAheadAside();
        writeAll(m_terminal, approvalQuestion(*request).toUtf8());
        const std::optional<QByteArray> line = co_await readLine();
        if (!self) {
            co_return;
        }
        if (!line) {
            writeAll(m_terminal, "\n");
        }
        // Answered while the question stood (the conversation ended): nothing to say.
        if (m_approval->pending() == request) {
            m_approval->answer(line ? answerFor(*line) : ToolApproval::Answer::deny);
        }
    }
    m_asking = false;
}

void TerminalApprover::keepTypedAheadWith(std::function<void(const QByteArray&)> keep) {
    m_keepTypedAhead = std::move(keep);
}

void TerminalApprover::setTypedAheadAside() {
    const QByteArray typed = takeTypedAhead(m_terminal);
    if (typed.trimmed().isEmpty()) {
        return;
    }
    if (m_keepTypedAhead) {
        m_keepTypedAhead(typed);
    }
    const QString said =
        m_keepTypedAhead
            ? QStringLiteral("Typed before this question, kept as your next message: %1\n")
            : QStringLiteral("Typed before this question, not taken as its answer: %1\n");
    writeAll(m_terminal, said.arg(shownText(QString::fromUtf8(typed.trimmed()))).toUtf8());
}

QCoro::Task<std::optional<QByteArray>> TerminalApprover::readLine() {
    QSocketNotifier notifier(m_terminal, QSocketNotifier::Read);
    connect(&notifier, &QSocketNotifier::activated, this, &TerminalApprover::terminalReadable);
    QByteArray line;
    while (true) {
        co_await qCoro(this, &TerminalApprover::terminalReadable);
        char buffer[512];
        const ssize_t count = ::read(m_terminal, buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (count <= 0) {
            co_return std::nullopt; // the terminal closed, or Ctrl-D
        }
        line.append(buffer, count);
        if (const qsizetype newline = line.indexOf('\n'); newline >= 0) {
            co_return line.left(newline);
        }
    }
}
