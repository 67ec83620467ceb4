// Which messages the transcript's actions apply to, and what they remove:
// only the latest exchange, and only while it is the latest.

#include "core/conversation_store.h"
#include "core/message_actions.h"
#include "core/message_list_model.h"
#include "support/json_rows.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

struct Scene {
    ConversationStore store;
    MessageListModel model{&store};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::QtTest};
    MessageActions actions{&store};
    QUuid conversation;
    QList<QUuid> ids;

    explicit Scene(const QJsonObject& row) {
        Conversation made = Conversation::make(QStringLiteral("Chat"));
        conversation = made.id;
        store.insertAndSelect(std::move(made));
        for (const QString& role : jsonTexts(row.value("roles"))) {
            ChatMessage message = ChatMessage::make(roleFromText(role).value(), role);
            ids.append(message.id);
            store.appendMessage(conversation, std::move(message));
        }
    }

    QUuid idAt(int index) const { return index >= 0 ? ids.at(index) : QUuid::createUuid(); }
    QStringList roles() const {
        QStringList names;
        for (const ChatMessage& message : store.find(conversation)->messages) {
            names << toText(message.role);
        }
        return names;
    }
};

QString textId(const QList<QUuid>& ids, int index) {
    return index >= 0 ? ids.at(index).toString(QUuid::WithoutBraces) : QString();
}

} // namespace

class TestMessageActions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each conversation: which messages are the last question and reply;
    // Regenerate removes the last reply with its tool records, and on any other
    // message nothing; sending an edited question replaces it and all after it,
    // as long as it is still the last question when sent.
    void actionsOnEachConversation_data() {
        addJsonRows("core/message_actions.json", "conversations");
    }
    void actionsOnEachConversation() {
        QFETCH(QJsonObject, row);
        {
            Scene scene(row);
            QCOMPARE(scene.actions.lastQuestionId(),
                     textId(scene.ids, row["lastQuestion"].toInt()));
            QCOMPARE(scene.actions.lastReplyId(), textId(scene.ids, row["lastReply"].toInt()));
            const QStringList before = scene.roles();
            const QStringList after = jsonTexts(row["afterRegenerate"]);
            QSignalSpy changed(&scene.actions, &MessageActions::changed);
            QCOMPARE(scene.actions.removeReply(scene.idAt(row["regenerate"].toInt())),
                     after != before);
            QCOMPARE(scene.roles(), after);
            QCOMPARE(scene.model.rowCount(), after.size());
            QCOMPARE(changed.isEmpty(), after == before);
        }
        Scene scene(row);
        const QStringList before = scene.roles();
        const QStringList after = jsonTexts(row["afterEdit"]);
        const auto text = scene.actions.beginEdit(scene.idAt(row["edit"].toInt()));
        QCOMPARE(text.value_or("none"), after != before ? "user" : "none");
        QCOMPARE(scene.actions.editedQuestionId().isEmpty(), !text.has_value());
        QCOMPARE(scene.actions.removeEditedQuestion(), after != before);
        QCOMPARE(scene.roles(), after);
        QVERIFY(scene.actions.editedQuestionId().isEmpty());
        QVERIFY(!scene.actions.removeEditedQuestion()); // once only
    }

    // A question answered meanwhile (from the phone, say) or another
    // conversation selected ends the edit without removing anything.
    void anEditEndsWhenItNoLongerApplies() {
        Scene scene(QJsonObject{{"roles", QJsonArray{"user", "assistant"}}});
        QVERIFY(scene.actions.beginEdit(scene.ids.at(0)));
        scene.store.appendMessage(scene.conversation, ChatMessage::make(Role::user, "later"));
        QVERIFY(!scene.actions.removeEditedQuestion());
        QCOMPARE(scene.roles(), (QStringList{"user", "assistant", "user"}));

        QVERIFY(scene.actions.beginEdit(scene.store.find(scene.conversation)->messages.last().id));
        scene.store.insertAndSelect(Conversation::make(QStringLiteral("Other")));
        QVERIFY(scene.actions.editedQuestionId().isEmpty());
    }
};

QTEST_MAIN(TestMessageActions)
#include "tst_message_actions.moc"
