#pragma once

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <optional>

struct sqlite3;

using Value = std::optional<QString>;

// One entry as tests write and read it; mob is used by the personal directory only.
struct TestEntry {
    Value tel, fam, ul, dom, kv, mob;
    friend bool operator==(const TestEntry&, const TestEntry&) = default;
};
char* toString(const TestEntry& entry);  // for QCOMPARE messages
char* toString(const Value& value);

// A directory file `tel.dll` in a fresh temporary folder, created with the program's own
// schema, and read and written behind the program's back with SQLite directly.
class TestDirectory {
public:
    explicit TestDirectory(bool withSearchIndex = true);
    ~TestDirectory();

    QString folder() const { return m_dir.path(); }
    QString path() const { return m_dir.filePath(QStringLiteral("tel.dll")); }
    // The program's connection string with the data source pointing at this file.
    QString connectionString() const;

    qint64 addCity(const TestEntry& entry);
    qint64 addPersonal(const TestEntry& entry);
    QList<TestEntry> city() const;      // in key order
    QList<TestEntry> personal() const;  // in key order
    void exec(const QString& sql);

private:
    qint64 add(const char* table, const TestEntry& entry, bool personal);
    QList<TestEntry> read(const char* table, bool personal) const;

    QTemporaryDir m_dir;
    sqlite3* m_db = nullptr;
};

// Runs the sqlite3 program on the file; returns its standard output.
QString runSqlite3(const QString& file, const QString& sql);

// Some shorthand for the entries tests use.
TestEntry cityEntry(Value tel, Value fam, Value ul, Value dom, Value kv);
