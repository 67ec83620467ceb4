// How a conversation is turned into request messages, in both modes.

#include "core/wire_message_builder.h"
#include "core/wire_message_cache.h"

#include <QJsonDocument>
#include <QtTest>

namespace {

ChatMessage message(Role role, const QString& content) {
    return ChatMessage::make(role, content);
}

ChatMessage callRecord(const QString& id, const QString& tool, const QString& raw) {
    ChatMessage record = ChatMessage::make(Role::tool, QString());
    record.toolCall = ToolCallInfo{id, tool, {}, raw};
    return record;
}

ChatMessage resultRecord(const QString& id, const QString& tool, bool success,
                         const QString& output) {
    ChatMessage record = ChatMessage::make(Role::tool, output);
    record.toolResult = ToolResultInfo{id, tool, success, output};
    return record;
}

// A turn in which the model called two tools without text, then answered.
Conversation toolExchange() {
    Conversation conversation = Conversation::make(QStringLiteral("t"));
    conversation.messages = {
        message(Role::assistant, QStringLiteral("I'm awake.")),
        message(Role::user, QStringLiteral("list and read")),
        message(Role::assistant, usingToolsPlaceholder()),
        callRecord(QStringLiteral("c1"), QStringLiteral("list_directory"),
                   QStringLiteral("{\"path\":\"/tmp\"}")),
        resultRecord(QStringLiteral("c1"), QStringLiteral("list_directory"), true,
                     QStringLiteral("a.txt")),
        callRecord(QStringLiteral("c2"), QStringLiteral("read_file"),
                   QStringLiteral("{\"path\": \"/x\"}")),
        resultRecord(QStringLiteral("c2"), QStringLiteral("read_file"), false,
                     QStringLiteral("File not found: /x")),
        message(Role::assistant, QString()), // the placeholder of the next call
    };
    return conversation;
}

QByteArray compact(const QJsonArray& array) {
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

} // namespace

class WireMessagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nativeModeNestsCallsInTheAssistantTurn() {
        const WireMessages wire =
            buildWireMessages(toolExchange(), QStringLiteral("SYS"), WireMode::native);
        const QJsonArray expected = QJsonDocument::fromJson(R"([
            {"role":"system","content":"SYS"},
            {"role":"assistant","content":"I'm awake."},
            {"role":"user","content":"list and read"},
            {"role":"assistant","content":null,"tool_calls":[
                {"id":"c1","type":"function","function":{"name":"list_directory","arguments":"{\"path\":\"/tmp\"}"}},
                {"id":"c2","type":"function","function":{"name":"read_file","arguments":"{\"path\": \"/x\"}"}}]},
            {"role":"tool","tool_call_id":"c1","content":"a.txt"},
            {"role":"tool","tool_call_id":"c2","content":"File not found: /x"}
        ])")
                                        .array();
        QCOMPARE(wire, expected);
        // null, not "" and not missing.
        QVERIFY(compact(wire).contains(R"("content":null)"));
    }

    void textModeSendsResultsAsUserMessages() {
        const WireMessages wire =
            buildWireMessages(toolExchange(), QStringLiteral("SYS"), WireMode::text);
        const QJsonArray expected = QJsonDocument::fromJson(R"([
            {"role":"system","content":"SYS"},
            {"role":"assistant","content":"I'm awake."},
            {"role":"user","content":"list and read"},
            {"role":"user","content":"[Tool Result: list_directory]\na.txt"},
            {"role":"user","content":"[Tool Error: read_file]\nFile not found: /x"}
        ])")
                                        .array();
        QCOMPARE(wire, expected);
        QVERIFY(!compact(wire).contains("tool_calls"));
    }

    void assistantTextWithCallsKeepsItsText() {
        Conversation conversation = Conversation::make(QStringLiteral("t"));
        conversation.messages = {
            message(Role::user, QStringLiteral("q")),
            message(Role::assistant, QStringLiteral("Let me check.")),
            callRecord(QStringLiteral("c1"), QStringLiteral("run_command"), QStringLiteral("{}")),
            resultRecord(QStringLiteral("c1"), QStringLiteral("run_command"), true,
                         QStringLiteral("ok"))};
        const WireMessages native = buildWireMessages(conversation, QString(), WireMode::native);
        QCOMPARE(native.size(), 3);
        QCOMPARE(native[1][QStringLiteral("content")].toString(), QStringLiteral("Let me check."));
        QCOMPARE(native[1][QStringLiteral("tool_calls")].toArray().size(), 1);
        const WireMessages text = buildWireMessages(conversation, QString(), WireMode::text);
        QCOMPARE(text[1][QStringLiteral("content")].toString(), QStringLiteral("Let me check."));
    }

    void skippedMessages() {
        Conversation conversation = Conversation::make(QStringLiteral("t"));
        ChatMessage system = message(Role::system, QStringLiteral("never sent"));
        conversation.messages = {
            system,
            message(Role::user, QString()),
            message(Role::assistant, QString()),
            message(Role::assistant, usingToolsPlaceholder()),
            message(Role::assistant, QStringLiteral("Error: Cloud API returned an error")),
            message(Role::user, QStringLiteral("again"))};
        for (WireMode mode : {WireMode::native, WireMode::text}) {
            const WireMessages wire = buildWireMessages(conversation, QString(), mode);
            // An empty prompt sends no system message; earlier errors go as assistant text.
            QCOMPARE(wire, QJsonDocument::fromJson(R"([
                {"role":"assistant","content":"Error: Cloud API returned an error"},
                {"role":"user","content":"again"}])")
                               .array());
        }
    }

    void callRecordsAfterAnotherRoleAreNotAttached() {
        // The look-ahead stops at the first message that is not a tool record.
        Conversation conversation = Conversation::make(QStringLiteral("t"));
        conversation.messages = {
            message(Role::assistant, QStringLiteral("hi")),
            message(Role::user, QStringLiteral("u")),
            callRecord(QStringLiteral("c9"), QStringLiteral("read_file"), QStringLiteral("{}"))};
        const WireMessages wire = buildWireMessages(conversation, QString(), WireMode::native);
        QCOMPARE(wire.size(), 2);
        QVERIFY(!wire[0].toObject().contains(QStringLiteral("tool_calls")));
    }

    void providerMembersGoBackWithTheirTurnOnly() {
        // Gemini's thought signature rides on its call; DeepSeek's reasoning on
        // the turn that called tools, not on the turn that answered.
        const QJsonObject signature{
            {"extra_content", QJsonObject{{"google", QJsonObject{{"thought_signature", "Sig"}}}}}};
        Conversation conversation = toolExchange();
        conversation.messages[2].reasoningContent = QStringLiteral("think first");
        conversation.messages[3].toolCall->extras = signature;
        ChatMessage answer = message(Role::assistant, QStringLiteral("Done."));
        answer.reasoningContent = QStringLiteral("summarise");
        conversation.messages.last() = answer;

        const WireMessages native = buildWireMessages(conversation, QString(), WireMode::native);
        const QJsonObject turn = native[2].toObject();
        QCOMPARE(turn["reasoning_content"].toString(), QStringLiteral("think first"));
        const QJsonArray calls = turn["tool_calls"].toArray();
        QCOMPARE(calls[0].toObject()["extra_content"], signature["extra_content"]);
        QCOMPARE(calls[0].toObject()["id"].toString(), QStringLiteral("c1"));
        QVERIFY(!calls[1].toObject().contains("extra_content")); // the call that came without
        QCOMPARE(native.last().toObject(),
                 (QJsonObject{{"role", "assistant"}, {"content", "Done."}}));

        // The local model gets text only.
        const QByteArray text = compact(buildWireMessages(conversation, QString(), WireMode::text));
        QVERIFY(!text.contains("reasoning") && !text.contains("extra_content"));
    }

    void cacheGivesWhatAFreshBuildGives() {
        // The conversation grows as the loop grows it; after every step the kept
        // forms must equal a fresh build, in both modes.
        WireMessageCache cache;
        Conversation conversation = Conversation::make(QStringLiteral("t"));
        const auto check = [&] {
            for (WireMode mode : {WireMode::native, WireMode::text, WireMode::native}) {
                QCOMPARE(cache.build(conversation, QStringLiteral("S"), mode),
                         buildWireMessages(conversation, QStringLiteral("S"), mode));
            }
        };
        conversation.messages.append(message(Role::user, QStringLiteral("q")));
        check();
        ChatMessage placeholder = message(Role::assistant, QString());
        conversation.messages.append(placeholder);
        check();
        conversation.messages.last().content = usingToolsPlaceholder(); // the same message, changed
        check();
        conversation.messages.last().reasoningContent = QStringLiteral("r"); // its reasoning too
        check();
        conversation.messages.append(
            callRecord(QStringLiteral("c1"), QStringLiteral("read_file"), QStringLiteral("{}")));
        check(); // the assistant turn now carries a call
        conversation.messages.append(resultRecord(QStringLiteral("c1"), QStringLiteral("read_file"),
                                                  true, QStringLiteral("x")));
        conversation.messages.append(callRecord(
            QStringLiteral("c2"), QStringLiteral("list_directory"), QStringLiteral("{}")));
        check(); // and a second one
        conversation.messages.append(message(Role::assistant, QString()));
        conversation.messages.last().content = QStringLiteral("streamed ");
        check();
        conversation.messages.last().content += QStringLiteral("more");
        check();

        // Forgetting a conversation that is gone keeps the answers right.
        cache.retainOnly([](const QUuid&) { return false; });
        check();
    }
};

QTEST_GUILESS_MAIN(WireMessagesTest)
#include "tst_wire_messages.moc"
