// Formatted replies in the desktop window: how long a long reply with code
// blocks and a table takes from its content changing to the frame that shows
// it, and how soon each piece of a reply streamed at 200 pieces a second is
// on screen, with the CPU that takes.

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
// and its frame drawn, timed one by one. At 200 pieces a second a piece
// arrives every 5 ms; the CPU share is the time taken per 5 ms.
void BM_StreamPieces(benchmark::State& state) {
    const QString whole = longReply(2);
    constexpr int pieceLength = 20; // a few tokens, as providers send them
    std::vector<double> samples;
    double cpu = 0;
    int pieces = 0;
    for (auto _ : state) {
        const QUuid id = freshReply();
        Q_UNUSED(id);
        const double cpuBefore = processCpuSeconds();
        for (qsizetype at = 0; at < whole.size(); at += pieceLength) {
            QElapsedTimer clock;
            clock.start();
            window().store().appendToLastMessage(window().conversation(),
                                                 whole.mid(at, pieceLength));
            window().render();
            samples.push_back(double(clock.nsecsElapsed()) / 1e6);
            ++pieces;
        }
        cpu += processCpuSeconds() - cpuBefore;
    }
    state.counters["pieces"] = pieces;
    state.counters["p50_ms"] = percentile(samples, 0.5);
    state.counters["p99_ms"] = percentile(samples, 0.99);
    state.counters["cpu_share_at_200_per_s"] = cpu / (pieces * 0.005);
}
BENCHMARK(BM_StreamPieces)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QQuickStyle::setStyle(QStringLiteral("Basic"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_window.reset();
    return 0;
}
