#pragma once

struct sqlite3;

// Makes the SQL function fold(text) (matching.h's fold) available on this connection. Only
// this program's queries and its search index upkeep use it; nothing another program needs
// to read or write the file depends on it.
void registerFoldFunction(sqlite3* db);
