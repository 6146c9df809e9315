#pragma once

#include <QtGlobal>

class EntrySource;
class ServerSession;
struct StoredTable;

// Loading a whole directory on a server (telspr-import), inside the session's transaction:
// moves the key's sequence above every key in the table, should another tool have written
// keys of its own, and copies the entries in with COPY; returns how many.
qint64 copyServerEntries(ServerSession& session, const StoredTable& table, EntrySource& entries);

// Whether the session's user may add, change and delete the table's entries: INSERT, UPDATE
// and DELETE on it, USAGE of its key's sequence, and a server that takes writes at all.
bool serverUserCanWrite(ServerSession& session, const StoredTable& table);
