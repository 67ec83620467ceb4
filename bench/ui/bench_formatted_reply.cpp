// Formatted replies in the desktop window, drawn by Qt Quick's software
// renderer: how long a long reply with code blocks and a table takes from its
// content changing to the frame that shows it, how soon each piece of a reply
// streamed at 200 pieces a second is on screen and the CPU that takes, and
// how many frames scrolling a long transcript of formatted replies drops.

#include "core/preferences.h"
#include "ui/qml_modules.h"
#include "window_fixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQuickStyle>

#include <algorithm>
#include <ctime>

namespace {

// About 20,000 characters: prose, 20 code blocks and a table of 50 rows.
QString longReply(int variant) {
    QString text = QStringLiteral("## Findings %1\n\n").arg(variant);
    for (int block = 0; block < 20; ++block) {
        text += QStringLiteral("Step %1 looks at **the logs** with `grep` and *keeps* what "
                               "matters; see [the notes](https://example.org/%1).\n\n")
                    .arg(block);
        text += QStringLiteral("- first point of step %1\n- second point\n\n").arg(block);
        text += QStringLiteral("```python\n");
        for (int line = 0; line < 15; ++line) {
            text += QStringLiteral("    value_%1 = compute(%2, limit=%3)  # variant %4\n")
                        .arg(line)
                        .arg(block)
                        .arg(line * 7)
                        .arg(variant);
        }
        text += QStringLiteral("```\n\n");
    }
    text += QStringLiteral("| Name | Size | Changed |\n|---|---|---|\n");
    for (int row = 0; row < 50; ++row) {
        text += QStringLiteral("| file_%1.txt | %2 KB | `2026-12-%3` |\n")
                    .arg(row)
                    .arg(row * 13 + variant)
                    .arg(row % 28 + 1);
    }
    return text;
}

// About 1,000 characters: a heading, prose with emphasis and a link, a
// numbered list, a code block and, in every fifth reply, a table.
QString mediumReply(int n) {
    QString text =
        QStringLiteral("### Answer %1\n\nThe **short** version: run `make check` and read "
                       "[the guide](https://example.org/guide/%1) before you *change* "
                       "anything.\n\n1. Open the project\n2. Build it once\n3. Run the "
                       "tests\n\n```cpp\n")
            .arg(n);
    for (int line = 0; line < 8; ++line) {
        text += QStringLiteral("int value%1 = compute(%2, %1); // reply %2\n").arg(line).arg(n);
    }
    text += QStringLiteral("```\n\n");
    if (n % 5 == 0) {
        text += QStringLiteral("| Step | Time |\n|---|---|\n");
        for (int row = 0; row < 6; ++row) {
            text += QStringLiteral("| step %1 | %2 s |\n").arg(row).arg(row * 3 + n);
        }
        text += u'\n';
    }
    return text + QStringLiteral("That should be all; ask again if a step fails.");
}

double percentile(std::vector<double> samples, double fraction) {
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0 : samples[size_t(fraction * double(samples.size() - 1))];
}

double processCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

std::unique_ptr<WindowFixture> g_window;

WindowFixture& window() {
    if (!g_window) {
        g_window = std::make_unique<WindowFixture>();
        g_window->viewModel().preferences()->setFormatReplies(true);
    }
    return *g_window;
}

// Adds an empty reply at the end of the conversation and returns its id.
QUuid freshReply() {
    WindowFixture& fixture = window();
    ChatMessage reply = ChatMessage::make(Role::assistant, QString());
    const QUuid id = reply.id;
    fixture.store().appendMessage(fixture.conversation(),
                                  ChatMessage::make(Role::user, QStringLiteral("Go on")));
    fixture.store().appendMessage(fixture.conversation(), std::move(reply));
    fixture.render();
    return id;
}

// The whole reply replaced (another variant each time) and the frame drawn.
void BM_FormatLongReply(benchmark::State& state) {
    const QUuid id = freshReply();
    const QString variants[] = {longReply(0), longReply(1)};
    std::vector<double> samples;
    int turn = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        window().store().setMessageContent(window().conversation(), id, variants[turn++ % 2]);
        window().render();
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        samples.push_back(seconds * 1e3);
        state.SetIterationTime(seconds);
    }
    state.counters["characters"] = double(variants[0].size());
    state.counters["median_ms"] = percentile(samples, 0.5);
}
BENCHMARK(BM_FormatLongReply)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// A reply streamed piece by piece into the formatted view: each piece appended
// and its frame drawn, timed one by one.
void BM_StreamPieces(benchmark::State& state) {
    const QString whole = longReply(2);
    constexpr int pieceLength = 20; // a few tokens, as providers send them
    std::vector<double> samples;
    int pieces = 0;
    for (auto _ : state) {
        freshReply();
        for (qsizetype at = 0; at < whole.size(); at += pieceLength) {
            QElapsedTimer clock;
            clock.start();
            window().store().appendToLastMessage(window().conversation(),
                                                 whole.mid(at, pieceLength));
            window().render();
            samples.push_back(double(clock.nsecsElapsed()) / 1e6);
            ++pieces;
        }
    }
    state.counters["pieces"] = pieces;
    state.counters["p50_ms"] = percentile(samples, 0.5);
    state.counters["p99_ms"] = percentile(samples, 0.99);
}
BENCHMARK(BM_StreamPieces)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same reply as the window takes it at 200 pieces a second: a piece every
// 5 ms of stream time, a frame every sixtieth of a second with the pieces
// that came since. The CPU share is this process's CPU time over the stream's
// duration.
void BM_StreamCpuAt200PerSecond(benchmark::State& state) {
    const QString whole = longReply(3);
    constexpr int pieceLength = 20;
    constexpr double pieceMs = 5;
    constexpr double frameMs = 1000.0 / 60;
    double cpu = 0;
    double streamMs = 0;
    for (auto _ : state) {
        freshReply();
        const double cpuBefore = processCpuSeconds();
        double nextFrame = frameMs;
        double now = 0;
        for (qsizetype at = 0; at < whole.size(); at += pieceLength) {
            window().store().appendToLastMessage(window().conversation(),
                                                 whole.mid(at, pieceLength));
            now += pieceMs;
            if (now >= nextFrame || at + pieceLength >= whole.size()) {
                window().render();
                nextFrame += frameMs;
            }
        }
        cpu += processCpuSeconds() - cpuBefore;
        streamMs += now;
    }
    state.counters["stream_s"] = streamMs / 1e3;
    state.counters["cpu_percent"] = 100.0 * cpu * 1e3 / streamMs;
}
BENCHMARK(BM_StreamCpuAt200PerSecond)->Unit(benchmark::kMillisecond)->Iterations(1);

// A transcript of 200 questions and formatted replies scrolled from the top a
// frame at a time, as a flick of 2,400 pixels a second draws it at 60 frames
// a second: a frame that takes longer than a sixtieth of a second is dropped.
void BM_ScrollFormattedTranscript(benchmark::State& state) {
    WindowFixture& fixture = window();
    fixture.viewModel().newConversation(false);
    const QUuid id = fixture.conversation();
    for (int n = 0; n < 200; ++n) {
        fixture.store().appendMessage(
            id,
            ChatMessage::make(Role::user, QStringLiteral("Question %1: how is it built?").arg(n)));
        fixture.store().appendMessage(id, ChatMessage::make(Role::assistant, mediumReply(n)));
    }
    fixture.render();
    QQuickItem* transcript = fixture.item("transcript");
    transcript->setProperty("followsEnd", false);
    QMetaObject::invokeMethod(transcript, "positionViewAtBeginning");
    fixture.render();
    constexpr double step = 40;
    constexpr double frameMs = 1000.0 / 60;
    std::vector<double> samples;
    const double top = transcript->property("contentY").toDouble();
    for (auto _ : state) {
        const double y = transcript->property("contentY").toDouble();
        QElapsedTimer clock;
        clock.start();
        transcript->setProperty("contentY", y + step);
        fixture.render();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        samples.push_back(ms);
        state.SetIterationTime(ms / 1e3);
    }
    const auto dropped =
        std::count_if(samples.begin(), samples.end(), [](double ms) { return ms > frameMs; });
    state.counters["pixels"] = transcript->property("contentY").toDouble() - top;
    state.counters["p50_ms"] = percentile(samples, 0.5);
    state.counters["p99_ms"] = percentile(samples, 0.99);
    state.counters["dropped_percent"] = 100.0 * double(dropped) / double(samples.size());
}
BENCHMARK(BM_ScrollFormattedTranscript)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1500);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Frames are drawn where the benchmark draws them, one per display
    // refresh: the window's own update requests would otherwise draw a second
    // frame between two, which no display shows.
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "3600000");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
