#pragma once

#include <QString>

#include "load_operator.h"
#include "program_bench.h"
#include "report.h"

// Operators at work on a server directory (tel_bench --server --operators N,...): for each
// count a run of simulated operators (load_operator.h), each with a connection of its own.
// Prints per operation the count, the rate and the median and 99th-percentile times; then
// checks every write against the server (write_ledger.h): nothing acknowledged lost, nothing
// overwritten silently, every conflict refused.
class LoadBench {
public:
    LoadBench(const QString& uri, const BenchOptions& options, Report& report);
    void run();

private:
    void findInputs();
    QStringList addHotEntries(int operators);
    void measure(int operators);

    QString m_uri;
    const BenchOptions& m_options;
    Report& m_report;
    LoadScript m_script;
};
