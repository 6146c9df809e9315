#include "test_directory.h"

#include <sqlite3.h>

#include <QProcess>
#include <QTest>

#include "connection_settings.h"
#include "sqlite/fold_function.h"
#include "sqlite/schema.h"
#include "sqlite/search_index.h"
#include "sqlite/statement.h"

namespace {

QString show(const Value& v) {
    return v ? u'"' + *v + u'"' : QStringLiteral("null");
}

}  // namespace

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

TestDirectory::TestDirectory(bool withSearchIndex) {
    if (withSearchIndex) {
        initDatabase(path());
    } else {
        sqlite3* db = nullptr;
        sqlite3_open(path().toUtf8().constData(), &db);
        createTables(db);
        sqlite3_close(db);
    }
    sqlite3_open_v2(path().toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(m_db, 5000);
}

TestDirectory::~TestDirectory() {
    sqlite3_close_v2(m_db);
}

QString TestDirectory::connectionString() const {
    QString s = QString::fromLatin1(kConnectionString);
    return s.replace(QStringLiteral("Data Source=tel.dll"),
                     QStringLiteral("Data Source=") + path());
}

qint64 TestDirectory::add(const char* table, const TestEntry& e, bool personal) {
    const QByteArray sql =
        QByteArray("INSERT INTO ") + table +
        (personal ? " (tel, fam, ul, dom, kv, mob) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"
                  : " (tel, fam, ul, dom, kv) VALUES (?1, ?2, ?3, ?4, ?5)");
    Statement insert(m_db, sql);
    const Value* values[] = {&e.tel, &e.fam, &e.ul, &e.dom, &e.kv, &e.mob};
    for (int i = 0; i < (personal ? 6 : 5); ++i)
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
    Statement select(m_db, QByteArray("SELECT tel, fam, ul, dom, kv") + (personal ? ", mob" : "") +
                               " FROM " + table + " ORDER BY key");
    QList<TestEntry> entries;
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
    execute(m_db, sql.toUtf8().constData());
}

QString runSqlite3(const QString& file, const QString& sql) {
    QProcess process;
    process.start(QStringLiteral(SQLITE3_PROGRAM), {file, sql});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        QTest::qFail(("sqlite3 failed: " + process.readAllStandardError()).constData(), __FILE__,
                     __LINE__);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
