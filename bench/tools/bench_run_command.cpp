// run_command "true": the whole round trip (zsh start, drain, reap, answer),
// next to the bare spawn of /bin/true and to QProcess running the same shell.

#include "bench_reference_tools.h"
#include "tools/files/run_command.h"

#include <QProcess>

#include <benchmark/benchmark.h>

namespace {

void BM_runCommandTrue(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(runCommand(QStringLiteral("true")));
    }
}
BENCHMARK(BM_runCommandTrue)->Unit(benchmark::kMillisecond);

void BM_spawnBinTrue(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(runReferenceTool(QStringLiteral("/bin/true"), {}));
    }
}
BENCHMARK(BM_spawnBinTrue)->Unit(benchmark::kMillisecond);

void BM_qprocessZshTrue(benchmark::State& state) {
    for (auto _ : state) {
        QProcess process;
        process.start(QStringLiteral("/bin/zsh"), {QStringLiteral("-c"), QStringLiteral("true")});
        process.waitForFinished();
        benchmark::DoNotOptimize(process.readAllStandardOutput());
    }
}
BENCHMARK(BM_qprocessZshTrue)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
