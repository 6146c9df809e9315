// Why the program could not open a directory on a server, in the Russian words of its
// message, for each way a connection goes wrong: on a server of the test's own with TLS
// (certificates made here), users with scram-sha-256 passwords and pg_hba.conf lines for each
// case. The message names the server (or every server listed) and never shows the password.
#include <libpq-fe.h>

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

// How the message of a failed connection begins.
QString refused(const QString& server, const QString& cause, const char* database = "postgres") {
    return QStringLiteral("Не удалось подключиться к справочнику (%1, база данных «%2»): %3 (")
        .arg(server, QString::fromLatin1(database), cause);
}

}  // namespace

class ServerReasonsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> m_server;

    // The text with the server's port and the socket's folder (as a URI writes it, and as it
    // is) put in.
    QString filledIn(QString text) const {
        return text.replace(u"$PORT"_qs, QString::number(m_server->port()))
            .replace(u"$SOCKET"_qs,
                     QString::fromLatin1(QUrl::toPercentEncoding(m_server->socketFolder())))
            .replace(u"$FOLDER"_qs, m_server->socketFolder());
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
        PGconn* probe = PQconnectdb("host=127.0.0.1 port=1");
        const QString words = QString::fromUtf8(PQerrorMessage(probe));
        PQfinish(probe);
        QVERIFY2(words.contains(u"подключиться к серверу"), qPrintable(words));  // libpq5's own
    }

    void cleanupTestCase() { qunsetenv("LANGUAGE"); }

    void eachFailureHasItsCause_data() {
        QTest::addColumn<QString>("uri");
        QTest::addColumn<QByteArray>("password");  // PGPASSWORD, if any
        QTest::addColumn<QString>("expected");     // how the message begins
        const QString tcp = u"сервер «127.0.0.1:$PORT»"_qs;
        const QString socket = u"сервер «$FOLDER/.s.PGSQL.$PORT»"_qs;
        const QString named = u"сервер «localhost:$PORT»"_qs;
        const QString verified =
            "postgresql://clerk@localhost:$PORT/postgres?sslmode=verify-full&sslrootcert=";
        const QString noPassword =
            u"сервер требует пароль (задайте его в ~/.pgpass или PGPASSWORD)"_qs;
        QTest::newRow("wrong password")
            << "postgresql://clerk@127.0.0.1:$PORT/postgres?sslmode=disable"
            << QByteArray(kWrongPassword)
            << refused(tcp, u"сервер не принял имя пользователя или пароль"_qs);
        QTest::newRow("no password") << "postgresql://clerk@127.0.0.1:$PORT/postgres"
                                     << QByteArray() << refused(tcp, noPassword);
        QTest::newRow("unknown database")
            << "postgresql://clerk@127.0.0.1:$PORT/nosuch" << QByteArray(kPassword)
            << refused(tcp, u"на сервере нет такой базы данных"_qs, "nosuch");
        QTest::newRow("unknown role")
            << "postgresql://nobody@$SOCKET:$PORT/postgres" << QByteArray()
            << refused(socket, u"на сервере нет такого пользователя"_qs);
        QTest::newRow("pg_hba.conf: not without encryption")
            << "postgresql://tlsonly@127.0.0.1:$PORT/postgres?sslmode=disable"
            << QByteArray(kPassword)
            << refused(tcp,
                       u"сервер не разрешает такое подключение без шифрования (pg_hba.conf)"_qs);
        QTest::newRow("pg_hba.conf: rejected with encryption")
            << "postgresql://refused@127.0.0.1:$PORT/postgres?sslmode=require"
            << QByteArray(kPassword)
            << refused(tcp, u"сервер не разрешает такое подключение (pg_hba.conf)"_qs);
        QTest::newRow("certificate not trusted")
            << verified + m_server->file("other-ca.crt") << QByteArray(kPassword)
            << refused(named,
                       u"сертификат сервера не подписан центром сертификации, которому "
                       u"доверяет программа"_qs);
        QTest::newRow("host name not in the certificate")
            << "postgresql://clerk@127.0.0.1:$PORT/postgres?sslmode=verify-full&sslrootcert=" +
                   m_server->file("ca.crt")
            << QByteArray(kPassword) << refused(tcp, u"сертификат сервера выдан на другое имя"_qs);
        QTest::newRow("no root certificate")
            << verified + m_server->file("missing.crt") << QByteArray(kPassword)
            << refused(named, u"нет файла с сертификатом центра сертификации (root.crt)"_qs);
        // The certificate rows fail for their own reason: with the right root and name the
        // connection is made, and the directory's tables are missing on the server it reached.
        QTest::newRow("certificate verified")
            << verified + m_server->file("ca.crt") << QByteArray(kPassword)
            << u"В базе данных (сервер «localhost:$PORT», база "
               u"данных «postgres») нет таблицы «tel»"_qs;
        QTest::newRow("server not listening")
            << "postgresql://clerk@127.0.0.1:1/postgres" << QByteArray()
            << refused(u"сервер «127.0.0.1:1»"_qs, u"сервер не отвечает по этому адресу"_qs);
        QTest::newRow("unknown host")
            << "postgresql://clerk@telspr-test.invalid:$PORT/postgres" << QByteArray()
            << refused(u"сервер «telspr-test.invalid:$PORT»"_qs, u"имя сервера не найдено"_qs);
        QTest::newRow("peer authentication failed")
            << "postgresql://peeruser@$SOCKET:$PORT/postgres" << QByteArray()
            << refused(socket,
                       u"имя пользователя системы не совпадает с именем пользователя "
                       u"базы (проверка peer)"_qs);
        // "localhost" that resolves to ::1 first while the server listens on 127.0.0.1 only:
        // libpq tries each address in turn, as it tries each host of a list, and the last
        // attempt is what failed. (This machine's localhost is 127.0.0.1 alone.)
        const QString both = u"серверы «[::1]:$PORT, 127.0.0.1:$PORT»"_qs;
        QTest::newRow("localhost as ::1 first, no password")
            << "postgresql://clerk@[::1]:$PORT,127.0.0.1:$PORT/postgres" << QByteArray()
            << refused(both, noPassword);
        QTest::newRow("localhost as ::1 first, unknown database")
            << "postgresql://clerk@[::1]:$PORT,127.0.0.1:$PORT/nosuch" << QByteArray(kPassword)
            << refused(both, u"на сервере нет такой базы данных"_qs, "nosuch");
    }
    void eachFailureHasItsCause() {
        QFETCH(QString, uri);
        QFETCH(QByteArray, password);
        QFETCH(QString, expected);
        if (!password.isEmpty())
            qputenv("PGPASSWORD", password);
        const auto forget = qScopeGuard([] { qunsetenv("PGPASSWORD"); });
        Connection connection(u"Provider=PostgreSQL;Data Source="_qs + filledIn(uri));
        const QString error = errorOf([&] { connection.open(); });
        QVERIFY2(error.startsWith(filledIn(expected)), qPrintable(error));
        QVERIFY2(password.isEmpty() || !error.contains(QString::fromLatin1(password)),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(ServerReasonsTest)
#include "test_server_reasons.moc"
