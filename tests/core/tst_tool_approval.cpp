// The approval step of the tool loop: which calls wait for the user, in what
// order, what each answer sends back to the model, and what ends a wait.

#include "core/conversation_store.h"
#include "core/tool_approval.h"
#include "core/tool_approval_policy.h"
#include "core/tool_loop.h"
#include "core/tool_runner.h"
#include "models/ai_service.h"
#include "persona/persona_manager.h"
#include "support/json_rows.h"
#include "support/scripted_model.h"
#include "support/test_files.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

NativeToolCall call(const QString& id, const QString& tool, const ToolArguments& arguments) {
    return {id, tool, arguments, {}, {}};
}

// The loop over one store, with the agent's folder in a scratch folder.
struct Loop {
    QTemporaryDir dir;
    ApprovalMode mode = ApprovalMode::ask;
    WireMode wireMode = WireMode::native;
    ScriptedModel model;
    ConversationStore store;
    PersonaManager persona{dir.filePath(u"persona"_s)};
    ToolRunner tools;
    ToolApproval approval{&store, persona.storageDirectory(), [this] { return mode; }};
    ToolLoop loop{&store, &persona, &tools, &approval, [this] {
                      return ToolLoop::Backend{&model, wireMode};
                  }};
    std::shared_ptr<RequestCancellation> cancellation;
    std::shared_ptr<bool> finished;

    QString path(const QString& name) const { return dir.filePath(name); }
    QUuid newConversation() {
        store.insertAndSelect(Conversation::make(u"t"_s));
        return *store.currentConversationId();
    }
    void start(const QUuid& conversation) {
        store.appendMessage(conversation, ChatMessage::make(Role::user, u"go"_s));
        cancellation = std::make_shared<RequestCancellation>();
        finished = std::make_shared<bool>(false);
        loop.runGeneration(conversation, u"prompt"_s, cancellation).then([done = finished] {
            *done = true;
        });
    }
    bool waitFinished() {
        return QTest::qWaitFor([this] { return *finished; }, 10000);
    }
    // Waits for the request for `tool` and answers it.
    bool answer(const QString& tool, const QString& answer) {
        if (!QTest::qWaitFor([&] { return approval.tool() == tool; }, 10000)) {
            return false;
        }
        QMetaObject::invokeMethod(&approval, answer.toLatin1().constData());
        return !approval.isPending();
    }
    QList<ChatMessage> results(const QUuid& conversation) const {
        QList<ChatMessage> found = store.find(conversation)->messages;
        found.removeIf([](const ChatMessage& message) { return !message.toolResult; });
        return found;
    }
};

const QString kCommandFile = u"ran.txt"_s;

NativeToolCall command(const Loop& loop, const QString& id, const QString& file) {
    return call(id, u"run_command"_s,
                {{u"command"_s, u"printf ran > '%1'"_s.arg(loop.path(file))}});
}

NativeToolCall written(const Loop& loop, const QString& id, const QString& file) {
    return call(id, u"write_file"_s,
                {{u"path"_s, loop.path(file)}, {u"content"_s, u"first line\nsecond line"_s}});
}

} // namespace

class ToolApprovalTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void whichCallsAsk_data() { addJsonRows(u"core/tool_approval.json"_s, u"targets"_s); }
    void whichCallsAsk() {
        QFETCH(QJsonObject, row);
        QTemporaryDir dir;
        const QString home = QFileInfo(dir.path()).canonicalFilePath() + u"/home"_s;
        const QString agent = home + u"/.nimbrook"_s;
        const QString outside = home + u"/outside"_s;
        QVERIFY(QDir().mkpath(agent + u"/memory"_s) && QDir().mkpath(outside) &&
                QDir().mkpath(agent + u"-evil"_s));
        QVERIFY(writeBytes(outside + u"/existing.txt"_s, "x") &&
                writeBytes(agent + u"/memory/kept.md"_s, "x"));
        QVERIFY(QFile::link(outside, agent + u"/link"_s));
        QVERIFY(QFile::link(outside + u"/existing.txt"_s, agent + u"/fileLink"_s));
        QVERIFY(QFile::link(outside + u"/new.txt"_s, agent + u"/dangling"_s));
        QCOMPARE(::link(QFile::encodeName(outside + u"/existing.txt"_s).constData(),
                        QFile::encodeName(agent + u"/hardLink"_s).constData()),
                 0);
        const auto placed = [&](const char* key) {
            return row[key]
                .toString()
                .replace(u"{agent}"_s, agent)
                .replace(u"{outside}"_s, outside)
                .replace(u"{dir}"_s, home)
                .replace(u"{cwd}"_s, QDir::current().canonicalPath());
        };
        const QString tool = row["tool"].toString();
        const ToolArguments arguments{{u"path"_s, placed("path")}, {u"command"_s, u"true"_s}};
        const WriteTarget target = writeTarget(tool, arguments);
        QCOMPARE(needsApproval(tool, target, agent), row["asks"].toBool());
        // The card shows where a write lands when the path written does not say it,
        // and the file's other names, which change with it.
        if (toolReach(tool) == ToolReach::writesFile) {
            const ApprovalRequest request = approvalRequestFor({}, tool, arguments, target);
            QCOMPARE(request.reachedPath, placed("lands"));
            QCOMPARE(request.otherNames, row["otherNames"].toInt());
        }
        // The agent's folder reached through a symlink is still the agent's folder.
        QVERIFY(QFile::link(agent, dir.filePath(u"agentLink"_s)));
        QCOMPARE(needsApproval(tool, target, dir.filePath(u"agentLink"_s)), row["asks"].toBool());
    }

    void twoCallsAskInOrderAndEachAnswerReachesTheModel_data() {
        addJsonRows(u"core/tool_approval.json"_s, u"answers"_s);
    }
    void twoCallsAskInOrderAndEachAnswerReachesTheModel() {
        QFETCH(QJsonObject, row);
        Loop loop;
        loop.wireMode = row["mode"] == u"text"_s ? WireMode::text : WireMode::native;
        const QStringList answers = jsonTexts(row["answers"]);
        loop.model.replies << ModelReply{
            {}, {command(loop, u"c1"_s, kCommandFile), written(loop, u"c2"_s, u"out/new.txt"_s)}};
        const QUuid conversation = loop.newConversation();
        loop.start(conversation);

        QTRY_VERIFY(loop.approval.isPending());
        // Nothing is recorded or run while the card waits.
        QCOMPARE(loop.store.find(conversation)->messages.size(), 2);
        QVERIFY(loop.answer(u"run_command"_s, answers[0]));
        QTRY_COMPARE(loop.approval.tool(), u"write_file"_s);
        QCOMPARE(QFile::exists(loop.path(kCommandFile)), answers[0] != u"deny"_s);
        QVERIFY(loop.answer(u"write_file"_s, answers[1]));
        QVERIFY(loop.waitFinished());

        QCOMPARE(QFile::exists(loop.path(u"out/new.txt"_s)), answers[1] != u"deny"_s);
        const QList<ChatMessage> results = loop.results(conversation);
        QCOMPARE(results.size(), 2);
        QCOMPARE(loop.model.requests.size(), 2);
        const WireMessages next = loop.model.requests[1];
        QJsonArray declined = row["declined"].toArray();
        for (int i = 0; i < 2; ++i) {
            const bool denied = answers[i] == u"deny"_s;
            QCOMPARE(results[i].toolResult->success, !denied);
            QCOMPARE(results[i].toolResult->toolCallId, (QStringList{u"c1"_s, u"c2"_s}[i]));
            if (denied) {
                QVERIFY2(next.contains(declined.first()), qPrintable(row["tag"].toString()));
                declined.removeFirst();
            }
        }
        QVERIFY(declined.isEmpty());
        QCOMPARE(loop.store.find(conversation)->messages.last().content, u"Done."_s);

        // Allowed for that conversation or not, the command asks again in another,
        // whose deletion ends the wait: nothing runs and nothing more is asked.
        loop.model.replies << ModelReply{{}, {command(loop, u"c3"_s, u"other.txt"_s)}};
        const QUuid other = loop.newConversation();
        loop.start(other);
        QTRY_COMPARE(loop.approval.tool(), u"run_command"_s);
        loop.store.deleteConversation(other);
        QVERIFY(!loop.approval.isPending());
        QVERIFY(loop.waitFinished());
        QCOMPARE(loop.model.requests.size(), 3);
        QVERIFY(!QFile::exists(loop.path(u"other.txt"_s)));
    }

    // A write in the agent's own folder runs unasked; Stop denies the command
    // that waits and asks no more.
    void stopDeniesTheWaitingCallAndAsksNoMore() {
        Loop loop;
        const QString notes = loop.persona.storageDirectory() + u"/notes.md"_s;
        loop.model.replies << ModelReply{
            {},
            {call(u"c0"_s, u"write_file"_s, {{u"path"_s, notes}, {u"content"_s, u"x"_s}}),
             command(loop, u"c1"_s, kCommandFile), written(loop, u"c2"_s, u"w.txt"_s)}};
        QSignalSpy asked(&loop.approval, &ToolApproval::pendingChanged);
        const QUuid conversation = loop.newConversation();
        loop.start(conversation);
        QTRY_VERIFY(loop.approval.isPending());
        QCOMPARE(loop.approval.tool(), u"run_command"_s);
        QCOMPARE(readBytes(notes), QByteArray("x"));
        loop.cancellation->cancel();
        QVERIFY(loop.waitFinished());
        QCOMPARE(asked.count(), 2); // shown once, then taken away
        QVERIFY(!QFile::exists(loop.path(kCommandFile)) && !QFile::exists(loop.path(u"w.txt"_s)));
        const QList<ChatMessage> results = loop.results(conversation);
        QVERIFY(results.size() > 1);
        QCOMPARE(results[1].toolResult->output, u"The user declined this run_command call."_s);
    }
};

QTEST_GUILESS_MAIN(ToolApprovalTest)
#include "tst_tool_approval.moc"
