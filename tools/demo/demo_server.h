#pragma once

#include <QString>

#include "demo_directory.h"

// Writes the demo entries into a database on a PostgreSQL server (a libpq URI): creates the
// directory's tables, fills them with COPY and builds the search indexes, all in one
// transaction, so the directory appears whole or not at all. Existing tables are never
// dropped or changed: when `tel` or `lich` is there already it throws DemoFileExists.
// `options.replace` does not apply. The same seed gives the entries of the same file.
void writeDemoServerDirectory(const QString& uri, const DemoOptions& options);
