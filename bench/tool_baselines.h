#pragma once

#include <QString>
#include <QStringList>

#include "sample.h"

// Baselines measured by other programs: the sqlite3 program, Python's openpyxl and this
// program's own baseline children (see child_baselines.h).

// The rows the city view holds after the search for every entry with a house (house "%"
// typed), as plain SQL over `tel`. ("\?" keeps the compiler from reading "??'" as a trigraph.)
inline const char kAllEntriesSql[] =
    "SELECT tel, fam, ul, dom, kv FROM tel WHERE tel GLOB '?\?\?\?\?' AND dom IS NOT NULL";

// Times the sqlite3 program running `sql` on `file` with `options`, its output sent to the
// file `output` or, without one, to the null device: the whole process, spawn to exit.
double timeSqlite3(const QString& file, const QStringList& options, const QString& sql,
                   const QString& output = QString());

// Times psql (the server's own client) running `command`, SQL or one of its backslash
// commands, on the database of the libpq URI, its output sent to the null device: the
// whole process, spawn to exit.
double timePsql(const QString& uri, const QString& command);

// How many rows `sql` returns, counted by SQLite itself.
qint64 countRows(const QString& file, const QString& sql);

// Runs `tel_bench <arguments>` and returns the numbers it prints, separated by spaces; fails
// unless it printed `count` of them.
QList<double> runChildNumbers(const QStringList& arguments, qsizetype count);
// ... the one number it prints.
double runChild(const QStringList& arguments);

// Runs the openpyxl baseline script on `file`; returns the milliseconds it reports for
// writing the workbook (reading the rows excluded).
double runOpenpyxl(const QString& file, const QString& workbook);
