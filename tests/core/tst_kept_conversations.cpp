// Conversations kept on this computer: off by default, everything back after a
// relaunch (titles, order, tool records, removed messages, the phone
// conversation), turning it off, files that are damaged or newer (never
// changed), search in memory and in the file, rename, undoing a deletion, and
// the Markdown export.

#include "core/chat_view_model.h"
#include "core/conversation_database.h"
#include "core/conversation_export.h"
#include "core/conversation_filter_model.h"
#include "core/conversation_keeper.h"
#include "core/conversation_list_model.h"
#include "core/conversation_search.h"
#include "core/conversation_store.h"
#include "core/deletion_undo.h"
#include "core/markdown_export.h"
#include "core/preferences.h"
#include "core/user_defaults.h"
#include "core/web_bridge.h"
#include "support/fake_http_server.h"
#include "support/full_disk.h"
#include "support/json_rows.h"
#include "support/scoped_environment.h"
#include "support/test_files.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The file's thread answers in milliseconds; under a sanitizer on a busy
// machine it can take seconds. Only a thread that never answers fails.
constexpr int settleTimeout = 120000;

ChatMessage message(const QString& role, const QString& content) {
    ChatMessage made = ChatMessage::make(roleFromText(role).value(), content);
    if (made.role == Role::tool) {
        made.toolResult = ToolResultInfo{u"call-1"_s, u"create_xlsx"_s, true, content};
    }
    return made;
}

} // namespace

class KeptConversationsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeOpenAIServer m_cloud;
    FakeOllamaServer m_ollama;

    QString databasePath() const {
        return m_dir->filePath(u"data/Emberglass/conversations.sqlite"_s);
    }

    // A launch on the test's folder, once the kept conversations are listed.
    std::unique_ptr<ChatViewModel> launch() {
        auto vm = std::make_unique<ChatViewModel>(
            ChatViewModelOptions{.personaDirectory = m_dir->filePath(u"persona"_s),
                                 .settingsFile = m_dir->filePath(u"settings.conf"_s),
                                 .ollamaBase = m_ollama.baseUrl(),
                                 .serverPort = 0,
                                 .keptConversationsFile = databasePath()});
        settle(*vm);
        return vm;
    }

    // The file's thread may answer before the window's thread awaits the answer,
    // and then the signal comes before the spy waits.
    static bool emitted(QSignalSpy& spy) { return spy.count() > 0 || spy.wait(settleTimeout); }

    static void settle(ChatViewModel& vm) {
        const auto state = [&] { return vm.keeper()->state(); };
        QTRY_VERIFY_WITH_TIMEOUT(state() != ConversationKeeper::State::opening, settleTimeout);
    }

    static void keep(ChatViewModel& vm) {
        QSignalSpy settled(vm.keeper(), &ConversationKeeper::settled);
        vm.preferences()->setKeepConversations(true);
        QVERIFY(emitted(settled));
    }

    // A conversation as the tool loop and sending would build it.
    static QUuid add(ChatViewModel& vm, const QJsonObject& spec) {
        Conversation conversation = Conversation::make(u"New Chat"_s);
        const QUuid id = conversation.id;
        vm.store()->insertAndSelect(std::move(conversation));
        for (const QJsonValue& entry : spec["messages"].toArray()) {
            const QJsonArray pair = entry.toArray();
            vm.store()->appendMessage(id, message(pair[0].toString(), pair[1].toString()));
        }
        vm.store()->setTitle(id, spec["title"].toString());
        return id;
    }

    static QJsonArray corpus() {
        return jsonTable(u"core/kept_conversations.json"_s, u"corpus"_s).toArray();
    }
    static void addCorpus(ChatViewModel& vm) {
        for (const QJsonValue& spec : corpus()) {
            add(vm, spec.toObject());
        }
    }

    static QStringList titles(const QList<Conversation>& conversations) {
        QStringList list;
        std::ranges::transform(conversations, std::back_inserter(list), &Conversation::title);
        return list;
    }
    static QStringList titles(const ChatViewModel& vm) {
        return titles(vm.store()->conversations());
    }

    static QStringList shownTitles(const ChatViewModel& vm) {
        QStringList list;
        const ConversationFilterModel* shown = vm.shownConversations();
        for (int row = 0; row < shown->rowCount(); ++row) {
            list << shown->index(row, 0).data(ConversationListModel::TitleRole).toString();
        }
        list.sort();
        return list;
    }

    // Runs statements on the file past the keeper: the first column of the last
    // one's first row, -1 when it gives none, failedOnFile when one fails.
    static constexpr int failedOnFile = -2;
    int runOnFile(const QStringList& statements) const {
        int answer = failedOnFile;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"raw"_s);
            db.setDatabaseName(databasePath());
            QSqlQuery query(db);
            if (db.open() && std::ranges::all_of(statements, [&](const QString& statement) {
                    return query.exec(statement);
                })) {
                answer = query.next() ? query.value(0).toInt() : -1;
            }
        }
        QSqlDatabase::removeDatabase(u"raw"_s);
        return answer;
    }

    static void open(ChatViewModel& vm, const QUuid& id) {
        vm.setCurrentConversationId(id);
        QTRY_VERIFY_WITH_TIMEOUT(!vm.store()->find(id)->messagesPending, settleTimeout);
    }

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void theFileIsInTheDataHome() {
        const ScopedEnvironment data("XDG_DATA_HOME", QFile::encodeName(m_dir->path()));
        QCOMPARE(ConversationKeeper::defaultDatabasePath(),
                 m_dir->path() + u"/Emberglass/conversations.sqlite"_s);
    }

    // Store, quit, launch: titles, order, messages with their tool records (and
    // without the ones removed), and the phone conversation, which phone messages
    // then go on in.
    void everythingComesBackAfterARelaunch() {
        QList<Conversation> before;
        QUuid phone;
        {
            auto vm = launch();
            keep(*vm);
            addCorpus(*vm);
            ChatMessage call = ChatMessage::make(Role::tool, QString());
            call.toolCall = ToolCallInfo{u"call-1"_s,
                                         u"create_xlsx"_s,
                                         {{u"path"_s, u"~/b.xlsx"_s}},
                                         u"{\"path\":\"~/b.xlsx\"}"_s,
                                         QJsonObject{{u"x"_s, 1}}};
            vm->store()->appendMessage(vm->store()->conversations()[1].id, call);
            vm->renameConversation(vm->store()->conversations()[2].id.toString(), u"  My   own "_s);
            // Regenerated: the reply taken back and replaced.
            const QUuid regenerated = vm->store()->conversations()[3].id;
            QVERIFY(vm->store()->removeMessagesFrom(regenerated, 1));
            vm->store()->appendMessage(regenerated, message(u"assistant"_s, u"A second answer"_s));
            // Renamed before it is kept: the name stays through its first message;
            // a blank name changes nothing.
            vm->newConversation(false);
            const QUuid taxes = *vm->currentConversationId();
            vm->renameConversation(taxes.toString(), u"Taxes 2026"_s);
            vm->renameConversation(taxes.toString(), u"   "_s);
            vm->store()->appendMessage(taxes, message(u"user"_s, u"first words"_s));
            vm->store()->nameAfterFirstUserMessage(taxes, u"first words"_s);
            vm->webBridge()->receiveWebUserMessage(u"from the phone"_s);
            vm->webBridge()->appendWebAssistantToken(u"phone "_s);
            vm->webBridge()->appendWebAssistantToken(u"reply"_s);
            phone = *vm->webBridge()->webConversationId();
            // The launch conversation (a greeting only) is not kept.
            before = vm->store()->conversations().mid(0, vm->store()->conversations().size() - 1);
            vm->setCurrentConversationId(vm->store()->conversations().last().id);
            vm->keeper()->waitForWrites();
        }
        QCOMPARE(modeOf(databasePath()), 0600u);
        QCOMPARE(modeOf(QFileInfo(databasePath()).path()), 0700u);

        auto vm = launch();
        // Today's launch conversation first, selected.
        QCOMPARE(vm->currentConversationId(), vm->store()->conversations().first().id);
        // Newest activity first: a message's time counts, ties keep the list's order.
        const auto activity = [](const Conversation& conversation) {
            return std::max(conversation.updatedAt, conversation.messages.last().timestamp);
        };
        std::ranges::stable_sort(before, std::greater<>(), activity);
        QCOMPARE(titles(*vm), QStringList{u"New Chat"_s} + titles(before));
        QVERIFY(titles(before).contains(u"My own"_s) && titles(before).contains(u"Taxes 2026"_s));
        for (const Conversation& kept : before) {
            open(*vm, kept.id);
            const Conversation* back = vm->store()->find(kept.id);
            QCOMPARE(back->messages, kept.messages);
            QCOMPARE(back->renamed, kept.renamed);
            QCOMPARE(back->createdAt, kept.createdAt);
        }
        QCOMPARE(vm->webBridge()->webConversationId(), phone);
        vm->webBridge()->receiveWebUserMessage(u"again"_s);
        QCOMPARE(vm->store()->find(phone)->messages.size(), 4);
    }

    void turningOffKeepsTheWindowWholeAndDeletesOnlyWhenAsked_data() {
        QTest::addColumn<bool>("deleteStored");
        QTest::addColumn<bool>("undeletable");
        QTest::newRow("keep the file") << false << false;
        QTest::newRow("delete") << true << false;
        QTest::newRow("delete, but it cannot go") << true << true;
    }
    void turningOffKeepsTheWindowWholeAndDeletesOnlyWhenAsked() {
        QFETCH(bool, deleteStored);
        QFETCH(bool, undeletable);
        {
            auto vm = launch();
            keep(*vm);
            add(*vm, corpus()[0].toObject());
        }
        auto vm = launch();
        QCOMPARE(vm->keeper()->storedCount(), 1);
        const QUuid listed = vm->store()->conversations().last().id;
        QVERIFY(vm->store()->find(listed)->messagesPending);
        if (undeletable) { // a folder in its place (root removes files from read-only folders)
            QVERIFY(QFile::rename(databasePath(), databasePath() + u".open"_s));
            QVERIFY(QDir().mkdir(databasePath()));
        }
        QSignalSpy settled(vm->keeper(), &ConversationKeeper::settled);
        vm->keeper()->turnOff(deleteStored);
        QVERIFY(emitted(settled));
        QCOMPARE(vm->keeper()->state(), ConversationKeeper::State::off);
        QCOMPARE(vm->store()->find(listed)->messages.size(), 2); // read before letting go
        QCOMPARE(QFileInfo::exists(databasePath()), !deleteStored || undeletable);
        QCOMPARE(vm->keeper()->deleteProblem().isEmpty(), !undeletable);
        vm.reset();
        vm = launch();
        QCOMPARE(titles(*vm), QStringList{u"New Chat"_s});
    }

    // Never deleted, renamed or written; the app goes on in memory, or reads a
    // newer version's file without writing it.
    void damagedOrNewerFilesAreLeftAlone_data() {
        addJsonRows(u"core/kept_conversations.json"_s, u"damaged"_s);
    }
    void damagedOrNewerFilesAreLeftAlone() {
        QFETCH(QJsonObject, row);
        const QString damage = row["damage"].toString();
        {
            auto vm = launch();
            keep(*vm);
            add(*vm, corpus()[0].toObject());
        }
        QStringList statements{u"PRAGMA journal_mode=DELETE"_s};
        if (damage == u"newer") {
            statements << u"PRAGMA user_version=99"_s;
        } else if (damage == u"foreign") {
            statements << u"DROP TABLE messages"_s << u"PRAGMA user_version=0"_s;
        }
        QVERIFY(runOnFile(statements) != failedOnFile);
        QByteArray bytes = damage == u"garbage" ? QByteArray(8192, 'x') : readBytes(databasePath());
        if (damage == u"page") {
            bytes.replace(4096 + 8, 1200, QByteArray(1200, '\xff'));
        }
        QVERIFY(writeBytes(databasePath(), bytes));
        const QStringList folder = QDir(QFileInfo(databasePath()).path()).entryList(QDir::Files);

        auto vm = launch();
        const bool readOnly = row["state"].toString() == u"readOnly";
        QCOMPARE(vm->keeper()->state(), readOnly ? ConversationKeeper::State::readOnly
                                                 : ConversationKeeper::State::failed);
        QVERIFY(readOnly || !vm->keeper()->problem().isEmpty());
        QCOMPARE(titles(*vm).size(), readOnly ? 2 : 1); // a newer file is still read
        add(*vm, corpus()[1].toObject());
        QCOMPARE(vm->store()->conversations().first().title, u"Budget sheet"_s);
        vm->keeper()->turnOff(true); // a damaged or newer file is not deleted
        vm.reset();
        QCOMPARE(readBytes(databasePath()), bytes);
        QCOMPARE(QDir(QFileInfo(databasePath()).path()).entryList(QDir::Files), folder);
    }

    // Searched in the file (in memory, the same matcher: tst_window's search).
    void searchFindsTitlesAndText_data() {
        addJsonRows(u"core/kept_conversations.json"_s, u"search"_s);
    }
    void searchFindsTitlesAndText() {
        QFETCH(QJsonObject, row);
        { // the writer closes the file before the next launch reads it
            auto writer = launch();
            keep(*writer);
            addCorpus(*writer);
        }
        auto vm = launch();
        QAbstractItemModelTester tester(vm->shownConversations());
        QSignalSpy results(vm->search(), &ConversationSearch::resultsChanged);
        vm->search()->setText(row["query"].toString());
        QVERIFY(emitted(results));
        const QStringList expected = jsonTexts(row["titles"]);
        QCOMPARE(shownTitles(*vm), expected);
        // The match is marked in the row: in the title, or in the text shown under it.
        if (vm->search()->active() && !expected.isEmpty()) {
            const QModelIndex first = vm->shownConversations()->index(0, 0);
            const QString marks = first.data(ConversationFilterModel::TitleMarkupRole).toString() +
                                  first.data(ConversationFilterModel::ExcerptMarkupRole).toString();
            QVERIFY2(marks.contains(u"<b>"_s), qPrintable(marks));
        }
    }

    // Text found in thousands of messages is looked for conversation by
    // conversation instead of through the index: the same conversations and
    // first matches. A search given up for a newer one answers nothing and is
    // no failure; the next one runs as usual.
    void aCommonWordIsFoundLikeARareOne() {
        Conversation everywhere = Conversation::make(u"Everywhere"_s);
        for (int i = 0; i < 4100; ++i) {
            everywhere.messages.append(ChatMessage::make(Role::user, u"Kernel build %1"_s.arg(i)));
        }
        Conversation later = Conversation::make(u"Later"_s);
        later.messages = {ChatMessage::make(Role::user, u"a garden"_s),
                          ChatMessage::make(Role::assistant, u"the ÄPFEL KERNEL here"_s)};
        Conversation never = Conversation::make(u"Never"_s);
        never.messages = {ChatMessage::make(Role::user, u"nothing of the kind"_s)};
        {
            ConversationDatabase database(u"filling"_s);
            QCOMPARE(database.open(databasePath()), ConversationDatabase::State::writable);
            for (const Conversation& conversation : {everywhere, later, never}) {
                QVERIFY(database.storeConversation(conversation, false));
            }
            QVERIFY(database.search(u"kernel"_s, [] { return true; }).isEmpty());
            QCOMPARE(database.problem(), QString());
            QCOMPARE(database.search(u"kernel"_s).size(), 2);
        }
        UserDefaults(m_dir->filePath(u"settings.conf"_s))
            .setValue(Preferences::keepConversationsKey, true);
        auto vm = launch();
        for (const QString& query : {u"kernel"_s, u"äp"_s}) {
            QSignalSpy results(vm->search(), &ConversationSearch::resultsChanged);
            vm->search()->setText(query);
            QVERIFY(emitted(results));
            const bool everyMessage = query == u"kernel"_s;
            const QStringList expected =
                everyMessage ? QStringList{u"Everywhere"_s, u"Later"_s} : QStringList{u"Later"_s};
            QCOMPARE(shownTitles(*vm), expected);
            QCOMPARE(vm->search()->excerpt(later.id), u"the ÄPFEL KERNEL here"_s);
            if (everyMessage) {
                QCOMPARE(vm->search()->excerpt(everywhere.id), u"Kernel build 0"_s);
            }
        }
    }

    // A failed write (a full disk) is the file's last change: the header queued
    // behind its failed messages is not written, so no half of it is kept.
    void aFailedWriteIsTheFilesLastChange() {
        {
            auto vm = launch();
            keep(*vm);
            FullDisk disk(DiskFault::sizeLimit, m_dir->path());
            disk.engage(QFileInfo(databasePath() + u"-wal"_s).size() + 64 * 1024);
            add(*vm, {{u"title"_s, u"Too long to keep"_s},
                      {u"messages"_s, QJsonArray{QJsonArray{u"user"_s, QString(1 << 20, u'x')}}}});
            QTRY_COMPARE_WITH_TIMEOUT(vm->keeper()->state(), ConversationKeeper::State::failed,
                                      settleTimeout);
            vm->keeper()->waitForWrites();
        }
        QVERIFY(!titles(*launch()).contains(u"Too long to keep"_s));
    }

    // Undo puts a deleted conversation back in its place with its messages, also
    // while they are still on disk (in memory, from the keyboard and the bar:
    // tst_window); once the time is up, the deletion is final, also on disk.
    void undoRestoresADeletion() {
        auto vm = launch();
        keep(*vm);
        const QUuid older = add(*vm, corpus()[0].toObject());
        add(*vm, corpus()[1].toObject());
        vm->keeper()->waitForWrites();
        vm = launch();
        const int index = vm->store()->indexOf(older);
        DeletionUndo* undo = vm->deletionUndo();
        vm->deleteConversation(older);
        QVERIFY(undo->available());
        QCOMPARE(undo->title(), u"Trip to Lisbon"_s);
        undo->undo();
        QVERIFY(!undo->available());
        QCOMPARE(vm->store()->indexOf(older), index);
        QCOMPARE(vm->currentConversationId(), older);
        QTRY_COMPARE_WITH_TIMEOUT(vm->store()->find(older)->messages.size(), 2, settleTimeout);

        undo->setTimeout(std::chrono::milliseconds(1));
        QSignalSpy finalized(undo, &DeletionUndo::finalized);
        vm->deleteConversation(older);
        QVERIFY(emitted(finalized));
        QVERIFY(!undo->available());
        vm.reset();
        vm = launch();
        QCOMPARE(titles(*vm).size(), 2); // the launch conversation and the other one
        // Once keeping is turned off, one whose messages wait on disk stays deleted.
        const QUuid listed = vm->store()->conversations().last().id;
        QVERIFY(vm->store()->find(listed)->messagesPending);
        vm->deleteConversation(listed);
        QSignalSpy settled(vm->keeper(), &ConversationKeeper::settled);
        vm->keeper()->turnOff(false);
        vm->deletionUndo()->undo();
        QVERIFY(emitted(settled));
        QCOMPARE(vm->store()->find(listed), nullptr);
    }

    // A second instance started while the first still offers to take a deletion
    // back leaves it to be taken back; one left by a crash long ago goes.
    void aSecondInstanceKeepsAHeldDeletion() {
        auto first = launch();
        keep(*first);
        const QUuid id = add(*first, corpus()[0].toObject());
        first->deleteConversation(id);
        first->keeper()->waitForWrites();
        auto second = launch();
        QCOMPARE(second->store()->find(id), nullptr);
        first->deletionUndo()->undo();
        first->keeper()->waitForWrites();
        first.reset();
        second.reset();
        QVERIFY(launch()->store()->find(id));
        // Marked as a crash long ago (or an older version) left it: gone from the file.
        QCOMPARE(runOnFile({u"UPDATE conversations SET deleted = 1"_s}), -1);
        launch().reset();
        QCOMPARE(runOnFile({u"SELECT count(*) FROM conversations"_s}), 0);
    }

    void exportMatchesTheReference() {
        auto vm = launch();
        Conversation conversation = Conversation::make(u"Budget sheet"_s);
        conversation.messages = {
            ChatMessage::make(Role::user, u"Make an XLSX of my budget"_s),
            ChatMessage::make(Role::assistant, u"Using tools..."_s),
            ChatMessage::make(Role::tool, QString()),
            ChatMessage::make(Role::tool, u"Wrote ~/budget.xlsx"_s),
            ChatMessage::make(Role::tool, u"No file ```x```"_s),
            ChatMessage::make(Role::assistant, u"Done: see `budget.xlsx`.\n\n- Total row"_s),
        };
        conversation.messages[2].toolCall =
            ToolCallInfo{u"c1"_s, u"create_xlsx"_s, {}, u"{\"path\":\"~/budget.xlsx\"}"_s};
        conversation.messages[3].toolResult =
            ToolResultInfo{u"c1"_s, u"create_xlsx"_s, true, u"Wrote ~/budget.xlsx"_s};
        conversation.messages[4].toolResult =
            ToolResultInfo{u"c2"_s, u"read_file"_s, false, u"No file ```x```"_s};
        const QUuid id = conversation.id;
        vm->store()->insertAndSelect(std::move(conversation));
        const QString file = m_dir->filePath(u"out/budget.md"_s);
        QDir().mkpath(QFileInfo(file).path());
        QSignalSpy finished(vm->conversationExport(), &ConversationExport::finished);
        vm->conversationExport()->exportTo(id.toString(), QUrl::fromLocalFile(file));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, settleTimeout);
        QCOMPARE(finished.first().at(1).toString(), QString());
        QCOMPARE(QString::fromUtf8(readBytes(file)),
                 QString::fromUtf8(readBytes(
                     QStringLiteral(EMBERGLASS_TEST_DATA_DIR "/core/export_reference.md"))));

        vm->conversationExport()->exportTo(id.toString(),
                                           QUrl::fromLocalFile(m_dir->filePath(u"none/x.md"_s)));
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, settleTimeout);
        QVERIFY(!finished.last().at(1).toString().isEmpty()); // a folder that is not there
        QVERIFY(!QFileInfo::exists(databasePath()));          // off by default: nothing is kept
    }
};

QTEST_GUILESS_MAIN(KeptConversationsTest)
#include "tst_kept_conversations.moc"
