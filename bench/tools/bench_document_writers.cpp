// The three document writers on sizeable inputs, and openpyxl writing the same
// 100,000 cells in the same run as the reference for create_xlsx.

#include "tools/writers/pdf_slides_writer.h"
#include "tools/writers/pptx_writer.h"
#include "tools/writers/xlsx_writer.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "bench_main.h"

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir& outputDir() {
    static QTemporaryDir dir;
    return dir;
}

// 10,000 rows of 10 cells: a name, numbers in several forms, free text.
QString hundredThousandCells() {
    QJsonArray rows;
    for (int r = 0; r < 10000; ++r) {
        QJsonArray row;
        row.append(QStringLiteral("Customer %1").arg(r));
        row.append(QString::number(r));
        row.append(QString::number(r * 1.25, 'f', 2));
        row.append(QStringLiteral("%1e3").arg(r % 97));
        row.append(QStringLiteral("Note & remark <%1>").arg(r % 13));
        row.append(QStringLiteral("2024-05-%1").arg(1 + r % 28));
        row.append(QString::number(-r));
        row.append(QStringLiteral("北京"));
        row.append(QStringLiteral("12%"));
        row.append(QStringLiteral("007"));
        rows.append(row);
    }
    return QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact));
}

QString hundredSlides() {
    QJsonArray slides;
    for (int i = 0; i < 100; ++i) {
        slides.append(QJsonObject{
            {QStringLiteral("title"), QStringLiteral("Quarterly review, part %1").arg(i + 1)},
            {QStringLiteral("subtitle"), QStringLiteral("Figures & outlook")},
            {QStringLiteral("bullets"),
             QJsonArray{QStringLiteral("Revenue up 12% year on year"),
                        QStringLiteral("Costs down in every region"),
                        QStringLiteral("Hiring plan for the next quarter"),
                        QStringLiteral("Risks: supply chain, currency"),
                        QStringLiteral("季度报告与展望")}}});
    }
    return QString::fromUtf8(QJsonDocument(slides).toJson(QJsonDocument::Compact));
}

// Runs one writer on the same input and output path every iteration.
void runWriter(benchmark::State& state, ToolOutcome (*writer)(const QString&, const QString&),
               const QString& input, const QString& fileName) {
    const QString path = outputDir().filePath(fileName);
    for (auto _ : state) {
        if (!writer(path, input).success) {
            state.SkipWithError("the writer failed");
            return;
        }
    }
}

void BM_createXlsx100kCells(benchmark::State& state) {
    runWriter(state, createXlsx, hundredThousandCells(), QStringLiteral("bench.xlsx"));
}
BENCHMARK(BM_createXlsx100kCells)->Unit(benchmark::kMillisecond);

// openpyxl's own time to build and save the workbook; the interpreter start,
// the import and reading the data are not counted. It prints its CPU time and
// its wall time: the CPU time is the benchmark's figure (comparable with the
// CPU column of the others on a busy machine), the wall time a counter.
const char openpyxlWriter[] = R"(
import json, re, sys, time, openpyxl
rows = json.load(open(sys.argv[1]))
number = re.compile(r'^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$')
rows = [[float(c) if number.match(c) else c for c in row] for row in rows]
start, cpu = time.perf_counter(), time.process_time()
book = openpyxl.Workbook()
sheet = book.active
for row in rows:
    sheet.append(row)
book.save(sys.argv[2])
print(time.process_time() - cpu, time.perf_counter() - start)
)";

void BM_openpyxlWrite100kCellsCpu(benchmark::State& state) {
    const QString dataPath = outputDir().filePath(QStringLiteral("cells.json"));
    {
        QFile file(dataPath);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the data file");
            return;
        }
        file.write(hundredThousandCells().toUtf8());
    }
    const QString output = outputDir().filePath(QStringLiteral("openpyxl.xlsx"));
    double wallSeconds = 0;
    for (auto _ : state) {
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"), QString::fromLatin1(openpyxlWriter), dataPath, output});
        const QList<QByteArray> times = python.waitForFinished(300000)
                                            ? python.readAllStandardOutput().trimmed().split(' ')
                                            : QList<QByteArray>();
        if (times.size() != 2) {
            state.SkipWithError("openpyxl did not run");
            return;
        }
        state.SetIterationTime(times[0].toDouble());
        wallSeconds += times[1].toDouble();
    }
    state.counters["wall_ms"] = 1000 * wallSeconds / double(state.iterations());
}
BENCHMARK(BM_openpyxlWrite100kCellsCpu)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

void BM_createPptx100Slides(benchmark::State& state) {
    runWriter(state, createPptx, hundredSlides(), QStringLiteral("bench.pptx"));
}
BENCHMARK(BM_createPptx100Slides)->Unit(benchmark::kMillisecond);

void BM_createPdfSlides100Slides(benchmark::State& state) {
    runWriter(state, createPdfSlides, hundredSlides(), QStringLiteral("bench.pdf"));
}
BENCHMARK(BM_createPdfSlides100Slides)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksInApplication<QGuiApplication>(argc, argv);
}
