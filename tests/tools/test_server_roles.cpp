// The roles a help desk gives its people, as tools/setup_server_roles.sh makes them: an
// operator's program adds, finds, changes and deletes entries; a reader's program searches
// and is refused changes at once; only the owner changes the tables' shape. On a server of
// the test's own, where passwords are checked (SCRAM) and read from a password file. With
// TEL_TEST_OPERATOR or TEL_TEST_READER holding a program's connection string, the programs
// instead work as that login on a server set up elsewhere (CI's walk-through of the README,
// over TLS).
#include <libpq-fe.h>

#include <QProcess>
#include <QTemporaryFile>
#include <memory>

#include "connection_settings.h"
#include "postgres/server_address.h"
#include "postgres/server_schema.h"
#include "postgres/server_session.h"
#include "program_on.h"
#include "test_server.h"

namespace {

const QString kServerPrefix = QStringLiteral("Provider=PostgreSQL;Data Source=");
constexpr char kOwner[] = "telspr_owner";

QString passwordOf(const QString& login) {
    return QStringLiteral("Пароль %1 ok").arg(login);  // a space and letters beyond ASCII
}

// libpq's own connection to the directory a program's connection string names.
class Libpq {
public:
    explicit Libpq(const QString& connectionString)
        : m_conn(PQconnectdb(
              ConnectionSettings::parse(connectionString).dataSource.toUtf8().constData())) {}
    ~Libpq() { PQfinish(m_conn); }

    bool connected() const { return PQstatus(m_conn) == CONNECTION_OK; }
    QString error() const { return QString::fromUtf8(PQerrorMessage(m_conn)); }

    // Runs a statement; returns its SQLSTATE ("00000" when it succeeded) and first value.
    struct Outcome {
        QByteArray state;
        QString value;
    };
    Outcome run(const QString& sql, const QString& parameter = QString()) {
        const QByteArray text = parameter.toUtf8();
        const char* values[] = {text.constData()};
        PGresult* result =
            PQexecParams(m_conn, sql.toUtf8().constData(), parameter.isNull() ? 0 : 1, nullptr,
                         values, nullptr, nullptr, 0);
        Outcome outcome{"00000", QString()};
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_TUPLES_OK && PQntuples(result) > 0)
            outcome.value = QString::fromUtf8(PQgetvalue(result, 0, 0));
        else if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            outcome.state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        PQclear(result);
        return outcome;
    }
    QString value(const QString& sql, const QString& parameter = QString()) {
        const Outcome outcome = run(sql, parameter);
        if (outcome.state != "00000")
            QTest::qFail(qPrintable(sql + QStringLiteral(": ") + error()), __FILE__, __LINE__);
        return outcome.value;
    }

private:
    PGconn* m_conn;
};

}  // namespace

class ServerRolesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestServer> m_server;  // none when the logins' server is given
    QTemporaryFile m_passwords;            // the test's ~/.pgpass
    QString m_operator, m_reader;          // the programs' connection strings

    QString connectionOf(const QString& login) const {
        return kServerPrefix +
               QStringLiteral("postgresql://%1@127.0.0.1:%2/tel").arg(login).arg(m_server->port());
    }

    void runRoleScript(const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PGHOST"), m_server->socketFolder());
        environment.insert(QStringLiteral("PGPORT"), QString::number(m_server->port()));
        environment.insert(QStringLiteral("PGUSER"), TestServer::superuser());
        for (const QString login : {kOwner, "ivanova", "petrov"})
            environment.insert(QStringLiteral("TELSPR_PASSWORD_") + login.toUpper(),
                               passwordOf(login));
        QProcess script;
        script.setProcessEnvironment(environment);
        script.start(QStringLiteral("bash"), QStringList{QStringLiteral(ROLE_SCRIPT)} + arguments);
        QVERIFY(script.waitForFinished(60000));
        QVERIFY2(script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0,
                 script.readAllStandardError().constData());
    }

    // As the owner: what telspr-demo --city 0 --personal 0 makes, some entries, or more.
    void asOwner(const std::function<void(ServerSession&)>& work) {
        ServerSession owner(
            ServerAddress::parse(ConnectionSettings::parse(connectionOf(kOwner)).dataSource));
        work(owner);
    }

    static void searchSurname(ProgramOn& p, const QString& surname) {
        p.widget<QComboBox>(QStringLiteral("Edit1"))->setEditText(surname);
        p.run(QStringLiteral("SearchAct"));
    }

private slots:
    void initTestCase() {
        m_operator = qEnvironmentVariable("TEL_TEST_OPERATOR");
        m_reader = qEnvironmentVariable("TEL_TEST_READER");
        if (!m_operator.isEmpty() || !m_reader.isEmpty())
            return;
        // Over TCP only with a password, as from the operators' network; the superuser on
        // the socket without one, as root on the server.
        TestServer::Options options;
        options.hba = {QStringLiteral("local all all trust"),
                       QStringLiteral("host all all 127.0.0.1/32 scram-sha-256")};
        m_server = std::make_unique<TestServer>(options);
        QVERIFY(m_passwords.open());
        for (const QString login : {kOwner, "ivanova", "petrov", "stranger"})
            m_passwords.write(QStringLiteral("127.0.0.1:%1:tel:%2:%3\n")
                                  .arg(m_server->port())
                                  .arg(login, passwordOf(login))
                                  .toUtf8());
        m_passwords.close();
        qputenv("PGPASSFILE", m_passwords.fileName().toLocal8Bit());

        // The people in the wrong groups first: running the script again moves each.
        runRoleScript({"--operator", "petrov", "--reader", "ivanova"});
        asOwner([](ServerSession& owner) {
            createServerTables(owner);
            createServerSearchIndex(owner);
            owner.run(
                "INSERT INTO tel (tel, fam, ul, dom, kv) VALUES "
                "('12345', 'Иванов И.И.', 'Мира', '1', '2'), "
                "('23456', 'Петров П.П.', 'Лесная', '5', NULL), "
                "('34567', 'Сидоров С.С.', NULL, NULL, NULL)",
                QString());
        });
        runRoleScript({"--operator", "ivanova", "--reader", "petrov"});
        // Made after the script: only the default privileges give the groups their rights.
        asOwner(
            [](ServerSession& owner) { owner.run("CREATE TABLE later (note text)", QString()); });
        m_server->admin("CREATE ROLE stranger LOGIN PASSWORD '" + passwordOf("stranger").toUtf8() +
                        "'");
        m_operator = connectionOf(QStringLiteral("ivanova"));
        m_reader = connectionOf(QStringLiteral("petrov"));
    }

    void eachRoleKeepsToItsRights_data() {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("allowed");
        const auto row = [](const char* name, const char* login, const char* sql, bool allowed) {
            QTest::newRow(name) << QString::fromLatin1(login) << QString::fromUtf8(sql) << allowed;
        };
        row("operator adds", "ivanova", "INSERT INTO tel (fam) VALUES ('Новая')", true);
        row("operator changes", "ivanova", "UPDATE lich SET fam = fam", true);
        row("operator deletes", "ivanova", "DELETE FROM tel", true);
        row("operator takes a key", "ivanova",
            "SELECT nextval(pg_get_serial_sequence('tel', 'key'))", true);
        row("operator, table made later", "ivanova", "INSERT INTO later VALUES ('x')", true);
        row("operator drops", "ivanova", "DROP TABLE tel", false);
        row("operator alters", "ivanova", "ALTER TABLE lich ADD COLUMN note text", false);
        row("operator restarts keys", "ivanova", "ALTER TABLE tel ALTER COLUMN key RESTART", false);
        row("operator truncates", "ivanova", "TRUNCATE tel", false);
        row("operator indexes", "ivanova", "CREATE INDEX ON tel (tel)", false);
        row("operator drops an index", "ivanova", "DROP INDEX tel_fold_fam", false);
        row("operator creates a table", "ivanova", "CREATE TABLE mine (note text)", false);
        row("reader searches", "petrov", "SELECT count(*) FROM tel, lich, later", true);
        row("reader adds", "petrov", "INSERT INTO lich (fam) VALUES ('Новая')", false);
        row("reader changes", "petrov", "UPDATE tel SET fam = fam", false);
        row("reader deletes", "petrov", "DELETE FROM later", false);
        row("reader takes a key", "petrov", "SELECT nextval(pg_get_serial_sequence('tel', 'key'))",
            false);
        row("stranger connects", "stranger", "SELECT 1", false);
        row("owner drops", kOwner, "DROP TABLE later", true);
    }
    void eachRoleKeepsToItsRights() {
        if (!m_server)
            QSKIP("the rights are tried on the test's own server");
        QFETCH(QString, login);
        QFETCH(QString, sql);
        QFETCH(bool, allowed);
        Libpq as(connectionOf(login));
        if (!as.connected()) {
            QVERIFY2(!allowed && as.error().contains(u"permission denied for database"),
                     qPrintable(as.error()));
            return;
        }
        as.value(QStringLiteral("BEGIN"));  // rolled back: every row starts from the same tables
        const Libpq::Outcome outcome = as.run(sql);
        QCOMPARE(outcome.state, allowed ? QByteArray("00000") : QByteArray("42501"));
    }

    void anOperatorsProgramAddsFindsChangesAndDeletes() {
        if (m_operator.isEmpty())
            QSKIP("no operator's connection string given");
        // A surname of this run's own: the directory may hold anything else.
        const QString surname =
            QStringLiteral("Ролевая %1").arg(QCoreApplication::applicationPid());
        Libpq check(m_operator);
        QVERIFY2(check.connected(), qPrintable(check.error()));
        const QString findCity =
            QStringLiteral("SELECT string_agg(ul, ',') FROM tel WHERE fam = $1");
        const QString countPersonal = QStringLiteral("SELECT count(*) FROM lich WHERE fam = $1");
        ProgramOn p(m_operator);
        QCOMPARE(p.takeErrors(), QStringList());

        p.openAddDialog();
        p.typeInto("telin", QStringLiteral("45678"));
        p.typeInto("Edit1", surname);
        p.typeInto("Edit2", QStringLiteral("Мира"));
        p.typeInto("Edit3", QStringLiteral("7"));
        p.pressAddOk();
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(check.value(findCity, surname), QStringLiteral("Мира"));

        searchSurname(p, surname);
        QCOMPARE(p.main().directory().tel.recordCount(), 1);
        QCOMPARE(p.cell(0, 2), QStringLiteral("Мира"));
        p.run(QStringLiteral("red"));
        QLineEdit* editor = p.openCell(0, 2);
        editor->setText(QStringLiteral("Лесная"));
        QTest::keyClick(editor, Qt::Key_Tab);
        p.boxes.press(QMessageBox::Yes);  // "save the changes?" on leaving edit mode
        p.run(QStringLiteral("red"));
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(check.value(findCity, surname), QStringLiteral("Лесная"));

        p.run(QStringLiteral("N7"));  // copied into the personal directory
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(check.value(countPersonal, surname), QStringLiteral("1"));
        p.run(QStringLiteral("lich"));
        const QAbstractItemModel* rows = p.grid()->model();
        int row = 0;
        while (row < rows->rowCount() && p.cell(row, 1) != surname)
            ++row;
        QVERIFY(row < rows->rowCount());
        p.grid()->setCurrentIndex(rows->index(row, 0));
        p.run(QStringLiteral("del"));
        p.run(QStringLiteral("gor"));
        searchSurname(p, surname);
        p.run(QStringLiteral("del"));
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(check.value(countPersonal, surname), QStringLiteral("0"));
        QCOMPARE(check.value(findCity, surname), QString());
    }

    void aReadersProgramSearchesAndIsRefusedChangesAtOnce() {
        if (m_reader.isEmpty())
            QSKIP("no reader's connection string given");
        Libpq check(m_reader);
        QVERIFY2(check.connected(), qPrintable(check.error()));
        // What «%» as the house finds: every entry with a house number.
        const QString count = QStringLiteral("SELECT count(*) FROM tel WHERE dom IS NOT NULL");
        const QString entries = check.value(count);
        QVERIFY(entries.toInt() > 0);
        ProgramOn p(m_reader);
        p.searchAll();
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(QString::number(p.main().directory().tel.recordCount()), entries);
        for (const char* command : {"red", "add", "del"}) {
            p.boxes.press(QMessageBox::Ok);
            p.run(QString::fromLatin1(command));
            QCOMPARE(p.boxes.seen().size(), 1);
            const QString said = p.boxes.seen()[0].text;
            QVERIFY2(said.contains(u"только для чтения"), qPrintable(said));
            p.boxes.clear();
            QCOMPARE(p.main().directory().tel.state(), DataSet::State::Browse);
            QVERIFY(!p.program.addform->isVisible());
        }
        QCOMPARE(check.value(count), entries);
    }
};

QTEST_MAIN(ServerRolesTest)
#include "test_server_roles.moc"
