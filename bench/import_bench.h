#pragma once

#include "program_bench.h"
#include "report.h"

// telspr-import loading a million entries from a CSV file into a new directory, against the
// sqlite3 program's plain `.import` of the same file into a new table. A town's directory
// is this size at most, whatever size the other groups run at (--entries). The CSV is written
// once from a demo directory and kept in the data folder.
void benchImport(const BenchOptions& options, Report& report);
