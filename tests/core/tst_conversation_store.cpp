// The conversation store, the two list models the views read, and how a
// conversation is turned into request messages in both modes.

#include "core/conversation_list_model.h"
#include "core/conversation_store.h"
#include "core/message_list_model.h"
#include "core/wire_message_builder.h"
#include "core/wire_message_cache.h"
#include "support/json_rows.h"

#include <QAbstractItemModelTester>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QUuid add(ConversationStore& store, const QString& title = QStringLiteral("New Chat")) {
    Conversation conversation = Conversation::make(title);
    const QUuid id = conversation.id;
    store.insertAndSelect(std::move(conversation));
    return id;
}

const auto message = &ChatMessage::make;

ChatMessage callRecord(const QString& id, const QString& tool, const QString& raw,
                       bool writtenAsText = false) {
    ChatMessage record = message(Role::tool, QString());
    record.toolCall = ToolCallInfo{id, tool, {{"path", "/tmp/a"}}, raw, {}, writtenAsText};
    return record;
}

ChatMessage resultRecord(const QString& id, const QString& tool, bool success,
                         const QString& output) {
    ChatMessage record = message(Role::tool, output);
    record.toolResult = ToolResultInfo{id, tool, success, output};
    return record;
}

const QString wire = "core/wire_messages.json";

// A turn in which the model called two tools without text, after messages that
// are never sent (tests/data/core/wire_messages.json).
Conversation toolExchange() {
    Conversation conversation = Conversation::make(QStringLiteral("t"));
    for (const QJsonValue& row : jsonTable(wire, "conversation").toArray()) {
        const QString id = row["call"].toString();
        const QString tool = row["tool"].toString();
        const QString content =
            row["placeholder"].toBool() ? usingToolsPlaceholder() : row["content"].toString();
        conversation.messages.append(
            row["kind"] == "call"
                ? callRecord(id, tool, row["raw"].toString(), row["asText"].toBool())
            : row["kind"] == "result" ? resultRecord(id, tool, row["success"].toBool(), content)
                                      : message(*roleFromText(row["role"].toString()), content));
    }
    return conversation;
}

} // namespace

class ConversationStoreTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void conversationsKeepTheirPlaceAndTheirFirstName() {
        ConversationStore store;
        const QUuid a = add(store, "a");
        const QUuid b = add(store, "b");
        const QUuid c = add(store, "c");
        QCOMPARE(store.currentConversationId(), c); // newest first, selected
        // Thirty characters as seen: a family is several UTF-16 units, one character.
        const QString family = u"👨‍👩‍👧"_s;
        store.appendMessage(a, message(Role::user, family.repeated(31)));
        store.nameAfterFirstUserMessage(a, family.repeated(31));
        store.touch(a);
        QCOMPARE(store.indexOf(a), 2); // never moved up
        store.appendMessage(a, message(Role::user, "second"));
        store.nameAfterFirstUserMessage(a, "second");
        QCOMPARE(store.find(a)->title, family.repeated(30));
        store.setCurrentConversationId(b);
        store.deleteConversation(a); // unselected: selection stays
        QCOMPARE(store.currentConversationId(), b);
        store.deleteConversation(b); // the top one is selected
        QCOMPARE(store.currentConversationId(), c);
        store.deleteConversation(c);
        QVERIFY(!store.currentConversationId() && store.conversations().isEmpty());
        // Edits of conversations that are gone change nothing.
        QVERIFY(!store.appendMessage(c, message(Role::user, "x")));
        QVERIFY(!store.setMessageContent(c, QUuid::createUuid(), "late"));
        QVERIFY(!store.appendToLastMessage(c, "piece") && !store.setTitle(c, "t"));
    }

    void theListModelsFollowTheStoreRowByRow() {
        ConversationStore store;
        const QUuid shown = add(store);
        MessageListModel messages(&store);
        ConversationListModel conversations(&store);
        using Tester = QAbstractItemModelTester;
        Tester messageTester(&messages, Tester::FailureReportingMode::QtTest);
        Tester conversationTester(&conversations, Tester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&messages, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&messages, &QAbstractItemModel::dataChanged);
        QSignalSpy listReset(&conversations, &QAbstractItemModel::modelReset);
        store.appendMessage(shown, callRecord("c1", "read_file", "{}"));
        store.appendMessage(shown, resultRecord("c1", "read_file", false, "out"));
        const ChatMessage reply = message(Role::assistant, QString());
        store.appendMessage(shown, reply);
        QCOMPARE(inserted.size(), 3);
        store.setMessageContent(shown, reply.id, "answer");
        store.appendToLastMessage(shown, " more");
        QCOMPARE(changed.size(), 2);
        const auto at = [&messages](int row, int role) {
            return messages.data(messages.index(row), role);
        };
        QCOMPARE(at(2, MessageListModel::ContentRole), "answer more");
        // (A result's badge and output as shown: tst_window's tool records.)
        QCOMPARE(at(0, MessageListModel::ToolCallRole).toMap()["summary"], "path: /tmp/a");

        QSignalSpy reset(&messages, &QAbstractItemModel::modelReset);
        const QUuid other = add(store, "other"); // a new selection is the one reset
        QCOMPARE(reset.size(), 1);
        store.setCurrentConversationId(shown);
        store.appendMessage(other, message(Role::user, "elsewhere"));
        QCOMPARE(inserted.size(), 3);
        // The list's rows change in place (what they show: tst_window's rename and search).
        store.setTitle(shown, "renamed");
        store.deleteConversation(shown); // the top one is shown
        QCOMPARE(at(0, MessageListModel::ContentRole), "elsewhere");
        QCOMPARE(listReset.size(), 0);
    }

    void wireMessagesInBothModes() {
        // Gemini's thought signature rides on its call; DeepSeek's reasoning on every
        // message that came with it. The local model gets no provider members; an
        // empty prompt sends no system message.
        Conversation conversation = toolExchange();
        conversation.messages[5].content = u"Let me check."_s;
        conversation.messages[5].reasoningContent = u"think first"_s;
        conversation.messages[6].toolCall->extras = QJsonObject{
            {"extra_content", QJsonObject{{"google", QJsonObject{{"thought_signature", "Sig"}}}}}};
        conversation.messages.last() = message(Role::assistant, "Done.");
        conversation.messages.last().reasoningContent = u"summarise"_s;
        conversation.messages.last().notice = u"Could not save to memory"_s; // the user's only
        const QJsonValue expected = jsonTable(wire, "withProviderMembers");
        for (const auto& [mode, name] :
             {std::pair{WireMode::native, "native"}, {WireMode::text, "text"}}) {
            QCOMPARE(buildWireMessages(toolExchange(), "SYS", mode),
                     jsonTable(wire, name).toArray());
            QCOMPARE(buildWireMessages(conversation, QString(), mode), expected[name].toArray());
        }
    }

    void theCacheGivesWhatAFreshBuildGives() {
        // The conversation grows as the loop grows it, its last message changing in
        // place; after every step the kept forms must equal a fresh build, in both modes.
        WireMessageCache cache;
        const Conversation full = toolExchange();
        Conversation growing = full;
        const auto check = [&] {
            for (WireMode mode : {WireMode::native, WireMode::text, WireMode::native}) {
                QCOMPARE(cache.build(growing, "S", mode), buildWireMessages(growing, "S", mode));
            }
        };
        for (qsizetype size = 1; size <= full.messages.size(); ++size) {
            growing.messages = full.messages.first(size);
            ChatMessage& last = growing.messages.last();
            check();
            last.content += u"streamed"_s;
            check();
            last.reasoningContent = u"r"_s;
            check();
        }
        cache.retainOnly([](const QUuid&) { return false; }); // forgetting keeps answers right
        check();
    }
};

QTEST_GUILESS_MAIN(ConversationStoreTest)
#include "tst_conversation_store.moc"
