#pragma once

#include <QString>

struct sqlite3;
struct pg_conn;

// Another program's long write on a directory, file or server, on a connection of its own:
// it holds the first personal entry (and with `exclusive` every table, readers kept out too)
// until unlock().
class DirectoryLock {
public:
    explicit DirectoryLock(const QString& connectionString);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    void lock(bool exclusive);
    void unlock();

private:
    void run(const char* sql);

    sqlite3* m_file = nullptr;
    pg_conn* m_server = nullptr;
};
