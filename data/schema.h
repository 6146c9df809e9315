#pragma once

#include <QString>

struct sqlite3;

// The directory file: table `tel` (the city directory) and table `lich` (the personal
// directory, street column declared `Ul`), each with an engine-assigned integer `key` and
// text columns that may hold no value. Field sizes are enforced by the program, not the file.
inline constexpr char kCreateTablesSql[] =
    "CREATE TABLE tel (key INTEGER PRIMARY KEY AUTOINCREMENT, tel VARCHAR(7), fam VARCHAR(30),"
    " ul VARCHAR(30), dom VARCHAR(5), kv VARCHAR(5));"
    "CREATE TABLE lich (key INTEGER PRIMARY KEY AUTOINCREMENT, tel VARCHAR(7), fam VARCHAR(30),"
    " Ul VARCHAR(30), dom VARCHAR(5), kv VARCHAR(5), mob VARCHAR(30));";

void createTables(sqlite3* db);

// Creates a new directory file with both tables and the search index; refuses to touch an
// existing file. This is the documented way to start an empty directory.
void initDatabase(const QString& path);

// Checks that an opened file holds both tables with usable columns and throws an Error
// naming the file otherwise. Returns whether the file carries the search index.
bool checkSchema(sqlite3* db, const QString& fileName);
