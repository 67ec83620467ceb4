// The terminal's approval question, asked on a pseudo-terminal: only what is
// typed after it answers it.

#include "cli/terminal_approver.h"
#include "core/conversation_store.h"
#include "core/tool_approval.h"

#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// What the terminal has shown so far, read from its other end.
QByteArray shownSoFar(int typist) {
    QByteArray shown;
    char buffer[512];
    ssize_t count = 0;
    while ((count = ::read(typist, buffer, sizeof buffer)) > 0) {
        shown.append(buffer, count);
    }
    return shown;
}

} // namespace

class TerminalApproverTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Lines typed while the reply ran are set aside (kept as the next messages
    // where messages are read from the terminal), a half-typed one is dropped,
    // and the line typed after the question answers it alone.
    void typedAheadIsNoAnswer() {
        const int typist = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(typist >= 0 && ::grantpt(typist) == 0 && ::unlockpt(typist) == 0);
        QTemporaryDir agent;
        ConversationStore store;
        store.insertAndSelect(Conversation::make(u"t"_s));
        ToolApproval approval{&store, agent.path(), [] { return ApprovalMode::ask; }};
        TerminalApprover approver(&approval, nullptr, ::ptsname(typist));
        QByteArray kept;
        approver.keepTypedAheadWith([&kept](const QByteArray& typed) { kept += typed; });
        QCOMPARE(::write(typist, "next message\nhal", 16), 16);

        std::optional<bool> allowed;
        const NativeToolCall call{u"1"_s, u"run_command"_s, {{u"command"_s, u"true"_s}}, {}, {}};
        approval.approve(*store.currentConversationId(), call, {}).then([&](bool ok) {
            allowed = ok;
        });
        QByteArray shown;
        QTRY_VERIFY((shown += shownSoFar(typist)).contains("[N]o "));
        QVERIFY2(
            shown.contains("Typed before this question, kept as your next message: next message"),
            shown.constData());
        QCOMPARE(allowed, std::nullopt);
        QCOMPARE(::write(typist, "y\n", 2), 2);
        QTRY_COMPARE(allowed, std::optional<bool>(true));
        QCOMPARE(kept, "next message\n"_ba);
        ::close(typist);
    }
};

QTEST_GUILESS_MAIN(TerminalApproverTest)
#include "tst_terminal_approver.moc"
