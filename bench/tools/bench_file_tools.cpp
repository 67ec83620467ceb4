// read_file, list_directory and search_files on prepared trees, each next to the
// command-line tool that does the same job.

#include "bench_reference_tools.h"
#include "tools/files/file_tools.h"
#include "tools/files/search_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// 100,000 empty files in one folder, made once per run.
const QTemporaryDir& wideDirectory() {
    static const QTemporaryDir* directory = [] {
        auto* made = new QTemporaryDir;
        for (int i = 0; i < 100000; ++i) {
            writeFileBytes(made->filePath(QStringLiteral("entry-%1.txt").arg(i)), {});
        }
        return made;
    }();
    return *directory;
}

// 10,000 small text files in 100 folders, one in ten holding the pattern.
const QTemporaryDir& sourceTree() {
    static const QTemporaryDir* tree = [] {
        auto* made = new QTemporaryDir;
        const QByteArray filler = QByteArray("lorem ipsum dolor sit amet\n").repeated(40);
        for (int i = 0; i < 10000; ++i) {
            const QString folder = made->filePath(QStringLiteral("d%1").arg(i % 100));
            QDir().mkpath(folder);
            writeFileBytes(folder + QStringLiteral("/f%1.txt").arg(i),
                           i % 10 == 0 ? filler + "needle\n" : filler);
        }
        return made;
    }();
    return *tree;
}

QString hundredKilobyteFile() {
    static const QTemporaryDir directory;
    static const QString path = [] {
        const QString file = directory.filePath(QStringLiteral("text.txt"));
        writeFileBytes(
            file,
            QByteArray("Some text, some more text, é and 你好.\n").repeated(2500).left(100000));
        return file;
    }();
    return path;
}

void BM_listDirectory100000(benchmark::State& state) {
    const QString path = wideDirectory().path();
    for (auto _ : state) {
        benchmark::DoNotOptimize(listDirectory(path));
    }
}
BENCHMARK(BM_listDirectory100000)->Unit(benchmark::kMillisecond);

void BM_ls1_100000(benchmark::State& state) {
    const QString path = wideDirectory().path();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            runReferenceTool(QStringLiteral("/bin/ls"), {QStringLiteral("-1"), path}));
    }
}
BENCHMARK(BM_ls1_100000)->Unit(benchmark::kMillisecond);

void BM_searchFiles10000(benchmark::State& state) {
    const QString path = sourceTree().path();
    for (auto _ : state) {
        benchmark::DoNotOptimize(searchFiles(path, QStringLiteral("needle")));
    }
}
BENCHMARK(BM_searchFiles10000)->Unit(benchmark::kMillisecond);

void BM_grepRl10000(benchmark::State& state) {
    const QString path = sourceTree().path();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            runReferenceTool(QStringLiteral("/usr/bin/grep"),
                             {QStringLiteral("-rl"), QStringLiteral("needle"), path}));
    }
}
BENCHMARK(BM_grepRl10000)->Unit(benchmark::kMillisecond);

void BM_readFile100KB(benchmark::State& state) {
    const QString path = hundredKilobyteFile();
    for (auto _ : state) {
        benchmark::DoNotOptimize(readFile(path));
    }
}
BENCHMARK(BM_readFile100KB)->Unit(benchmark::kMicrosecond);

void BM_cat100KB(benchmark::State& state) {
    const QString path = hundredKilobyteFile();
    for (auto _ : state) {
        benchmark::DoNotOptimize(runReferenceTool(QStringLiteral("/bin/cat"), {path}));
    }
}
BENCHMARK(BM_cat100KB)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
