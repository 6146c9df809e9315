#include "test_directory.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QProcess>
#include <QTest>

#include "connection_settings.h"
#include "postgres/server_schema.h"
#include "postgres/server_session.h"
#include "sqlite/fold_function.h"
#include "sqlite/schema.h"
#include "sqlite/search_index.h"
#include "sqlite/statement.h"
#include "test_server.h"

namespace {

QString show(const Value& v) {
    return v ? u'"' + *v + u'"' : QStringLiteral("null");
}

bool succeeded(const PGresult* result) {
    const ExecStatusType status = PQresultStatus(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

Value serverValue(const PGresult* result, int row, int column) {
    if (PQgetisnull(result, row, column))
        return std::nullopt;
    return QString::fromUtf8(PQgetvalue(result, row, column), PQgetlength(result, row, column));
}

// Tables as another tool makes them: a file's columns in capitals, a server's as mdb-schema
// writes an Access file's for PostgreSQL, every name quoted in its own letter case.
const char kFileTablesInCapitals[] =
    "CREATE TABLE tel (KEY INTEGER PRIMARY KEY AUTOINCREMENT, TEL VARCHAR(7), FAM VARCHAR(30),"
    " UL VARCHAR(30), DOM VARCHAR(5), KV VARCHAR(5));"
    "CREATE TABLE lich (KEY INTEGER PRIMARY KEY AUTOINCREMENT, TEL VARCHAR(7), FAM VARCHAR(30),"
    " UL VARCHAR(30), DOM VARCHAR(5), KV VARCHAR(5), MOB VARCHAR(30));";
const char* const kServerTablesQuoted[] = {
    "CREATE TABLE \"tel\" (\"key\" SERIAL, \"Tel\" VARCHAR (7), \"Fam\" VARCHAR (30),"
    " \"Ul\" VARCHAR (30), \"Dom\" VARCHAR (5), \"Kv\" VARCHAR (5))",
    "CREATE TABLE \"lich\" (\"key\" SERIAL, \"tel\" VARCHAR (7), \"fam\" VARCHAR (30),"
    " \"Ul\" VARCHAR (30), \"dom\" VARCHAR (5), \"kv\" VARCHAR (5), \"Mob\" VARCHAR (30))"};

}  // namespace

bool testsOnServer() {
    return qgetenv("TEL_TEST_ENGINE") == "postgresql";
}

char* toString(const TestEntry& e) {
    const QString text =
        QStringLiteral("{%1 %2 %3 %4 %5 %6}")
            .arg(show(e.tel), show(e.fam), show(e.ul), show(e.dom), show(e.kv), show(e.mob));
    return qstrdup(text.toUtf8().constData());
}

char* toString(const Value& v) {
    return qstrdup(show(v).toUtf8().constData());
}

TestEntry cityEntry(Value tel, Value fam, Value ul, Value dom, Value kv) {
    return TestEntry{std::move(tel), std::move(fam), std::move(ul),
                     std::move(dom), std::move(kv),  std::nullopt};
}

TestDirectory::TestDirectory(bool withSearchIndex, Maker maker)
    : TestDirectory(testsOnServer() ? &TestServer::instance() : nullptr, withSearchIndex, maker) {}

TestDirectory::TestDirectory(TestServer& server) : TestDirectory(&server, true, Maker::Program) {}

TestDirectory::TestDirectory(TestServer* serverOf, bool withSearchIndex, Maker maker)
    : m_serverOf(serverOf) {
    if (serverOf) {
        TestServer& server = *serverOf;
        m_schema = server.createDirectory();
        m_server = PQconnectdb(server.conninfo(m_schema).constData());
        // "terminating connection due to ...": the tests stop servers on purpose.
        PQsetNoticeProcessor(
            m_server, [](void*, const char*) {}, nullptr);
        PQsetClientEncoding(m_server, "UTF8");
        if (maker == Maker::AnotherTool) {
            m_quotedMixedCase = true;
            for (const char* sql : kServerTablesQuoted)
                PQclear(serverCall(sql));
            return;
        }
        ServerSession session(ServerAddress::parse(server.uri(m_schema)));
        createServerTables(session);
        if (withSearchIndex)
            createServerSearchIndex(session);
        return;
    }
    if (maker == Maker::Program && withSearchIndex) {
        initDatabase(path());
    } else {
        sqlite3* db = nullptr;
        sqlite3_open(path().toUtf8().constData(), &db);
        if (maker == Maker::Program) {
            createTables(db);
        } else {
            execute(db, kFileTablesInCapitals);
            registerFoldFunction(db);
            if (withSearchIndex)
                createSearchIndex(db);
        }
        sqlite3_close(db);
    }
    sqlite3_open_v2(path().toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(m_db, 5000);
}

TestDirectory::~TestDirectory() {
    sqlite3_close_v2(m_db);
    if (m_server) {
        if (!m_reader.isEmpty()) {
            PQclear(serverCall("DROP OWNED BY " + m_reader.toLatin1()));
            PQclear(serverCall("DROP ROLE " + m_reader.toLatin1()));
        }
        PQfinish(m_server);
        m_serverOf->dropDirectory(m_schema);
    }
}

QString TestDirectory::connectionString() const {
    if (onServer())
        return QStringLiteral("Provider=PostgreSQL;Data Source=") + m_serverOf->uri(m_schema);
    QString s = QString::fromLatin1(kConnectionString);
    return s.replace(QStringLiteral("Data Source=tel.dll"),
                     QStringLiteral("Data Source=") + path());
}

QString TestDirectory::readerConnectionString() {
    if (!onServer())
        return connectionString().replace(QStringLiteral("Mode=ReadWrite"),
                                          QStringLiteral("Mode=Read"));
    if (m_reader.isEmpty()) {
        // Roles belong to the whole server: the directory's name keeps this one its own.
        const QByteArray role = m_schema.toLatin1() + "_reader";
        PQclear(serverCall("CREATE ROLE " + role + " LOGIN"));
        PQclear(serverCall("GRANT USAGE ON SCHEMA " + m_schema.toLatin1() + " TO " + role));
        PQclear(serverCall("GRANT SELECT ON tel, lich TO " + role));
        m_reader = QString::fromLatin1(role);
    }
    return QStringLiteral("Provider=PostgreSQL;Data Source=") + m_serverOf->uri(m_schema, m_reader);
}

PGresult* TestDirectory::serverCall(const QByteArray& sql, int count,
                                    const char* const* values) const {
    for (int attempt = 0;; ++attempt) {
        PGresult* result =
            PQexecParams(m_server, sql.constData(), count, nullptr, values, nullptr, nullptr, 0);
        if (succeeded(result))
            return result;
        // A test may have restarted the server, or let a standby take over: the test's own
        // connection comes back. (libpq may not have seen the connection end yet: its own
        // errors carry no code from the server.)
        const bool noAnswer = !PQresultErrorField(result, PG_DIAG_SQLSTATE);
        PQclear(result);
        if (attempt == 0 && (PQstatus(m_server) == CONNECTION_BAD || noAnswer)) {
            PQreset(m_server);
            continue;
        }
        QTest::qFail(PQerrorMessage(m_server), __FILE__, __LINE__);
        return nullptr;
    }
}

QByteArray TestDirectory::columns(bool personal) const {
    if (m_quotedMixedCase)
        return personal ? R"(tel, fam, "Ul", dom, kv, "Mob")"
                        : R"("Tel", "Fam", "Ul", "Dom", "Kv")";
    return personal ? "tel, fam, ul, dom, kv, mob" : "tel, fam, ul, dom, kv";
}

qint64 TestDirectory::add(const char* table, const TestEntry& e, bool personal) {
    const Value* values[] = {&e.tel, &e.fam, &e.ul, &e.dom, &e.kv, &e.mob};
    const int count = personal ? 6 : 5;
    const QByteArray columns = " (" + this->columns(personal) + ")";
    if (onServer()) {
        QList<QByteArray> utf8;
        std::vector<const char*> texts;
        for (int i = 0; i < count; ++i)
            utf8.append(*values[i] ? (*values[i])->toUtf8() : QByteArray());
        for (int i = 0; i < count; ++i)
            texts.push_back(*values[i] ? utf8[i].constData() : nullptr);
        const QByteArray sql =
            QByteArray("INSERT INTO ") + table + columns +
            (personal ? " VALUES ($1, $2, $3, $4, $5, $6)" : " VALUES ($1, $2, $3, $4, $5)") +
            " RETURNING key";
        PGresult* result = serverCall(sql, count, texts.data());
        const qint64 key = QByteArray(PQgetvalue(result, 0, 0)).toLongLong();
        PQclear(result);
        return key;
    }
    const QByteArray sql =
        QByteArray("INSERT INTO ") + table + columns +
        (personal ? " VALUES (?1, ?2, ?3, ?4, ?5, ?6)" : " VALUES (?1, ?2, ?3, ?4, ?5)");
    Statement insert(m_db, sql);
    for (int i = 0; i < count; ++i)
        insert.bindValue(i + 1, *values[i]);
    insert.run();
    return sqlite3_last_insert_rowid(m_db);
}

qint64 TestDirectory::addCity(const TestEntry& entry) {
    return add("tel", entry, false);
}
qint64 TestDirectory::addPersonal(const TestEntry& entry) {
    return add("lich", entry, true);
}

QList<TestEntry> TestDirectory::read(const char* table, bool personal) const {
    const QByteArray sql = "SELECT " + columns(personal) + " FROM " + table + " ORDER BY key";
    QList<TestEntry> entries;
    if (onServer()) {
        PGresult* r = serverCall(sql);
        for (int row = 0; row < PQntuples(r); ++row)
            entries.append({serverValue(r, row, 0), serverValue(r, row, 1), serverValue(r, row, 2),
                            serverValue(r, row, 3), serverValue(r, row, 4),
                            personal ? serverValue(r, row, 5) : std::nullopt});
        PQclear(r);
        return entries;
    }
    Statement select(m_db, sql);
    while (select.step()) {
        entries.append({select.text(0), select.text(1), select.text(2), select.text(3),
                        select.text(4), personal ? select.text(5) : std::nullopt});
    }
    return entries;
}

QList<TestEntry> TestDirectory::city() const {
    return read("tel", false);
}
QList<TestEntry> TestDirectory::personal() const {
    return read("lich", true);
}

void TestDirectory::exec(const QString& sql) {
    if (onServer())
        PQclear(serverCall(sql.toUtf8()));
    else
        execute(m_db, sql.toUtf8().constData());
}

QString TestDirectory::query(const QString& sql) const {
    if (onServer()) {
        PGresult* r = serverCall(sql.toUtf8());
        const QString value = serverValue(r, 0, 0).value_or(QString());
        PQclear(r);
        return value;
    }
    Statement select(m_db, sql.toUtf8());
    return select.step() ? select.text(0).value_or(QString()) : QString();
}

QString runSqlite3(const QString& file, const QString& sql) {
    QProcess process;
    process.start(QStringLiteral(SQLITE3_PROGRAM), {file, sql});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        QTest::qFail(("sqlite3 failed: " + process.readAllStandardError()).constData(), __FILE__,
                     __LINE__);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
