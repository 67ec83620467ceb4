// Kept conversations at scale: 2,000 conversations and 200,000 messages in the
// file (one of them 5,000 messages long). What the window's thread pays at
// launch, how long until the list and a long conversation's rows are there,
// a search keystroke, and storing one message.

#include "core/chat_view_model.h"
#include "core/conversation_database.h"
#include "core/conversation_keeper.h"
#include "core/conversation_search.h"
#include "core/conversation_store.h"
#include "core/preferences.h"
#include "core/user_defaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "bench_main.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int conversationCount = 2000;
constexpr int longConversation = 5000;
constexpr int messagesPerConversation = (200000 - longConversation) / (conversationCount - 1);

const QStringList words = {
    QStringLiteral("budget"),  QStringLiteral("garden"),   QStringLiteral("invoice"),
    QStringLiteral("lisbon"),  QStringLiteral("tracking"), QStringLiteral("quarterly"),
    QStringLiteral("sandbox"), QStringLiteral("python"),   QStringLiteral("meeting"),
    QStringLiteral("travel"),  QStringLiteral("kernel"),   QStringLiteral("recipe")};

QString sentence(int seed) {
    QString text;
    for (int i = 0; i < 24; ++i) {
        text +=
            words[(seed * 7 + i * 13) % words.size()] + QStringLiteral(" words%1 ").arg(seed % 997);
    }
    return text;
}

// The folder with the settings (keeping on) and the file, made once per run.
struct KeptFolder {
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("kept/conversations.sqlite"));
    QString settings = dir.filePath(QStringLiteral("settings.conf"));
    QString persona = dir.filePath(QStringLiteral("persona"));
    QUuid longId;

    KeptFolder() {
        UserDefaults(settings).setValue(Preferences::keepConversationsKey, true);
        ConversationDatabase database(QStringLiteral("bench-fill"));
        database.open(file);
        for (int c = 0; c < conversationCount; ++c) {
            Conversation conversation =
                Conversation::make(QStringLiteral("Conversation %1").arg(c));
            const int size = c == 0 ? longConversation : messagesPerConversation;
            for (int m = 0; m < size; ++m) {
                conversation.messages.append(ChatMessage::make(
                    m % 2 == 0 ? Role::user : Role::assistant, sentence(c * 131 + m)));
            }
            if (c == 0) {
                longId = conversation.id;
            }
            database.storeConversation(conversation, false);
        }
    }
};

KeptFolder& folder() {
    static KeptFolder made;
    return made;
}

// Runs `action` and the event loop until `sender` has sent `signal`, also
// when it is sent before `action` returns.
template <typename Action> void until(QObject* sender, const char* signal, Action action) {
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, SLOT(quit()), Qt::QueuedConnection);
    action();
    loop.exec();
}

void waitFor(QObject* sender, const char* signal) {
    until(sender, signal, [] {});
}

std::unique_ptr<ChatViewModel> launch(bool kept) {
    KeptFolder& f = folder();
    QTemporaryDir empty;
    ChatViewModelOptions options{.personaDirectory = f.persona,
                                 .settingsFile =
                                     kept ? f.settings : empty.filePath(QStringLiteral("s.conf")),
                                 .ollamaBase = QStringLiteral("http://127.0.0.1:9"),
                                 .serverPort = 0,
                                 .keptConversationsFile = f.file};
    return std::make_unique<ChatViewModel>(options);
}

// The window's thread at launch: the controller is made (and the first frame
// can be drawn) before the file is read, so this is what the frame waits for.
void BM_LaunchOnWindowThread(benchmark::State& state) {
    const bool kept = state.range(0) != 0;
    folder();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto vm = launch(kept);
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.PauseTiming();
        if (kept) {
            waitFor(vm->keeper(), SIGNAL(settled()));
        }
        vm.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LaunchOnWindowThread)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

// From the launch until the 2,000 kept titles are in the list.
void BM_LaunchUntilListed(benchmark::State& state) {
    folder();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto vm = launch(true);
        waitFor(vm->keeper(), SIGNAL(settled()));
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.counters["listed"] = static_cast<double>(vm->store()->conversations().size());
    }
}
BENCHMARK(BM_LaunchUntilListed)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Selecting the 5,000-message conversation until its rows can be shown.
void BM_OpenLongConversation(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto vm = launch(true);
        waitFor(vm->keeper(), SIGNAL(settled()));
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        until(vm->store(), SIGNAL(messagesFilled(QUuid)),
              [&] { vm->setCurrentConversationId(folder().longId); });
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        state.counters["rows"] = static_cast<double>(vm->currentConversation()->messages.size());
    }
}
BENCHMARK(BM_OpenLongConversation)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Typing words into the search, one keystroke at a time, each until the list is filtered.
void BM_SearchKeystroke(benchmark::State& state) {
    auto vm = launch(true);
    waitFor(vm->keeper(), SIGNAL(settled()));
    QStringList keystrokes;
    for (const QString& word : {QStringLiteral("tracking"), QStringLiteral("quarterly"),
                                QStringLiteral("words42"), QStringLiteral("nothing here")}) {
        for (qsizetype length = 1; length <= word.size(); ++length) {
            keystrokes << word.left(length);
        }
    }
    std::vector<double> times;
    qsizetype next = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        until(vm->search(), SIGNAL(resultsChanged()),
              [&] { vm->search()->setText(keystrokes[next++ % keystrokes.size()]); });
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        times.push_back(seconds * 1e3);
        until(vm->search(), SIGNAL(resultsChanged()), [&] { vm->search()->setText(QString()); });
    }
    std::sort(times.begin(), times.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["max_ms"] = times.back();
}
BENCHMARK(BM_SearchKeystroke)->UseManualTime()->Iterations(34)->Unit(benchmark::kMillisecond);

// Storing one message as the tool loop appends it: the window's thread only.
void BM_StoreMessageOnWindowThread(benchmark::State& state) {
    auto vm = launch(true);
    waitFor(vm->keeper(), SIGNAL(settled()));
    vm->newConversation(false);
    const QUuid id = *vm->currentConversationId();
    vm->store()->appendMessage(id, ChatMessage::make(Role::user, sentence(1)));
    int i = 0;
    for (auto _ : state) {
        vm->store()->appendMessage(id, ChatMessage::make(Role::assistant, sentence(++i)));
    }
    vm->keeper()->waitForWrites(); // the timing has ended with the loop
}
BENCHMARK(BM_StoreMessageOnWindowThread)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// The same message's transaction on the file's thread (WAL, one commit each).
void BM_StoreMessageOnFileThread(benchmark::State& state) {
    ConversationDatabase database(QStringLiteral("bench-store"));
    database.open(folder().file);
    const Conversation conversation = Conversation::make(QStringLiteral("stored"));
    database.storeHeader(conversation, false);
    int i = 0;
    for (auto _ : state) {
        database.storeMessage(conversation.id, ChatMessage::make(Role::assistant, sentence(++i)));
    }
}
BENCHMARK(BM_StoreMessageOnFileThread)->Iterations(2000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksInApplication<QCoreApplication>(argc, argv);
}
