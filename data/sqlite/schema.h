#pragma once

#include <QByteArray>
#include <QString>

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

// Checks that an opened file holds both tables with usable columns and throws an Error
// naming the file otherwise. Returns whether the file carries the search index.
bool checkSchema(sqlite3* db, const QString& fileName);
