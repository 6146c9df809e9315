// tel_bench: the whole program at a million entries, against baselines measured in the same
// run. bench/run_bench.sh builds and runs it; see README.md.
//
//   tel_bench [--data FOLDER] [--entries N] [--runs N] [--print-runs N] [--openpyxl-runs N]
//             [--only GROUP,...] [--figures FILE] [--reference FILE] [--server]
//             [--operators N,... [--duration SECONDS] [--think-ms MS]]
// --figures writes the keyed figures of the run; --reference reads those of a run on a smaller
// directory, for the goals that allow a larger directory some more time (bench/run_scale.sh).
// --server measures the program on a PostgreSQL server instead (server_bench.h); with
// --operators, N simulated operators at work on it for 60 s each (load_bench.h).
//   tel_bench --startup-probe FOLDER        (one start of the program, for the start-up row)
//   tel_bench --startup-probe-server STRING (the same on a server directory)
//   tel_bench --naive-memory FILE           (the naive list's bytes per row)
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QStringList>
#include <QThread>
#include <cstdio>

#include "application.h"
#include "bench_files.h"
#include "child_baselines.h"
#include "error.h"
#include "program_bench.h"
#include "report.h"
#include "server_bench.h"
#include "startup_bench.h"

namespace {

int intOption(const QStringList& args, qsizetype& i, int min) {
    bool ok = false;
    const int value = args.value(++i).toInt(&ok);
    if (!ok || value < min)
        throw Error(
            QStringLiteral("%1 needs a whole number of at least %2").arg(args[i - 1]).arg(min));
    return value;
}

// "8,32,64": the operator counts of the load runs.
QList<int> operatorCounts(const QString& list) {
    QList<int> counts;
    for (const QString& item : list.split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int count = item.toInt(&ok);
        if (!ok || count < 1)
            throw Error(
                QStringLiteral("--operators takes counts such as 8,32,64, not %1").arg(list));
        counts.append(count);
    }
    return counts;
}

BenchOptions parse(const QStringList& args) {
    BenchOptions options;
    options.dataFolder = QStringLiteral("bench-data");
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--data" && i + 1 < args.size())
            options.dataFolder = args[++i];
        else if (a == u"--entries")
            options.entries = intOption(args, i, 10);
        else if (a == u"--runs")
            options.runs = intOption(args, i, 1);
        else if (a == u"--print-runs")
            options.printRuns = intOption(args, i, 1);
        else if (a == u"--openpyxl-runs")
            options.openpyxlRuns = intOption(args, i, 1);
        else if (a == u"--server")
            options.server = true;
        else if (a == u"--operators" && i + 1 < args.size())
            options.operators = operatorCounts(args[++i]);
        else if (a == u"--duration")
            options.loadSeconds = intOption(args, i, 1);
        else if (a == u"--think-ms")
            options.thinkMs = intOption(args, i, 0);
        else if (a == u"--only" && i + 1 < args.size())
            options.only = args[++i].split(u',', Qt::SkipEmptyParts);
        else if (a == u"--figures" && i + 1 < args.size())
            options.figuresFile = args[++i];
        else if (a == u"--reference" && i + 1 < args.size())
            options.referenceFile = args[++i];
        else
            throw Error(QStringLiteral("unknown argument %1 (see bench/main.cpp)").arg(a));
    }
    if (!options.operators.isEmpty() && !options.server)
        throw Error(QStringLiteral("--operators needs --server"));
    return options;
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024;  // Linux reports kilobytes
}

int runBench(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const BenchOptions options = parse(QCoreApplication::arguments());
    QElapsedTimer total;
    total.start();
    const QString loadBefore = loadAverage();
    const BenchFiles files = prepareBenchFiles(options.dataFolder, options.entries);
    std::fprintf(stderr, "Measuring (%d runs after a warm-up per figure)...\n", options.runs);
    Report report;
    if (options.server) {
        ServerBench bench(files, options, report);
        bench.run();
    } else {
        ProgramBench bench(files, options, report);
        bench.run();
    }
    const double peak = peakRssMb();
    report.add({QStringLiteral("peak memory of the tel_bench process (max RSS)"),
                QStringLiteral("%1 MB").arg(peak, 0, 'f', 0), QStringLiteral("-"),
                QStringLiteral("-"), QStringLiteral("report"), std::nullopt});
    if (options.operators.isEmpty())
        report.note(QStringLiteral("every time is the median of %1 runs after a warm-up run; "
                                   "baselines ran in this same run. Peak memory: getrusage max "
                                   "RSS of this process (baseline children not included).")
                        .arg(options.runs));
    report.note(QStringLiteral("file: %1 (%2 city entries); the whole run took %3 s; load "
                               "average (1, 5, 15 min) at the start %4, at the end %5; %6 cores.")
                    .arg(files.big)
                    .arg(files.bigEntries)
                    .arg(double(total.elapsed()) / 1000, 0, 'f', 0)
                    .arg(loadBefore, loadAverage())
                    .arg(QThread::idealThreadCount()));
    report.print(stdout);
    if (!options.figuresFile.isEmpty())
        report.writeFigures(options.figuresFile);
    return report.missed() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
        if (mode == u"--startup-probe" && argc == 3)
            return runStartupProbe(argc, argv, QString::fromLocal8Bit(argv[2]));
        if (mode == u"--startup-probe-server" && argc == 3)
            return runStartupProbe(argc, argv, QString(), QString::fromLocal8Bit(argv[2]));
        if (mode == u"--naive-memory" && argc == 3)
            return runNaiveMemory(QString::fromLocal8Bit(argv[2]));
        return runBench(argc, argv);
    } catch (const Error& e) {
        std::fprintf(stderr, "tel_bench: %s\n", e.what());
        return 2;
    }
}
