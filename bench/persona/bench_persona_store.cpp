// The persona store with ten years of daily logs (3,650 files of 2 KB): the
// rescan after an append, the system prompt, and a rescan with and without the
// content cache.

#include "persona/memory_file_scanner.h"
#include "persona/persona_manager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <thread>

namespace {

constexpr int dayCount = 3650;
const QDate lastDay(2026, 3, 14);

QByteArray twoKilobyteLog(const QString& date) {
    QByteArray log = "# " + date.toUtf8() + " Memory Log\n\n";
    while (log.size() < 2048 - 40) {
        log += "- [9:41 AM] the user mentioned a fact worth keeping\n";
    }
    return log.leftJustified(2047, '.') + '\n';
}

// One directory for the whole run, written once.
struct TenYearsOfLogs {
    QTemporaryDir root;
    QString store = root.path() + QStringLiteral("/.nimbrook");
    QString memoryDirectory = store + QStringLiteral("/memory");

    TenYearsOfLogs() {
        QDir().mkpath(memoryDirectory);
        for (int i = 0; i < dayCount; ++i) {
            const QDate day = lastDay.addDays(-i);
            const QString date = day.toString(QStringLiteral("yyyy-MM-dd"));
            QFile file(memoryDirectory + QLatin1Char('/') + date + QStringLiteral(".md"));
            file.open(QIODevice::WriteOnly);
            file.write(twoKilobyteLog(date));
            file.setFileTime(QDateTime(day, QTime(21, 0)), QFileDevice::FileModificationTime);
        }
        // Files are trusted from the cache only once they have been left alone a while.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    }
};

TenYearsOfLogs& logs() {
    static TenYearsOfLogs instance;
    return instance;
}

PersonaManager& persona() {
    static PersonaManager* instance = [] {
        auto* manager = new PersonaManager(logs().store);
        manager->setClock([] { return QDateTime(lastDay, QTime(22, 30)); });
        return manager;
    }();
    return *instance;
}

void BM_appendToDailyLogWithRescan(benchmark::State& state) {
    PersonaManager& store = persona();
    store.loadMemoryFiles(); // warm
    for (auto _ : state) {
        store.appendToDailyLog(QStringLiteral("用户喜欢猫"));
        benchmark::DoNotOptimize(store.memoryFiles().size());
    }
    state.counters["files"] = double(store.memoryFiles().size());
}
BENCHMARK(BM_appendToDailyLogWithRescan)->Unit(benchmark::kMillisecond);

void BM_systemPrompt(benchmark::State& state) {
    PersonaManager& store = persona();
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.systemPrompt());
    }
    state.counters["bytes"] = double(store.systemPrompt().toUtf8().size());
}
BENCHMARK(BM_systemPrompt)->Unit(benchmark::kMillisecond);

void BM_rescanWarmCache(benchmark::State& state) {
    MemoryFileScanner scanner;
    scanner.scan(logs().memoryDirectory);
    for (auto _ : state) {
        benchmark::DoNotOptimize(scanner.scan(logs().memoryDirectory));
    }
}
BENCHMARK(BM_rescanWarmCache)->Unit(benchmark::kMillisecond);

// Every file read again (the operating system's page cache is still warm).
void BM_rescanWithoutCache(benchmark::State& state) {
    for (auto _ : state) {
        MemoryFileScanner scanner;
        benchmark::DoNotOptimize(scanner.scan(logs().memoryDirectory));
    }
}
BENCHMARK(BM_rescanWithoutCache)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
