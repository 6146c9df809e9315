#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

#include "bench_files.h"
#include "report.h"
#include "sample.h"

class ProgramDriver;

struct BenchOptions {
    QString dataFolder;
    qint64 entries = 1000000;
    int runs = 5;           // measured runs after the warm-up, per figure
    int printRuns = 3;      // printing a million entries takes most of a minute a run
    int openpyxlRuns = 1;   // openpyxl takes most of a minute a run: no warm-up, few runs
    QStringList only;       // groups to run; empty: all
    QString figuresFile;    // where to write the keyed figures, if anywhere
    QString referenceFile;  // a smaller directory's figures, for the goals that scale
    bool server = false;    // on a PostgreSQL server: start-up, searches, memory (server_bench.h)
    QList<int> operators;   // with server: instead, operators at work, one run each count
    int loadSeconds = 60;   // how long each of those runs lasts
    int thinkMs = 2000;     // an operator's mean think time between actions (load_operator.h)

    bool wants(const char* group) const;
};

// Measures the real program, started in-process on the big file and driven as a user drives
// it, against baselines measured in the same run; every figure becomes a row of the report.
class ProgramBench {
public:
    ProgramBench(const BenchFiles& files, const BenchOptions& options, Report& report);
    ~ProgramBench();

    void run();

private:
    void startup();
    void imports();
    void searches();
    void memory();
    void sorts();
    void views();
    void grid();
    void html();
    void xlsx();
    void printing();
    void sheets();

    double commandMs(const char* action, Sample& repaints);
    double exportWorkbook(qint64& size);
    void searchAll();
    void sortedListing();
    QString workFile(const QString& name) const;

    // A directory of several million entries has goals of its own (see the table).
    bool large() const { return m_files.bigEntries > 2000000; }

    const BenchFiles& m_files;
    const BenchOptions& m_options;
    Report& m_report;
    QHash<QString, double> m_reference;
    std::unique_ptr<ProgramDriver> m_program;
};
