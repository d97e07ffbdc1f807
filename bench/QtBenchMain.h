// The main() of a benchmark that drives the program's windows: a QApplication on the offscreen
// platform unless the caller chose one (the windows need no display to take events).
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

inline int RunQtBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
