// The conversation store and the two list models the views read.

#include "core/conversation_list_model.h"
#include "core/conversation_store.h"
#include "core/message_list_model.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

class ConversationStoreTest : public QObject {
    Q_OBJECT

    static QUuid addConversation(ConversationStore& store,
                                 const QString& title = QStringLiteral("New Chat")) {
        Conversation conversation = Conversation::make(title);
        const QUuid id = conversation.id;
        store.insertAndSelect(std::move(conversation));
        return id;
    }

private Q_SLOTS:
    void rolesHaveTheirTextValues() {
        QCOMPARE(toText(Role::assistant), QStringLiteral("assistant"));
        QCOMPARE(roleFromText(QStringLiteral("tool")), Role::tool);
        QVERIFY(!roleFromText(QStringLiteral("Tool")));
    }

    void titleIsTheFirstThirtyCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        const QString forty = QStringLiteral("abcdefghij").repeated(4);
        QTest::newRow("forty") << forty << forty.left(30);
        QTest::newRow("short") << QStringLiteral("hello") << QStringLiteral("hello");
        const QString cjk =
            QStringLiteral("你好世界这是一个很长的标题用来测试截断规则是否按字符计数而不是字节数");
        QTest::newRow("cjk") << cjk << cjk.left(30);
        QString emoji;
        for (int i = 0; i < 35; ++i) {
            emoji += QStringLiteral("👍🏽"); // one character, four UTF-16 units
        }
        QTest::newRow("emoji") << emoji << emoji.left(30 * 4);
        QString families;
        for (int i = 0; i < 31; ++i) {
            families += QStringLiteral("👨‍👩‍👧");
        }
        QTest::newRow("zwj sequences")
            << families << families.left(30 * QStringLiteral("👨‍👩‍👧").size());
    }
    void titleIsTheFirstThirtyCharacters() {
        QFETCH(QString, text);
        QFETCH(QString, title);
        QCOMPARE(firstCharacters(text, 30), title);
    }

    void onlyTheFirstUserMessageNamesAConversation() {
        ConversationStore store;
        const QUuid greeted = addConversation(store);
        store.appendMessage(greeted,
                            ChatMessage::make(Role::assistant, QStringLiteral("I'm awake.")));
        store.appendMessage(greeted,
                            ChatMessage::make(Role::user, QStringLiteral("first question")));
        store.nameAfterFirstUserMessage(greeted, QStringLiteral("first question"));
        QCOMPARE(store.find(greeted)->title, QStringLiteral("first question"));
        store.appendMessage(greeted, ChatMessage::make(Role::user, QStringLiteral("second")));
        store.nameAfterFirstUserMessage(greeted, QStringLiteral("second"));
        QCOMPARE(store.find(greeted)->title, QStringLiteral("first question"));

        const QUuid empty = addConversation(store);
        store.appendMessage(empty, ChatMessage::make(Role::user, QStringLiteral("hi")));
        store.nameAfterFirstUserMessage(empty, QStringLiteral("hi"));
        QCOMPARE(store.find(empty)->title, QStringLiteral("hi"));
    }

    void newestFirstAndNeverReordered() {
        ConversationStore store;
        const QUuid older = addConversation(store, QStringLiteral("older"));
        const QUuid newer = addConversation(store, QStringLiteral("newer"));
        QCOMPARE(store.conversations().first().id, newer);
        QCOMPARE(store.currentConversationId(), newer);
        store.appendMessage(older, ChatMessage::make(Role::user, QStringLiteral("x")));
        store.touch(older);
        QCOMPARE(store.indexOf(older), 1);
        QVERIFY(store.find(older)->updatedAt >= store.find(older)->createdAt);
    }

    void deletionMovesTheSelectionToTheTop() {
        ConversationStore store;
        const QUuid a = addConversation(store);
        const QUuid b = addConversation(store);
        const QUuid c = addConversation(store);
        store.setCurrentConversationId(b);
        store.deleteConversation(a); // unselected: selection stays
        QCOMPARE(store.currentConversationId(), b);
        store.deleteConversation(b); // selected: the top one is selected
        QCOMPARE(store.currentConversationId(), c);
        store.deleteConversation(c);
        QVERIFY(!store.currentConversationId());
        QVERIFY(store.conversations().isEmpty());
        store.deleteConversation(QUuid::createUuid()); // unknown id: nothing happens
    }

    void editsOfVanishedConversationsChangeNothing() {
        ConversationStore store;
        const QUuid id = addConversation(store);
        ChatMessage placeholder = ChatMessage::make(Role::assistant, QString());
        const QUuid messageId = placeholder.id;
        QVERIFY(store.appendMessage(id, placeholder));
        QVERIFY(store.setMessageContent(id, messageId, QStringLiteral("done")));
        QVERIFY(!store.setMessageContent(id, QUuid::createUuid(), QStringLiteral("x")));
        store.deleteConversation(id);
        QVERIFY(!store.appendMessage(id, ChatMessage::make(Role::user, QStringLiteral("x"))));
        QVERIFY(!store.setMessageContent(id, messageId, QStringLiteral("late")));
        QVERIFY(!store.appendToLastMessage(id, QStringLiteral("piece")));
        QVERIFY(!store.setTitle(id, QStringLiteral("t")));
    }

    void messageModelAppendsRowsWithoutResetting() {
        ConversationStore store;
        const QUuid id = addConversation(store);
        MessageListModel model(&store);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

        for (int i = 0; i < 100; ++i) {
            store.appendMessage(id, ChatMessage::make(Role::user, QStringLiteral("m%1").arg(i)));
        }
        ChatMessage reply = ChatMessage::make(Role::assistant, QString());
        const QUuid replyId = reply.id;
        store.appendMessage(id, reply);
        QCOMPARE(inserted.size(), 101);
        QCOMPARE(model.rowCount(), 101);
        QCOMPARE(reset.size(), 0);

        store.setMessageContent(id, replyId, QStringLiteral("answer"));
        store.appendToLastMessage(id, QStringLiteral(" more"));
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 100);
        QCOMPARE(model.data(model.index(100), MessageListModel::ContentRole).toString(),
                 QStringLiteral("answer more"));
        QCOMPARE(model.data(model.index(100), MessageListModel::RoleRole).toString(),
                 QStringLiteral("assistant"));

        // Appends to another conversation do not touch this list.
        const QUuid other = QUuid::createUuid();
        Conversation background = Conversation::make(QStringLiteral("bg"));
        background.id = other;
        store.insertAndSelect(background);
        QCOMPARE(reset.size(), 1); // a new selection is the one reset
        store.setCurrentConversationId(id);
        inserted.clear();
        store.appendMessage(other, ChatMessage::make(Role::user, QStringLiteral("elsewhere")));
        QCOMPARE(inserted.size(), 0);
        QCOMPARE(model.rowCount(), 101);
    }

    void messageModelExposesToolRecords() {
        ConversationStore store;
        const QUuid id = addConversation(store);
        MessageListModel model(&store);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        ChatMessage call = ChatMessage::make(Role::tool, QString());
        call.toolCall = ToolCallInfo{QStringLiteral("c1"),
                                     QStringLiteral("read_file"),
                                     {{QStringLiteral("path"), QStringLiteral("/tmp/a")}},
                                     QStringLiteral("{\"path\":\"/tmp/a\"}")};
        ChatMessage result = ChatMessage::make(Role::tool, QStringLiteral("out"));
        result.toolResult = ToolResultInfo{QStringLiteral("c1"), QStringLiteral("read_file"), false,
                                           QStringLiteral("out")};
        store.appendMessage(id, call);
        store.appendMessage(id, result);
        const QVariantMap callData =
            model.data(model.index(0), MessageListModel::ToolCallRole).toMap();
        QCOMPARE(callData[QStringLiteral("tool")].toString(), QStringLiteral("read_file"));
        QCOMPARE(callData[QStringLiteral("summary")].toString(), QStringLiteral("path: /tmp/a"));
        QVERIFY(!model.data(model.index(0), MessageListModel::ToolResultRole).isValid());
        const QVariantMap resultData =
            model.data(model.index(1), MessageListModel::ToolResultRole).toMap();
        QCOMPARE(resultData[QStringLiteral("success")].toBool(), false);
        QCOMPARE(resultData[QStringLiteral("output")].toString(), QStringLiteral("out"));
    }

    void messageModelFollowsDeletionOfTheShownConversation() {
        ConversationStore store;
        const QUuid first = addConversation(store);
        store.appendMessage(first, ChatMessage::make(Role::user, QStringLiteral("kept")));
        const QUuid second = addConversation(store);
        store.appendMessage(second, ChatMessage::make(Role::user, QStringLiteral("a")));
        store.appendMessage(second, ChatMessage::make(Role::user, QStringLiteral("b")));
        MessageListModel model(&store);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 2);
        store.deleteConversation(second);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0), MessageListModel::ContentRole).toString(),
                 QStringLiteral("kept"));
        store.deleteConversation(first);
        QCOMPARE(model.rowCount(), 0);
    }

    void conversationModelTracksInsertRemoveAndTitles() {
        ConversationStore store;
        ConversationListModel model(&store);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        const QUuid a = addConversation(store, QStringLiteral("a"));
        const QUuid b = addConversation(store, QStringLiteral("b"));
        addConversation(store, QStringLiteral("c"));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.data(model.index(0), ConversationListModel::TitleRole).toString(),
                 QStringLiteral("c"));
        store.setTitle(a, QStringLiteral("renamed"));
        QCOMPARE(model.data(model.index(2), ConversationListModel::TitleRole).toString(),
                 QStringLiteral("renamed"));
        store.deleteConversation(b);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1), ConversationListModel::ConversationIdRole).toString(),
                 a.toString(QUuid::WithoutBraces));
        QCOMPARE(reset.size(), 0);
    }
};

QTEST_GUILESS_MAIN(ConversationStoreTest)
#include "tst_conversation_store.moc"
