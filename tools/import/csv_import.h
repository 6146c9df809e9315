#pragma once

#include <QString>

struct DirectoryTable;

struct ImportOutcome {
    qint64 entries = 0;    // records loaded
    bool created = false;  // whether the directory file was made for them
};

// Loads every record of a CSV file into `table` of the directory file at `path`, creating
// the file when it is missing. The header names the columns, in any order and any letter
// case; every column of the table must be there, other columns are left out. An empty field
// becomes a field without a value. The search index is complete afterwards. All or nothing: on an
// Error the directory file is as it was (and a file made for the import is gone).
ImportOutcome importCsv(const QString& csvPath, const DirectoryTable& table, const QString& path);
