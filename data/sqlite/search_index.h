#pragma once

struct sqlite3;
struct StoredTable;

// The search index: table `tel_fold` holds every city entry's fields folded for matching
// (see matching.h) under the entry's key, with an index per field, so that prefix and
// pattern searches ignoring letter case read only the matching entries.
//
// Other programs may write the file, so plain-SQL triggers on `tel` (they need nothing the
// sqlite3 program lacks) drop the folded copy of a changed or deleted entry and note new and
// changed keys in `tel_fold_pending`; the next search folds those entries first. A file
// without these tables still works: the search then folds every entry as it reads it.

// Builds the index over the entries already in `tel`.
void createSearchIndex(sqlite3* db);

bool hasSearchIndex(sqlite3* db);

// Folds the entries noted as pending since the last search, reading `tel` by the names the
// file gave its columns. Cheap when none are.
void catchUpSearchIndex(sqlite3* db, const StoredTable& tel);
// The same inside the caller's transaction, for a writer that leaves the index complete.
void foldPendingEntries(sqlite3* db, const StoredTable& tel);

// Whether every entry's folded copy is in the index (nothing is pending).
bool searchIndexCurrent(sqlite3* db);
