#pragma once

#include <QtGlobal>

class EntrySource;
class ServerSession;
struct DirectoryTable;

// Loading a whole directory on a server (telspr-import), inside the session's transaction.

// Locks the table against other writers until the transaction ends (readers go on) and
// says whether it holds entries.
bool serverTableHoldsEntries(ServerSession& session, const DirectoryTable& table);
// Deletes every entry; returns how many there were. Other programs go on reading the old
// entries until the transaction ends.
qint64 removeServerEntries(ServerSession& session, const DirectoryTable& table);
// Moves the key's sequence above every key in the table, should another tool have written
// keys of its own, and copies the entries in with COPY; returns how many.
qint64 copyServerEntries(ServerSession& session, const DirectoryTable& table, EntrySource& entries);

// Whether the session's user may add, change and delete the table's entries: INSERT, UPDATE
// and DELETE on it, USAGE of its key's sequence, and a server that takes writes at all.
bool serverUserCanWrite(ServerSession& session, const DirectoryTable& table);
