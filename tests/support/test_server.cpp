#include "test_server.h"

#include <fcntl.h>
#include <grp.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdlib>

namespace {

const QString kBin = QStringLiteral(POSTGRES_BIN_DIR);
constexpr char kUser[] = "tel";  // the server's superuser, trusted on its own socket and port
const QString kDatabase = QStringLiteral("directories");
constexpr int kReadyTimeoutMs = 60000;

[[noreturn]] void fatal(const QString& text) {
    // A test program cannot go on without its server; say why and stop it.
    qFatal("test server: %s", qPrintable(text));
}

// A port nobody listens on now (the kernel's pick for a socket bound to port 0).
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        fatal(QStringLiteral("no free port"));
    ::close(fd);
    return ntohs(address.sin_port);
}

// The user the server runs as: ourselves, or `postgres` instead of root.
struct RunAs {
    bool change = false;
    uid_t uid = 0;
    gid_t gid = 0;
};

RunAs runAs() {
    RunAs who;
    if (::geteuid() != 0)
        return who;
    const passwd* pw = ::getpwnam("postgres");
    if (!pw)
        fatal(QStringLiteral("running as root, and there is no postgres user to run the server"));
    who.change = true;
    who.uid = pw->pw_uid;
    who.gid = pw->pw_gid;
    return who;
}

// Whether the server answers on its socket.
bool answers(const QByteArray& conninfo) {
    return PQping(conninfo.constData()) == PQPING_OK;
}

void ignoreNotice(void*, const char*) {}

// Runs a statement that must succeed; returns its first value.
QByteArray adminCommand(const QByteArray& conninfo, const QByteArray& sql) {
    PGconn* conn = PQconnectdb(conninfo.constData());
    PQsetNoticeProcessor(conn, ignoreNotice, nullptr);  // "drop cascades to ..."
    PGresult* result = PQexec(conn, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    const QByteArray value =
        status == PGRES_TUPLES_OK && PQntuples(result) > 0 ? PQgetvalue(result, 0, 0) : "";
    const QString message = QString::fromUtf8(PQerrorMessage(conn));
    PQclear(result);
    PQfinish(conn);
    if (!ok)
        fatal(QStringLiteral("%1: %2").arg(QString::fromUtf8(sql), message));
    return value;
}

}  // namespace

QString TestServer::superuser() {
    return QString::fromLatin1(kUser);
}

TestServer& TestServer::instance() {
    static TestServer server{Options()};
    return server;
}

TestServer::TestServer(const Options& options) {
    const RunAs who = runAs();
    char folder[] = "/tmp/tel-pg-XXXXXX";
    if (!::mkdtemp(folder))
        fatal(QStringLiteral("no temporary folder"));
    m_root = QString::fromLocal8Bit(folder);
    if (who.change && ::chown(folder, who.uid, who.gid) != 0)
        fatal(QStringLiteral("cannot hand %1 to the postgres user").arg(m_root));
    if (const TestServer* primary = options.standbyOf) {
        // A fast checkpoint: the default one is spread over minutes.
        run({kBin + "/pg_basebackup", "-D", m_root + "/data", "-R", "--checkpoint=fast",
             "--no-sync", "-h", primary->m_root, "-p", QString::number(primary->m_port), "-U",
             kUser},
            true);
    } else {
        // The cluster's default collation is ICU's Russian one, unlike byte order: the
        // program's searches must not depend on it.
        run({kBin + "/initdb", "-D", m_root + "/data", "-U", kUser, "--auth=trust", "-E", "UTF8",
             "--locale=C.UTF-8", "--locale-provider=icu", "--icu-locale=ru-RU", "--no-sync",
             "--no-instructions"},
            true);
    }
    if (!options.hba.isEmpty()) {
        QFile hba(m_root + "/data/pg_hba.conf");
        if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate))
            fatal(QStringLiteral("cannot write %1").arg(hba.fileName()));
        hba.write(options.hba.join(u'\n').toUtf8() + '\n');
    }
    // Connections enough for the load benchmark's 64 operators besides its own.
    m_settings = QStringList{"listen_addresses=127.0.0.1", "fsync=off", "synchronous_commit=off",
                             "full_page_writes=off", "max_connections=100"};
    if (options.tls) {
        makeCertificates();
        m_settings << "ssl=on"
                   << "ssl_cert_file=" + file("server.crt") << "ssl_key_file=" + file("server.key");
    }
    m_settings += options.settings;
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt)
        started = launch(freePort());
    if (!started)
        fatal(QStringLiteral("the server did not start; see %1/server.log").arg(m_root));
    if (TestServer* primary = options.standbyOf) {
        primary->waitForStandby();
        primary->m_standbys.append(this);
    }
}

TestServer::~TestServer() {
    stop();
    QDir(m_root).removeRecursively();
}

void TestServer::run(const QStringList& command, bool wait) {
    const RunAs who = runAs();
    QList<QByteArray> args;
    for (const QString& a : command)
        args.append(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray log = QFile::encodeName(m_root + "/server.log");
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        fatal(QStringLiteral("fork failed"));
    if (pid == 0) {
        if (who.change &&
            (::setgroups(0, nullptr) != 0 || ::setgid(who.gid) != 0 || ::setuid(who.uid) != 0))
            ::_exit(126);
        // Set after the change of user, which clears it: the server dies with the tests.
        ::prctl(PR_SET_PDEATHSIG, SIGQUIT);
        if (::getppid() != parent)
            ::_exit(126);
        const int fd = ::open(log.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd >= 0) {
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (!wait) {
        m_postgres = pid;
        return;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        QFile file(m_root + "/server.log");
        file.open(QIODevice::ReadOnly);
        fatal(QStringLiteral("%1 failed: %2").arg(command.first(), file.readAll()));
    }
}

// Made as the server's user, so that the server may read its key (it refuses one that others
// can read).
void TestServer::makeCertificates() {
    const QString openssl = QStringLiteral(OPENSSL_PROGRAM);
    const QStringList newKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                "-nodes"};
    for (const char* ca : {"ca", "other-ca"})
        run(QStringList{openssl, "req", "-x509", "-days", "2", "-subj",
                        QStringLiteral("/CN=telspr test %1").arg(ca), "-keyout",
                        file(ca + QStringLiteral(".key")), "-out",
                        file(ca + QStringLiteral(".crt"))} +
                newKey,
            true);
    run(QStringList{openssl, "req", "-new", "-subj", "/CN=localhost", "-keyout", file("server.key"),
                    "-out", file("server.csr")} +
            newKey,
        true);
    QFile names(file("server.ext"));
    if (!names.open(QIODevice::WriteOnly))
        fatal(QStringLiteral("cannot write %1").arg(names.fileName()));
    names.write("subjectAltName=DNS:localhost\n");
    names.close();
    run({openssl, "x509", "-req", "-days", "2", "-in", file("server.csr"), "-CA", file("ca.crt"),
         "-CAkey", file("ca.key"), "-extfile", file("server.ext"), "-out", file("server.crt")},
        true);
}

bool TestServer::launch(int port) {
    m_port = port;
    QStringList command = {
        kBin + "/postgres", "-D", m_root + "/data", "-p", QString::number(port), "-k", m_root};
    for (const QString& setting : m_settings)
        command << "-c" << setting;
    run(command, false);
    QElapsedTimer waited;
    waited.start();
    while (!answers(ownConninfo(QString()))) {
        int status = 0;
        if (::waitpid(m_postgres, &status, WNOHANG) == m_postgres) {
            m_postgres = -1;  // most likely another program took the port meanwhile
            return false;
        }
        if (waited.elapsed() > kReadyTimeoutMs)
            fatal(QStringLiteral("the server did not start; see %1/server.log").arg(m_root));
        QThread::msleep(20);
    }
    return true;
}

// Until the standby that just started streams what this server writes.
void TestServer::waitForStandby() const {
    const QByteArray streaming = QByteArray::number(m_standbys.size() + 1);
    QElapsedTimer waited;
    waited.start();
    while (adminCommand(ownConninfo(QString()),
                        "SELECT count(*) FROM pg_stat_replication WHERE state = 'streaming'") !=
           streaming) {
        if (waited.elapsed() > kReadyTimeoutMs)
            fatal(QStringLiteral("the standby did not stream; see its server.log"));
        QThread::msleep(20);
    }
}

void TestServer::halt(int signal) {
    if (m_postgres < 0)
        return;
    ::kill(m_postgres, signal);
    int status = 0;
    ::waitpid(m_postgres, &status, 0);
    m_postgres = -1;
}

void TestServer::stop() {
    halt(SIGINT);  // fast shutdown: clients are told and disconnected
}

void TestServer::crash() {
    halt(SIGQUIT);
}

void TestServer::start() {
    if (!launch(m_port))
        fatal(QStringLiteral("the server did not start again; see %1/server.log").arg(m_root));
}

void TestServer::restart() {
    stop();
    start();
}

void TestServer::promote() {
    admin("SELECT pg_promote()");  // waits until the server takes writes
}

QString TestServer::uri(const QString& directory, const QString& user) const {
    QStringList hosts = {QStringLiteral("127.0.0.1:%1").arg(m_port)};
    for (const TestServer* standby : m_standbys)
        hosts << QStringLiteral("127.0.0.1:%1").arg(standby->m_port);
    // "%3D" is the URI's way of writing '='.
    QString uri =
        QStringLiteral("postgresql://%1@%2/%3")
            .arg(user.isEmpty() ? QString::fromLatin1(kUser) : user, hosts.join(u','), kDatabase) +
        QStringLiteral("?options=-csearch_path%3D") + directory;
    if (!m_standbys.isEmpty())
        uri += QStringLiteral("&target_session_attrs=read-write");
    return uri;
}

QByteArray TestServer::ownConninfo(const QString& database) const {
    return QStringLiteral("host=%1 port=%2 user=%3 dbname=%4")
        .arg(m_root)
        .arg(m_port)
        .arg(kUser, database.isEmpty() ? QStringLiteral("postgres") : database)
        .toUtf8();
}

QByteArray TestServer::conninfo(const QString& directory) const {
    QStringList hosts = {m_root}, ports = {QString::number(m_port)};
    for (const TestServer* standby : m_standbys) {
        hosts << standby->m_root;
        ports << QString::number(standby->m_port);
    }
    QString info = QStringLiteral("host=%1 port=%2 user=%3 dbname=%4")
                       .arg(hosts.join(u','), ports.join(u','), kUser,
                            directory.isEmpty() ? QStringLiteral("postgres") : kDatabase);
    if (!directory.isEmpty())
        info += QStringLiteral(" options=-csearch_path=") + directory;
    if (!m_standbys.isEmpty())
        info += QStringLiteral(" target_session_attrs=read-write");
    return info.toUtf8();
}

void TestServer::admin(const QByteArray& sql) const {
    adminCommand(ownConninfo(QString()), sql);
}

QString TestServer::createDirectory() {
    if (m_directories == 0)
        adminCommand(conninfo(QString()), "CREATE DATABASE " + kDatabase.toLatin1());
    const QString name = QStringLiteral("directory_%1").arg(++m_directories);
    adminCommand(conninfo(name), "CREATE SCHEMA " + name.toLatin1());
    return name;
}

void TestServer::dropDirectory(const QString& name) {
    adminCommand(conninfo(name), "DROP SCHEMA " + name.toLatin1() + " CASCADE");
}
