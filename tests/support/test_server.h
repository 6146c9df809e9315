#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>

// A throwaway PostgreSQL server of one test program: initdb and postgres (Debian's package)
// in a temporary folder, listening on a Unix socket there and on a free localhost port, run
// as the `postgres` system user when the tests run as root (the server refuses root). It
// starts at the first use and stops when the program ends; should the program die, the
// kernel stops it too (the parent-death signal). Nothing depends on a server the machine
// happens to run.
class TestServer {
public:
    static TestServer& instance();
    ~TestServer();

    int port() const { return m_port; }
    // The program's URI of a directory: over TCP to localhost, as from another machine, as
    // the server's superuser or as `user`.
    QString uri(const QString& directory, const QString& user = QString()) const;
    // libpq's connection parameters for the tests' own connection, over the Unix socket.
    QByteArray conninfo(const QString& directory) const;

    // A new empty directory: a schema of the server's one database, which the connection
    // puts first in its search path. (A database each would take ten times as long.)
    QString createDirectory();
    void dropDirectory(const QString& name);

    // A fast shutdown (clients are disconnected), then the same server again on the same port.
    void restart();
    void stop();

private:
    TestServer();
    bool launch(int port);  // false when the server ended at once (the port was taken)
    void run(const QStringList& command, bool wait);

    QString m_root;  // the temporary folder, owned by the server's user
    int m_port = 0;
    pid_t m_postgres = -1;
    int m_directories = 0;
};
