#pragma once

#include <QString>
#include <optional>

struct sqlite3;

// Why opening or writing the database file failed, in words the user can act on: the file
// or its folder may not be written, the disk is full, or the process may not make files
// that large. SQLite hands on no reliable errno for such failures (later calls overwrite
// it), so the file system is asked afterwards. No value when none of these is the case.
std::optional<QString> writeObstacle(sqlite3* db);
