// The desktop window: how long the application takes from process start to
// its first frame, how much memory it holds when idle, and what one more
// message costs in a transcript of 10,000.
//
// The first frame and the idle memory of the real program are measured by
// launching it (offscreen, in a sandbox home) and watching the scene graph's
// frame log. The long transcript is measured in this process: the main window's
// content view on a controller whose conversation holds 10,000 messages.

#include "core/chat_view_model.h"
#include "core/conversation_store.h"
#include "ui/backend/app_context.h"
#include "ui/qml_modules.h"
#include "window_fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickStyle>
#include <QQuickWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int transcriptLength = 10000;

// Resident set size in MiB: of this process, or of another one.
double residentMiB(const QString& statusFile = QStringLiteral("/proc/self/status")) {
    QFile file(statusFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    return 0;
}

// One launch of the application: milliseconds from starting the process to
// its first rendered frame, and its resident memory once the main window has
// been idle for a while (past the splash).
struct Launch {
    double firstFrameMs = -1;
    double idleMiB = 0;
};

Launch launchApplication(bool measureIdle) {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral(".config")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_FORCE_STDERR_LOGGING"), QStringLiteral("1"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("qt.scenegraph.time.renderloop=true"));
    {
        // Not the first launch: the splash leads straight to the main window.
        QDir().mkpath(home.filePath(QStringLiteral(".config/Emberglass")));
        QFile settings(home.filePath(QStringLiteral(".config/Emberglass/Emberglass.conf")));
        if (settings.open(QIODevice::WriteOnly)) {
            settings.write("[General]\nhasCompletedOnboarding=true\n");
        }
    }

    Launch launch;
    QProcess app;
    app.setProcessEnvironment(environment);
    app.setProcessChannelMode(QProcess::SeparateChannels);
    app.setReadChannel(QProcess::StandardError); // where the frame log goes
    QElapsedTimer clock;
    clock.start();
    app.start(QStringLiteral(EMBERGLASS_APP), {});
    QByteArray log;
    while (app.waitForReadyRead(5000)) {
        log += app.readAllStandardError();
        if (log.contains("Frame rendered")) {
            launch.firstFrameMs = clock.nsecsElapsed() / 1e6;
            break;
        }
    }
    if (measureIdle && launch.firstFrameMs >= 0) {
        // Splash (2 s) and its fade, then a moment of quiet in the main window.
        app.waitForFinished(4000);
        launch.idleMiB = residentMiB(QStringLiteral("/proc/%1/status").arg(app.processId()));
    }
    app.kill();
    app.waitForFinished();
    return launch;
}

void BM_ProcessStartToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        const Launch launch = launchApplication(false);
        if (launch.firstFrameMs < 0) {
            state.SkipWithError("the application showed no frame");
            return;
        }
        state.SetIterationTime(launch.firstFrameMs / 1000.0);
    }
}
BENCHMARK(BM_ProcessStartToFirstFrame)
    ->UseManualTime()
    ->Iterations(10)
    ->Unit(benchmark::kMillisecond);

void BM_ApplicationIdleMemory(benchmark::State& state) {
    double idle = 0;
    for (auto _ : state) {
        idle = launchApplication(true).idleMiB;
    }
    state.counters["idle_MiB"] = idle;
}
BENCHMARK(BM_ApplicationIdleMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The fixture with the messages it was given.
class TranscriptFixture : public WindowFixture {
public:
    void append(int count) {
        const QUuid id = conversation();
        for (int i = 0; i < count; ++i) {
            ++m_appended;
            store().appendMessage(
                id, ChatMessage::make(m_appended % 2 ? Role::user : Role::assistant,
                                      QStringLiteral("Message %1: a line or two of text, as a "
                                                     "reply of a usual length would have.")
                                          .arg(m_appended)));
        }
    }

private:
    int m_appended = 0;
};

// Made on first use; ended in main while the application object still exists.
std::unique_ptr<TranscriptFixture> g_window;

TranscriptFixture& window() {
    if (!g_window) {
        g_window = std::make_unique<TranscriptFixture>();
    }
    return *g_window;
}

void BM_LongTranscriptMemory(benchmark::State& state) {
    double idle = 0;
    double loaded = 0;
    for (auto _ : state) {
        window();
        idle = residentMiB();
        window().append(transcriptLength);
        window().render();
        loaded = residentMiB();
    }
    state.counters["one_conversation_MiB"] = idle;
    state.counters["with_10000_messages_MiB"] = loaded;
}
BENCHMARK(BM_LongTranscriptMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// One append to the 10,000-message transcript and the frame that shows it.
void BM_AppendToLongTranscript(benchmark::State& state) {
    for (auto _ : state) {
        window().append(1);
        window().render();
    }
}
BENCHMARK(BM_AppendToLongTranscript)->Unit(benchmark::kMillisecond);

// The same frame without an append, to tell the append from the drawing.
void BM_FrameOfLongTranscript(benchmark::State& state) {
    for (auto _ : state) {
        window().render();
    }
}
BENCHMARK(BM_FrameOfLongTranscript)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_window.reset();
    benchmark::Shutdown();
    return 0;
}
