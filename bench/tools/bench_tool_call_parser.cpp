// parseToolCalls on a 100 KB reply: prose with tool-call blocks spread through it.

#include "tools/tool_call_parser.h"

#include <benchmark/benchmark.h>

namespace {

QString hundredKilobyteReply() {
    QString reply;
    const QString prose =
        QStringLiteral("Here is some explanation of what I am about to do next. ");
    const QString block = QStringLiteral("<tool_call>{\"name\": \"read_file\", \"arguments\": "
                                         "{\"path\": \"/tmp/notes.txt\"}}</tool_call>\n");
    while (reply.toUtf8().size() < 100 * 1024) {
        for (int i = 0; i < 20; ++i) {
            reply += prose;
        }
        reply += block;
    }
    return reply;
}

void BM_parseToolCalls100KB(benchmark::State& state) {
    const QString reply = hundredKilobyteReply();
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseToolCalls(reply));
    }
    state.SetBytesProcessed(state.iterations() * reply.toUtf8().size());
}
BENCHMARK(BM_parseToolCalls100KB)->Unit(benchmark::kMicrosecond);

void BM_parseToolCallsPlainProse100KB(benchmark::State& state) {
    const QString reply = QString(QStringLiteral("no calls here, just words. ")).repeated(3800);
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseToolCalls(reply));
    }
}
BENCHMARK(BM_parseToolCallsPlainProse100KB)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
