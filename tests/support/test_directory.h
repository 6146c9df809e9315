#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <optional>

struct sqlite3;
struct pg_conn;
class TestServer;

using Value = std::optional<QString>;

// One entry as tests write and read it; mob is used by the personal directory only.
struct TestEntry {
    Value tel, fam, ul, dom, kv, mob;
    friend bool operator==(const TestEntry&, const TestEntry&) = default;
};
char* toString(const TestEntry& entry);  // for QCOMPARE messages
char* toString(const Value& value);

// Whether the tests run on a PostgreSQL server: TEL_TEST_ENGINE=postgresql, which ctest sets
// for the second run of the tests that run on both engines.
bool testsOnServer();

// A directory of a test's own, created with the program's own schema and read and written
// behind the program's back: the file `tel.dll` in a fresh temporary folder, or, when the
// tests run on a server, a fresh directory on the test server (test_server.h) reached with
// libpq. The folder exists either way, for what a test exports.
class TestDirectory {
public:
    // Who made the tables: the program, or another tool that names the columns its own way:
    // a file's in capitals (TEL, FAM, ...), a server's quoted in mixed case ("Ul", "Mob"), as
    // mdb-schema ... postgres writes an Access file's tables, and without search indexes.
    enum class Maker { Program, AnotherTool };

    explicit TestDirectory(bool withSearchIndex = true, Maker maker = Maker::Program);
    explicit TestDirectory(TestServer& server);  // on a server of the test's own
    ~TestDirectory();

    bool onServer() const { return m_server != nullptr; }
    QString folder() const { return m_dir.path(); }
    QString path() const { return m_dir.filePath(QStringLiteral("tel.dll")); }  // the file
    // The program's connection string for this directory.
    QString connectionString() const;
    // The same for a user who may only search it: a role with SELECT alone on the server,
    // the file opened with Mode=Read.
    QString readerConnectionString();

    qint64 addCity(const TestEntry& entry);
    qint64 addPersonal(const TestEntry& entry);
    QList<TestEntry> city() const;      // in key order
    QList<TestEntry> personal() const;  // in key order
    // Runs SQL that both engines understand; query() returns the first value of its first row.
    void exec(const QString& sql);
    QString query(const QString& sql) const;
    // "tel, fam, ul, dom, kv" (and ", mob" for the personal table) as SQL names them here.
    QByteArray columns(bool personal) const;

private:
    TestDirectory(TestServer* server, bool withSearchIndex, Maker maker);
    qint64 add(const char* table, const TestEntry& entry, bool personal);
    QList<TestEntry> read(const char* table, bool personal) const;
    // A statement on the tests' own server connection that must succeed.
    struct pg_result* serverCall(const QByteArray& sql, int count = 0,
                                 const char* const* values = nullptr) const;

    QTemporaryDir m_dir;
    sqlite3* m_db = nullptr;
    pg_conn* m_server = nullptr;
    TestServer* m_serverOf = nullptr;
    QString m_schema;
    QString m_reader;  // the reader's role on the server, once made
    bool m_quotedMixedCase = false;
};

// Runs the sqlite3 program on the file; returns its standard output.
QString runSqlite3(const QString& file, const QString& sql);

// Some shorthand for the entries tests use.
TestEntry cityEntry(Value tel, Value fam, Value ul, Value dom, Value kv);
