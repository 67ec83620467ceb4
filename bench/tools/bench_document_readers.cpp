// The four readers on sizeable inputs, each beside the reference tool run in
// the same benchmark: pdftotext for read_pdf, the tesseract command for
// read_image, openpyxl for read_xlsx. read_docx has no reference.

#include "tools/office_files.h"
#include "tools/readers/docx_reader.h"
#include "tools/readers/image_reader.h"
#include "tools/readers/ocr_engine.h"
#include "tools/readers/pdf_reader.h"
#include "tools/readers/xlsx_reader.h"

#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include "bench_main.h"
#include "spreadsheet_workload.h"

#include <benchmark/benchmark.h>

#include <thread>

#include <sys/resource.h>

namespace {

QTemporaryDir& inputDir() {
    static QTemporaryDir dir;
    return dir;
}

QString inputPath(const char* name) {
    return inputDir().filePath(QLatin1String(name));
}

// CPU time of this process and its children per iteration: with other work
// on the machine, wall time says more about the load than about the code.
class CpuTime {
public:
    explicit CpuTime(benchmark::State& state) : m_state(state), m_start(used()) {}
    ~CpuTime() {
        m_state.counters["cpu_ms"] =
            benchmark::Counter(used() - m_start, benchmark::Counter::kAvgIterations);
    }

private:
    static double milliseconds(const timeval& time) {
        return time.tv_sec * 1e3 + time.tv_usec / 1e3;
    }
    static double used() {
        rusage self{};
        rusage children{};
        getrusage(RUSAGE_SELF, &self);
        getrusage(RUSAGE_CHILDREN, &children);
        return milliseconds(self.ru_utime) + milliseconds(self.ru_stime) +
               milliseconds(children.ru_utime) + milliseconds(children.ru_stime);
    }

    benchmark::State& m_state;
    double m_start;
};

// Whole-process reference runs; the output is read so both sides do the same work.
void runReference(
    benchmark::State& state, const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    const CpuTime cpu(state);
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            state.SkipWithError("reference tool failed");
            return;
        }
        benchmark::DoNotOptimize(process.readAllStandardOutput());
    }
}

void requireSuccess(benchmark::State& state, const ToolOutcome& outcome) {
    if (!outcome.success) {
        state.SkipWithError(qPrintable(outcome.output));
    }
    benchmark::DoNotOptimize(outcome.output);
}

// --- read_pdf: 100 pages of running text --------------------------------------

const QString& hundredPagePdf() {
    static const QString path = [] {
        QStringList pages;
        const QString paragraph =
            QStringLiteral("The committee reviewed the budget and approved the plan. ");
        for (int page = 1; page <= 100; ++page) {
            pages.append(QStringLiteral("Chapter %1\n").arg(page) + paragraph.repeated(30));
        }
        writeTextPdf(inputPath("hundred.pdf"), pages);
        return inputPath("hundred.pdf");
    }();
    return path;
}

void BM_ReadPdf100Pages(benchmark::State& state) {
    const QString path = hundredPagePdf();
    const CpuTime cpu(state);
    for (auto _ : state) {
        requireSuccess(state, readPdf(path));
    }
}
void BM_Pdftotext100Pages(benchmark::State& state) {
    runReference(state, QStringLiteral("pdftotext"), {hundredPagePdf(), QStringLiteral("-")});
}

// --- read_image: a 1920x1080 screenshot-like picture ---------------------------

const QString& screenshot() {
    static const QString path = [] {
        QImage image(1920, 1080, QImage::Format_RGB32);
        image.fill(QColor(246, 246, 244));
        QPainter painter(&image);
        painter.fillRect(0, 0, 1920, 40, QColor(225, 225, 222));
        painter.fillRect(0, 40, 300, 1040, QColor(236, 236, 233));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(15);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(20, 26, QStringLiteral("File   Edit   View   Window   Help"));
        for (int i = 0; i < 24; ++i) {
            painter.drawText(20, 80 + i * 40, QStringLiteral("Conversation %1").arg(i + 1));
        }
        for (int i = 0; i < 30; ++i) {
            painter.drawText(
                340, 80 + i * 32,
                QStringLiteral("Message %1: the quarterly figures are ready for review.")
                    .arg(i + 1));
        }
        painter.end();
        image.save(inputPath("screenshot.png"));
        return inputPath("screenshot.png");
    }();
    return path;
}

void BM_ReadImageFirstCall(benchmark::State& state) {
    const QString path = screenshot();
    const CpuTime cpu(state);
    for (auto _ : state) {
        // A new thread has no engine yet: this pays for loading the languages.
        ToolOutcome outcome;
        std::thread([&] { outcome = readImage(path); }).join();
        requireSuccess(state, outcome);
    }
}
void BM_ReadImageWarm(benchmark::State& state) {
    const QString path = screenshot();
    readImage(path);
    const CpuTime cpu(state);
    for (auto _ : state) {
        requireSuccess(state, readImage(path));
    }
}
void BM_TesseractCommand(benchmark::State& state) {
    // As a user runs it: this process has the limit, the command does not.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("OMP_THREAD_LIMIT"));
    runReference(
        state, QStringLiteral("tesseract"),
        {screenshot(), QStringLiteral("-"), QStringLiteral("-l"), QLatin1String(ocrLanguages)},
        environment);
}
void BM_TesseractCommandOneThread(benchmark::State& state) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OMP_THREAD_LIMIT"), QStringLiteral("1"));
    runReference(
        state, QStringLiteral("tesseract"),
        {screenshot(), QStringLiteral("-"), QStringLiteral("-l"), QLatin1String(ocrLanguages)},
        environment);
}

// --- read_xlsx: 10,000 rows of 10 cells, shared strings and numbers ------------

const QString& hundredThousandCellWorkbook() {
    static const QString path = [] {
        const SpreadsheetWorkload workload = hundredThousandCells();
        writeZip(inputPath("cells.xlsx"),
                 {{"xl/worksheets/sheet1.xml", worksheetXml(workload.sheetData)},
                  {"xl/sharedStrings.xml", sharedStringsXml(workload.sharedItems)}});
        return inputPath("cells.xlsx");
    }();
    return path;
}

void BM_ReadXlsx100kCells(benchmark::State& state) {
    const QString path = hundredThousandCellWorkbook();
    const CpuTime cpu(state);
    for (auto _ : state) {
        requireSuccess(state, readXlsx(path));
    }
}
void BM_Openpyxl100kCells(benchmark::State& state) {
    const QString script = QStringLiteral(
        "import sys, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
        "print(sum(1 for row in ws.iter_rows() for c in row if c.value is not None))\n");
    runReference(state, QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), script, hundredThousandCellWorkbook()});
}

// --- read_docx: a 1 MB document.xml -------------------------------------------

const QString& oneMegabyteDocument() {
    static const QString path = [] {
        QByteArray body;
        for (int p = 0; body.size() < 1024 * 1024; ++p) {
            body += "<w:p><w:pPr><w:pStyle w:val=\"Body\"/></w:pPr><w:r><w:t "
                    "xml:space=\"preserve\">Paragraph " +
                    QByteArray::number(p) +
                    " of the report: results &amp; outlook. "
                    "</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>Bold "
                    "part.</w:t></w:r></w:p>";
        }
        writeZip(inputPath("big.docx"), {{"word/document.xml", wordDocumentXml(body)}});
        return inputPath("big.docx");
    }();
    return path;
}

void BM_ReadDocx1MB(benchmark::State& state) {
    const QString path = oneMegabyteDocument();
    const CpuTime cpu(state);
    for (auto _ : state) {
        requireSuccess(state, readDocx(path));
    }
}

} // namespace

BENCHMARK(BM_ReadPdf100Pages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pdftotext100Pages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadImageFirstCall)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadImageWarm)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_TesseractCommand)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TesseractCommandOneThread)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadXlsx100kCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Openpyxl100kCells)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadDocx1MB)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return runBenchmarksInApplication<QGuiApplication>(argc, argv);
}
