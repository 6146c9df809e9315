#pragma once

#include "program_bench.h"
#include "report.h"

// telspr-import loading a million entries from a CSV file into a new directory, against the
// sqlite3 program's plain `.import` of the same file into a new table. A town's directory
// is this size at most, whatever size the other groups run at (--entries). The CSV is written
// once from a demo directory and kept in the data folder.
void benchImport(const BenchOptions& options, Report& report);

// telspr-import --connection loading the same file into a new directory on the benchmark's
// PostgreSQL server (server_bench.h), against psql's \copy of it into the same kind of
// directory: the tables and the search indexes, no entries.
void benchServerImport(const BenchOptions& options, Report& report);
