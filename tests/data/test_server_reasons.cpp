// Why the program could not open a directory on a server, in the Russian words of its
// message, for each way a connection goes wrong: on a server of the test's own with TLS
// (certificates made here), users with scram-sha-256 passwords and pg_hba.conf lines for each
// case. The message names the server (or every server listed) and never shows the password.
#include <libpq-fe.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QScopeGuard>
#include <QTest>
#include <QUrl>
#include <memory>

#include "connection.h"
#include "error_of.h"
#include "test_server.h"

namespace {

constexpr char kPassword[] = "Secret-Pa55";
constexpr char kWrongPassword[] = "Wrong-Pa55";

// A localhost port that refuses connections for as long as the test holds it: bound, and so
// nobody else's, but not listening.
class SilentPort {
public:
    SilentPort() : m_fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            m_port = ntohs(address.sin_port);
    }
    ~SilentPort() { ::close(m_fd); }
    int port() const { return m_port; }

private:
    int m_fd;
    int m_port = 0;
};

}  // namespace

class ServerReasonsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> m_server;
    SilentPort m_silent;

    // The text with the server's port, the silent port and the socket's folder (as a URI
    // writes it, and as it is) put in.
    QString filledIn(QString text) const {
        return text.replace(u"$PORT"_qs, QString::number(m_server->port()))
            .replace(u"$SILENT"_qs, QString::number(m_silent.port()))
            .replace(u"$SOCKET"_qs,
                     QString::fromLatin1(QUrl::toPercentEncoding(m_server->socketFolder())))
            .replace(u"$FOLDER"_qs, m_server->socketFolder());
    }
    QString connectionTo(const QString& uri) const {
        return QStringLiteral("Provider=PostgreSQL;Data Source=") + filledIn(uri);
    }

private slots:
    void initTestCase() {
        // A password comes only from the rows that set PGPASSWORD, never from a ~/.pgpass.
        qputenv("PGPASSFILE", "/nonexistent/pgpass");
        qunsetenv("PGPASSWORD");
        // A name under .invalid is never found; where a DNS server does not answer, the
        // resolver gives up after a second instead of a minute.
        qputenv("RES_OPTIONS", "timeout:1 attempts:1");
        m_server = std::make_unique<TestServer>(
            TestServer::Options{.hba = {"local all peeruser peer", "local all all trust",
                                        "hostssl all refused 127.0.0.1/32 reject",
                                        "hostssl all tlsonly 127.0.0.1/32 scram-sha-256",
                                        "host all clerk 127.0.0.1/32 scram-sha-256"},
                                .tls = true});
        for (const char* role : {"clerk", "tlsonly", "refused"})
            m_server->admin(QByteArray("CREATE ROLE ") + role + " LOGIN PASSWORD '" + kPassword +
                            "'");
        m_server->admin("CREATE ROLE peeruser LOGIN");
        // From here on libpq and the system speak Russian, as to a Russian user (Debian ships
        // libpq's Russian texts); the causes must not depend on that. (Set after the server
        // started, which would speak Russian too.)
        qputenv("LANGUAGE", "ru");
        QVERIFY(m_silent.port() > 0);
        PGconn* probe =
            PQconnectdb(qPrintable(QStringLiteral("host=127.0.0.1 port=%1").arg(m_silent.port())));
        const QString words = QString::fromUtf8(PQerrorMessage(probe));
        PQfinish(probe);
        QVERIFY2(words.contains(u"подключиться к серверу"), qPrintable(words));  // libpq5's own
    }

    void cleanupTestCase() { qunsetenv("LANGUAGE"); }

    void eachFailureHasItsCause_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QByteArray>("password");  // PGPASSWORD, if any
        QTest::addColumn<QString>("server");       // as the message names it
        QTest::addColumn<QString>("cause");
        const QString tcp = u"сервер «127.0.0.1:$PORT»"_qs;
        const QString socket = u"сервер «$FOLDER/.s.PGSQL.$PORT»"_qs;
        QTest::newRow("wrong password")
            << "postgresql://clerk@127.0.0.1:$PORT/postgres?sslmode=disable"
            << QByteArray(kWrongPassword) << tcp << "сервер не принял имя пользователя или пароль";
        QTest::newRow("no password")
            << "postgresql://clerk@127.0.0.1:$PORT/postgres" << QByteArray() << tcp
            << "сервер требует пароль (задайте его в ~/.pgpass или PGPASSWORD)";
        QTest::newRow("unknown database")
            << "postgresql://clerk@127.0.0.1:$PORT/nosuch" << QByteArray(kPassword) << tcp
            << "на сервере нет такой базы данных";
        QTest::newRow("unknown role")
            << "postgresql://nobody@$SOCKET:$PORT/postgres" << QByteArray() << socket
            << "на сервере нет такого пользователя";
        QTest::newRow("pg_hba.conf: not without encryption")
            << "postgresql://tlsonly@127.0.0.1:$PORT/postgres?sslmode=disable"
            << QByteArray(kPassword) << tcp
            << "сервер не разрешает такое подключение без шифрования (pg_hba.conf)";
        QTest::newRow("pg_hba.conf: rejected with encryption")
            << "postgresql://refused@127.0.0.1:$PORT/postgres?sslmode=require"
            << QByteArray(kPassword) << tcp
            << "сервер не разрешает такое подключение (pg_hba.conf)";
        QTest::newRow("certificate not trusted")
            << "postgresql://clerk@localhost:$PORT/postgres?sslmode=verify-full&sslrootcert=" +
                   m_server->file("other-ca.crt")
            << QByteArray(kPassword) << u"сервер «localhost:$PORT»"_qs
            << "сертификат сервера не подписан центром сертификации, которому доверяет "
               "программа";
        QTest::newRow("host name not in the certificate")
            << "postgresql://clerk@127.0.0.1:$PORT/postgres?sslmode=verify-full&sslrootcert=" +
                   m_server->file("ca.crt")
            << QByteArray(kPassword) << tcp << "сертификат сервера выдан на другое имя";
        QTest::newRow("no root certificate")
            << "postgresql://clerk@localhost:$PORT/postgres?sslmode=verify-full&sslrootcert=" +
                   m_server->file("missing.crt")
            << QByteArray(kPassword) << u"сервер «localhost:$PORT»"_qs
            << "нет файла с сертификатом центра сертификации (root.crt)";
        QTest::newRow("server not listening")
            << "postgresql://clerk@127.0.0.1:$SILENT/postgres" << QByteArray()
            << u"сервер «127.0.0.1:$SILENT»"_qs << "сервер не отвечает по этому адресу";
        QTest::newRow("unknown host")
            << "postgresql://clerk@telspr-test.invalid:$PORT/postgres" << QByteArray()
            << u"сервер «telspr-test.invalid:$PORT»"_qs << "имя сервера не найдено";
        QTest::newRow("peer authentication failed")
            << "postgresql://peeruser@$SOCKET:$PORT/postgres" << QByteArray() << socket
            << "имя пользователя системы не совпадает с именем пользователя базы (проверка "
               "peer)";
        // "localhost" that resolves to ::1 first while the server listens on 127.0.0.1 only:
        // libpq tries each address in turn, as it tries each host of a list, and the last
        // attempt is what failed. (This machine's localhost is 127.0.0.1 alone.)
        const QString both = u"серверы «[::1]:$PORT, 127.0.0.1:$PORT»"_qs;
        QTest::newRow("localhost as ::1 first, no password")
            << "postgresql://clerk@[::1]:$PORT,127.0.0.1:$PORT/postgres" << QByteArray() << both
            << "сервер требует пароль (задайте его в ~/.pgpass или PGPASSWORD)";
        QTest::newRow("localhost as ::1 first, unknown database")
            << "postgresql://clerk@[::1]:$PORT,127.0.0.1:$PORT/nosuch" << QByteArray(kPassword)
            << both << "на сервере нет такой базы данных";
    }
    void eachFailureHasItsCause() {
        QFETCH(QString, uri);
        QFETCH(QByteArray, password);
        QFETCH(QString, server);
        QFETCH(QString, cause);
        if (!password.isEmpty())
            qputenv("PGPASSWORD", password);
        const auto forget = qScopeGuard([] { qunsetenv("PGPASSWORD"); });
        Connection connection(connectionTo(uri));
        const QString error = errorOf([&] { connection.open(); });
        const QString expected =
            QStringLiteral("Не удалось подключиться к справочнику (%1, база данных «%2»): %3 (")
                .arg(filledIn(server), uri.contains(u"/nosuch") ? u"nosuch"_qs : u"postgres"_qs,
                     cause);
        QVERIFY2(error.startsWith(expected), qPrintable(error + u"\nexpected: "_qs + expected));
        QVERIFY2(password.isEmpty() || !error.contains(QString::fromLatin1(password)),
                 qPrintable(error));
    }

    // The certificate rows fail for their own reason: with the right root and name the
    // connection is made, and it is the directory's tables that are missing.
    void aVerifiedConnectionNamesTheServerReached() {
        qputenv("PGPASSWORD", kPassword);
        const auto forget = qScopeGuard([] { qunsetenv("PGPASSWORD"); });
        Connection connection(connectionTo(
            "postgresql://clerk@localhost:$PORT/postgres?sslmode=verify-full&sslrootcert=" +
            m_server->file("ca.crt")));
        QCOMPARE(errorOf([&] { connection.open(); }),
                 filledIn(u"В базе данных (сервер «localhost:$PORT», база данных «postgres») "
                          u"нет таблицы «tel»: это не база данных телефонного справочника."_qs));
    }
};

QTEST_GUILESS_MAIN(ServerReasonsTest)
#include "test_server_reasons.moc"
