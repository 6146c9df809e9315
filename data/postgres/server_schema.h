#pragma once

#include <QByteArrayList>
#include <vector>

#include "error.h"
#include "stored_table.h"

class ServerSession;

// The directory on a server has the file's shape (columns.h): tables `tel` and `lich`, each
// with an identity `key` and text columns of the fields' sizes. The search indexes are one
// expression index per city column over its fold (fold_sql.h); without them every search
// finds the same entries, only slower. The program itself never changes a server's schema:
// these are made by the demo generator and the tests.

// "CREATE TABLE tel (...)", "CREATE TABLE lich (...)".
QByteArrayList serverTablesSql();
// "CREATE INDEX tel_fold_tel ON tel (...)", one per city column.
QByteArrayList serverSearchIndexSql();

// Thrown when the database has a table of the directory already.
class DirectoryTablesExist : public Error {
public:
    using Error::Error;
};

// Creates both tables in the session's database, refusing with DirectoryTablesExist when
// either is there, so that nothing there is dropped or changed. Runs inside the caller's
// transaction.
void createServerTables(ServerSession& session);
void createServerSearchIndex(ServerSession& session);

// The table's columns as the server describes them; none when it has no such table. The key
// must be an integer, a text column varchar or text.
std::vector<FoundColumn> serverColumns(ServerSession& session, const DirectoryTable& table);
// Whether the search indexes are there.
bool serverHasSearchIndex(ServerSession& session);
