#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// A throwaway PostgreSQL server of one test program: initdb and postgres (Debian's package)
// in a temporary folder, listening on a Unix socket there and on a free localhost port, run
// as the `postgres` system user when the tests run as root (the server refuses root). It
// stops when the program ends; should the program die, the kernel stops it too (the
// parent-death signal). Nothing depends on a server the machine happens to run.
class TestServer {
public:
    // How a test wants its own server made; the default is what instance() runs.
    struct Options {
        QStringList settings = {};  // "name=value", after (and so over) the tests' usual ones
        QStringList hba = {};       // pg_hba.conf's lines; none keeps initdb's (trust)
        // TLS on, with certificates made by the openssl program: ca.crt signed server.crt
        // for the name "localhost" only; other-ca.crt signed nothing the server shows.
        bool tls = false;
        // A streaming standby of this server, copied with pg_basebackup -R. Once it streams,
        // the primary's uri() and conninfo() name both, with target_session_attrs=read-write.
        TestServer* standbyOf = nullptr;
    };

    // The server most tests share, started at the first use.
    static TestServer& instance();
    explicit TestServer(const Options& options);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // The role that owns the server, trusted on its socket: for programs such as psql.
    static QString superuser();
    int port() const { return m_port; }
    QString socketFolder() const { return m_root; }
    QString file(const QString& name) const { return m_root + u'/' + name; }
    // The program's URI of a directory: over TCP to localhost, as from another machine, as
    // the server's superuser or as `user`.
    QString uri(const QString& directory, const QString& user = QString()) const;
    // libpq's connection parameters for the tests' own connection, over the Unix socket.
    QByteArray conninfo(const QString& directory) const;

    // A new empty directory: a schema of the server's one database, which the connection
    // puts first in its search path. (A database each would take ten times as long.)
    QString createDirectory();
    void dropDirectory(const QString& name);
    // Runs a statement as the server's superuser on this server alone; it must succeed.
    void admin(const QByteArray& sql) const;

    // A fast shutdown (clients are disconnected), then the same server again on the same port.
    void restart();
    void stop();
    void start();    // a stopped server again, on the same port
    void crash();    // an immediate shutdown: nothing is written or sent any more
    void promote();  // a standby becomes a primary that takes writes

private:
    bool launch(int port);  // false when the server ended at once (the port was taken)
    void run(const QStringList& command, bool wait);
    void makeCertificates();
    void waitForStandby() const;
    void halt(int signal);
    // This server alone, whatever peers it has.
    QByteArray ownConninfo(const QString& database) const;

    QString m_root;  // the temporary folder, owned by the server's user
    QStringList m_settings;
    int m_port = 0;
    pid_t m_postgres = -1;
    int m_directories = 0;
    QList<const TestServer*> m_standbys;
};
