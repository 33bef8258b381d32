// Start-up of the main window against a bare Qt Widgets program: starts
// startwindow and barewindow alternately, N times each, on the offscreen
// platform and under Xvfb when it is installed, and prints the medians of
// the time from process start to the window first painted and of the peak
// resident memory, with their ratios.

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QTemporaryDir>

#include <algorithm>
#include <ctime>

namespace {

constexpr int DefaultRuns = 20;
constexpr int RunLimitMs = 60000;
constexpr int XvfbStartMs = 10000;

struct Sample
{
    double ms = 0;
    double peakKb = 0;
};

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

Sample runOnce(const QString &program, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.setStandardErrorFile(QProcess::nullDevice());
    const qint64 started = monotonicNs();
    process.start(program, {});
    if (!process.waitForFinished(RunLimitMs) || process.exitCode() != 0)
        qFatal("%s did not end cleanly", qPrintable(program));
    const QList<QByteArray> fields = process.readAllStandardOutput().trimmed().split(' ');
    if (fields.size() != 2)
        qFatal("%s reported nothing", qPrintable(program));
    return {double(fields.at(0).toLongLong() - started) / 1e6, fields.at(1).toDouble()};
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 != 0 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

void measure(const QString &platform, const QProcessEnvironment &env, int runs)
{
    const QString dir = QCoreApplication::applicationDirPath();
    const QStringList programs = {dir + QStringLiteral("/startwindow"), dir + QStringLiteral("/barewindow")};
    QVector<double> ms[2];
    QVector<double> kb[2];
    for (int p = 0; p < 2; ++p)
        runOnce(programs.at(p), env); // warms the file cache
    for (int r = 0; r < runs; ++r) {
        for (int p = 0; p < 2; ++p) {
            const Sample sample = runOnce(programs.at(p), env);
            ms[p] << sample.ms;
            kb[p] << sample.peakKb;
        }
    }
    const double mainMs = median(ms[0]), bareMs = median(ms[1]);
    const double mainKb = median(kb[0]), bareKb = median(kb[1]);
    out() << QStringLiteral("%1, %2 runs each: start-up main window %3 ms, bare %4 ms, ratio %5; "
                            "peak memory main window %6 MB, bare %7 MB, ratio %8")
                 .arg(platform)
                 .arg(runs)
                 .arg(mainMs, 0, 'f', 1)
                 .arg(bareMs, 0, 'f', 1)
                 .arg(mainMs / bareMs, 0, 'f', 2)
                 .arg(mainKb / 1024, 0, 'f', 1)
                 .arg(bareKb / 1024, 0, 'f', 1)
                 .arg(mainKb / bareKb, 0, 'f', 2)
          << Qt::endl;
}

// Starts Xvfb on a free display and returns its name once it takes
// clients; empty when Xvfb is not installed or does not come up.
QString startXvfb(QProcess *xvfb)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty())
        return {};
    xvfb->start(program, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                          QStringLiteral("0"), QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp")});
    if (!xvfb->waitForReadyRead(XvfbStartMs))
        return {};
    return QLatin1Char(':') + QString::fromLatin1(xvfb->readAllStandardOutput().trimmed());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : DefaultRuns;
    if (runs < 1)
        qFatal("usage: startupbench [runs]");

    QTemporaryDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    measure(QStringLiteral("offscreen"), env, runs);

    QProcess xvfb;
    const QString display = startXvfb(&xvfb);
    if (display.isEmpty()) {
        out() << "xcb: Xvfb not available, skipped" << Qt::endl;
    } else {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("DISPLAY"), display);
        measure(QStringLiteral("xcb (Xvfb ") + display + QLatin1Char(')'), env, runs);
    }
    xvfb.terminate();
    xvfb.waitForFinished();
    return 0;
}
