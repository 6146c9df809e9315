#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "stored_table.h"

struct sqlite3;

// The directory file: a table per directory (columns.h), each with an engine-assigned
// integer `key` and text columns that may hold no value. Field sizes are enforced by the
// program, not the file.

// "CREATE TABLE tel (...); CREATE TABLE lich (...);" as written into a new file.
QByteArray createTablesSql();
void createTables(sqlite3* db);

// Creates a new directory file with both tables and the search index; refuses to touch an
// existing file. This is the documented way to start an empty directory.
void initDatabase(const QString& path);

// The table's columns as the file declares them; none when it has no such table. The key
// must be the table's INTEGER PRIMARY KEY; a text column must keep texts as written.
std::vector<FoundColumn> fileColumns(sqlite3* db, const DirectoryTable& table,
                                     const QString& doing);
