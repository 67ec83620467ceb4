#pragma once

// The main() of a benchmark that needs a Qt application object: Google
// Benchmark runs inside the application's lifetime. Drawing benchmarks take a
// QGuiApplication on the offscreen platform (no window is shown).

#include <QCoreApplication>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <type_traits>

template <typename Application> int runBenchmarksInApplication(int argc, char** argv) {
    if constexpr (std::is_base_of_v<QGuiApplication, Application>) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
