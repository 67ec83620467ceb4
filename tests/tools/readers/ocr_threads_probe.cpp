// Recognises a line of text and prints how many threads the process had
// before and after, so a test can see whether OpenMP started a team.

#include "office_files.h"
#include "tools/readers/ocr_engine.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QImage image =
        textImage({QStringLiteral("Threads at work")}, QStringLiteral("DejaVu Sans"), 32);
    const auto threads = [] {
        return QDir(QStringLiteral("/proc/self/task"))
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
            .size();
    };
    const qsizetype before = threads();
    const OcrResult result = recogniseText(image);
    std::printf("%lld %lld %s\n", static_cast<long long>(before), static_cast<long long>(threads()),
                qPrintable(result.lines.join(QLatin1Char('|'))));
    return 0;
}
