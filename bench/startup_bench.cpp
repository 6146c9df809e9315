#include "startup_bench.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include "application.h"
#include "error.h"
#include "startup.h"

namespace {

// Notes the main window's first paint.
class FirstPaint : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        painted |= event->type() == QEvent::Paint;
        return false;
    }
};

constexpr int kProbeTimeoutMs = 60000;

}  // namespace

int runStartupProbe(int& argc, char** argv, const QString& folder,
                    const QString& connectionString) {
    if (!folder.isEmpty() && !QDir::setCurrent(folder))
        return 3;
    // As runProgram() does, with a way out once the window is up.
    Application app(argc, argv);
    Program program = connectionString.isEmpty() ? startProgram() : startProgram(connectionString);
    FirstPaint paint;
    program.mainform->installEventFilter(&paint);
    QTimer idle;  // a zero timer fires whenever the event loop has nothing else to do
    QObject::connect(&idle, &QTimer::timeout, [&] {
        if (paint.painted)
            app.quit();
    });
    idle.start(0);
    return app.exec();
}

namespace {

double timeProbe(const QStringList& arguments) {
    const QString& folder = arguments.last();
    QProcess probe;
    probe.setProgram(QCoreApplication::applicationFilePath());
    probe.setArguments(arguments);
    probe.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    probe.start();
    const bool finished = probe.waitForFinished(kProbeTimeoutMs);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!finished) {
        probe.kill();
        probe.waitForFinished();
        throw Error(QStringLiteral("start-up probe in %1 did not finish").arg(folder));
    }
    if (probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        throw Error(QStringLiteral("start-up probe in %1 failed (exit %2): %3")
                        .arg(folder)
                        .arg(probe.exitCode())
                        .arg(QString::fromLocal8Bit(probe.readAllStandardError())));
    return ms;
}

}  // namespace

std::pair<Sample, Sample> timeStartups(const QString& first, const QString& second, int runs) {
    std::pair<Sample, Sample> samples;
    for (int i = 0; i <= runs; ++i) {
        const double a = timeProbe({QStringLiteral("--startup-probe"), first});
        const double b = timeProbe({QStringLiteral("--startup-probe"), second});
        if (i > 0) {  // the first pair warms up
            samples.first.ms.push_back(a);
            samples.second.ms.push_back(b);
        }
    }
    return samples;
}

Sample timeServerStartups(const QString& connectionString, int runs) {
    return collect(runs, [&] {
        return timeProbe({QStringLiteral("--startup-probe-server"), connectionString});
    });
}
