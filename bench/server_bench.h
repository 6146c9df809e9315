#pragma once

#include "bench_files.h"
#include "program_bench.h"
#include "report.h"

// The program on a directory of a PostgreSQL server (tel_bench --server): a throwaway server
// started as the tests start theirs, filled by the demo generator with the big file's
// entries, reached over localhost. Start-up, the searches against psql running the same
// query in the same run, and the memory a row takes beside the file's. With --operators,
// operators at work on it instead (load_bench.h).
class ServerBench {
public:
    ServerBench(const BenchFiles& files, const BenchOptions& options, Report& report);
    void run();

private:
    void startup();
    void imports();
    void searches();
    void memory();

    const BenchFiles& m_files;
    const BenchOptions& m_options;
    Report& m_report;
    QString m_uri;
    QString m_connectionString;
};
