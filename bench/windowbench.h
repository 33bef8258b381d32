#ifndef WINDOWBENCH_H
#define WINDOWBENCH_H

#include <applicationsetup.h>

#include <QApplication>
#include <QLoggingCategory>

// Runs a benchmark of the main window: the application set up as the
// program sets it up, on the offscreen platform unless another is asked
// for, with the diagnostics off so that they cost nothing.
template<class Bench> int runWindowBench(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ApplicationSetup::apply();
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.warning=false"));
    Bench bench;
    bench.run();
    return 0;
}

#endif // WINDOWBENCH_H
