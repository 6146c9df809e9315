#pragma once

#include <QString>

#include "connection_settings.h"

struct DirectoryTable;

// What becomes of the entries a table holds already.
enum class ImportMode {
    IntoEmpty,  // none may be there: a second run cannot double the directory by accident
    Append,     // they stay, the file's follow them
    Replace,    // the file's take their place (the yearly update of the town's directory)
};

struct ImportOutcome {
    qint64 entries = 0;    // records loaded
    qint64 removed = 0;    // entries the file's replaced
    bool created = false;  // whether the directory file was made for them
};

// Loads every record of a CSV file (csv_entries.h) into `table` of the directory `target`
// names, a file or a server, through its storage engine in one transaction. A directory file
// that is missing is created; a server's tables must be there. All or nothing: on an Error
// the directory is as it was (and a file made for the import is gone).
ImportOutcome importCsv(const QString& csvPath, const DirectoryTable& table,
                        const ConnectionSettings& target, ImportMode mode);
