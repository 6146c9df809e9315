// The demo-directory generator: what it writes, that the same seed writes the same file, and
// how the program treats a file that is already there.
#include <libpq-fe.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "columns.h"
#include "connection.h"
#include "demo_directory.h"
#include "demo_entries.h"
#include "sqlite/search_index.h"
#include "sqlite/statement.h"
#include "test_directory.h"
#include "test_server.h"
#include "tool_run.h"

namespace {

using Row = QList<Value>;

QList<Row> readRows(const QString& path, const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QList<Row> rows;
    {
        Statement select(db, sql);
        while (select.step()) {
            Row row;
            for (int i = 0; i < select.columnCount(); ++i)
                row.append(select.text(i));
            rows.append(row);
        }
    }
    sqlite3_close(db);
    return rows;
}

QList<Row> serverRows(const QString& directory, const QByteArray& sql) {
    PGconn* conn = PQconnectdb(TestServer::instance().conninfo(directory).constData());
    PQsetClientEncoding(conn, "UTF8");
    PGresult* result = PQexec(conn, sql.constData());
    QList<Row> rows;
    for (int r = 0; r < PQntuples(result); ++r) {
        Row row;
        for (int c = 0; c < PQnfields(result); ++c)
            row.append(PQgetisnull(result, r, c)
                           ? Value()
                           : Value(QString::fromUtf8(PQgetvalue(result, r, c))));
        rows.append(row);
    }
    PQclear(result);
    PQfinish(conn);
    return rows;
}

qint64 count(const QString& path, const QByteArray& sql) {
    return readRows(path, sql).at(0).at(0)->toLongLong();
}

QByteArray contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray selectAll(const DirectoryTable& table) {
    QByteArrayList names;
    for (const Column& c : table.columns)
        names.append(c.name);
    return "SELECT " + names.join(", ") + " FROM " + table.name;
}

ToolRun runProgram(const QString& folder, const QStringList& arguments) {
    return runTool(QStringLiteral(DEMO_PROGRAM), folder, arguments, 60000);
}

}  // namespace

class DemoDirectoryTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_small;  // 2000 + 12 entries, the default seed

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_small = m_dir.filePath(QStringLiteral("small.dll"));
        writeDemoDirectory(m_small, {.cityEntries = 2000, .personalEntries = 12});
    }

    void writesTheEntriesAskedFor() {
        QCOMPARE(count(m_small, "SELECT count(*) FROM tel"), 2000);
        QCOMPARE(count(m_small, "SELECT count(*) FROM lich"), 12);
    }

    void everyValueFitsItsField() {
        const QRegularExpression tel(QStringLiteral("^\\d{5}$"));
        const QRegularExpression fam(QStringLiteral("^[А-ЯЁ][а-яё]+ [А-ЯЁ]\\.[А-ЯЁ]\\.$"));
        const QRegularExpression dom(QStringLiteral("^[1-9]\\d{0,2}([абвг]|/[1-9])?$"));
        const QRegularExpression kv(QStringLiteral("^[1-9]\\d{0,2}$"));
        const QRegularExpression mob(QStringLiteral("^\\+7 9\\d\\d \\d{3}-\\d\\d-\\d\\d$"));
        for (bool personal : {false, true}) {
            const DirectoryTable& table = personal ? kPersonalTable : kCityTable;
            const auto fields = table.columns;
            const QList<Row> rows = readRows(m_small, selectAll(table));
            for (const Row& row : rows) {
                for (int i = 0; i < int(fields.size()); ++i) {
                    const Value& value = row.at(i);
                    const QString name = QString::fromLatin1(fields[size_t(i)].name);
                    const bool required =
                        name == u"fam" || name == u"mob" || (name == u"tel" && !personal);
                    QVERIFY2(value || !required, qPrintable(name));
                    if (!value)
                        continue;
                    QVERIFY2(value->size() <= fields[size_t(i)].size, qPrintable(*value));
                    const QRegularExpression& shape =
                        name == u"tel"   ? tel
                        : name == u"fam" ? fam
                        : name == u"dom" ? dom
                        : name == u"kv"  ? kv
                        : name == u"mob" ? mob
                                         : QRegularExpression(QStringLiteral("\\S"));
                    QVERIFY2(shape.match(*value).hasMatch(),
                             qPrintable(name + QStringLiteral(": «") + *value + u'»'));
                    if (name == u"kv")
                        QVERIFY(value->toInt() <= 240);
                }
            }
        }
    }

    void sameSeedWritesTheSameFile() {
        const QString again = m_dir.filePath(QStringLiteral("again.dll"));
        const QString other = m_dir.filePath(QStringLiteral("other.dll"));
        writeDemoDirectory(again, {.cityEntries = 2000, .personalEntries = 12});
        writeDemoDirectory(other, {.cityEntries = 2000, .personalEntries = 12, .seed = 7});
        QVERIFY(contents(again) == contents(m_small));
        QVERIFY(contents(other) != contents(m_small));
        QVERIFY(readRows(other, "SELECT fam FROM tel") != readRows(m_small, "SELECT fam FROM tel"));
    }

    void fileIsSoundAndFullyIndexed() {
        QCOMPARE(runSqlite3(m_small, QStringLiteral("PRAGMA integrity_check")),
                 QStringLiteral("ok"));
        QCOMPARE(count(m_small, "SELECT count(*) FROM tel_fold JOIN tel USING (key)"), 2000);
        QCOMPARE(count(m_small, "SELECT count(*) FROM tel_fold"), 2000);
        QCOMPARE(count(m_small, "SELECT count(*) FROM tel_fold_pending"), 0);
        QCOMPARE(runSqlite3(m_small, QStringLiteral("PRAGMA journal_mode")),
                 QStringLiteral("delete"));
        // The folded copy is the fold of the entry, so searches find what the table holds.
        const QList<Row> pairs =
            readRows(m_small, "SELECT tel.fam, tel_fold.fam FROM tel JOIN tel_fold USING (key)");
        for (const Row& pair : pairs)
            QCOMPARE(*pair.at(1), pair.at(0)->toLower().replace(u'ё', u'е'));
    }

    // Searches for "Иванов" and for phones starting with 12 must find a known share.
    void sharesMakeSearchesMeaningful() {
        const QString path = m_dir.filePath(QStringLiteral("shares.dll"));
        const int n = 20000;
        writeDemoDirectory(path, {.cityEntries = n, .personalEntries = 0});
        const QList<Row> rows =
            readRows(path, "SELECT tel, fam, ul, dom, kv FROM tel ORDER BY key");
        int ivanov = 0, old = 0, women = 0, noFlat = 0, noStreet = 0, noHouse = 0;
        QSet<QString> phones, streets, surnames;
        for (const Row& r : rows) {
            const QString surname = r.at(1)->section(u' ', 0, 0);
            ivanov += surname.startsWith(u"Иванов");
            old += r.at(0)->startsWith(u"12");
            women += feminineSurname(surname) == surname && surname.endsWith(u'а');
            noFlat += !r.at(4);
            noStreet += !r.at(2);
            noHouse += !r.at(3);
            phones.insert(*r.at(0));
            surnames.insert(surname);
            if (r.at(2))
                streets.insert(*r.at(2));
        }
        const auto share = [n](int k) { return 100.0 * k / n; };
        QVERIFY2(share(ivanov) > 1.5 && share(ivanov) < 2.5,
                 qPrintable(QString::number(share(ivanov))));
        QVERIFY2(share(old) > 0.5 && share(old) < 1.5, qPrintable(QString::number(share(old))));
        QVERIFY2(share(women) > 30 && share(women) < 50, qPrintable(QString::number(share(women))));
        QVERIFY2(share(noFlat) > 20 && share(noFlat) < 30,
                 qPrintable(QString::number(share(noFlat))));
        QVERIFY(noStreet > 0 && share(noStreet) < 1);
        QVERIFY(noHouse > 0 && share(noHouse) < 1);
        QCOMPARE(phones.size(), n);  // fewer entries than numbers in the plan: no number twice
        // In the order of the phones, which keeps building their index cheap.
        QVERIFY(std::is_sorted(rows.begin(), rows.end(),
                               [](const Row& a, const Row& b) { return *a.at(0) < *b.at(0); }));
        QVERIFY(streets.size() > 200);
        QVERIFY(surnames.size() > 300);
    }

    void feminineSurnames_data() {
        QTest::addColumn<QString>("male");
        QTest::addColumn<QString>("female");
        QTest::newRow("-ов") << "Иванов"
                             << "Иванова";
        QTest::newRow("-ев") << "Медведев"
                             << "Медведева";
        QTest::newRow("-ёв") << "Королёв"
                             << "Королёва";
        QTest::newRow("-ин") << "Ёлкин"
                             << "Ёлкина";
        QTest::newRow("-ын") << "Птицын"
                             << "Птицына";
        QTest::newRow("-ский") << "Островский"
                               << "Островская";
        QTest::newRow("-цкий") << "Троицкий"
                               << "Троицкая";
        QTest::newRow("-ской") << "Луговской"
                               << "Луговская";
        QTest::newRow("-ко") << "Шевченко"
                             << "Шевченко";
        QTest::newRow("-ых") << "Черных"
                             << "Черных";
        QTest::newRow("-ук") << "Полищук"
                             << "Полищук";
    }

    void feminineSurnames() {
        QFETCH(QString, male);
        QFETCH(QString, female);
        QCOMPARE(feminineSurname(male), female);
    }

    void failureLeavesNothingBehind() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("missing/tel.dll"));
        QVERIFY_THROWS_EXCEPTION(Error, writeDemoDirectory(path, {.cityEntries = 10}));
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void programKeepsAnExistingFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tel.dll"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not to be lost");
        file.close();
        const ToolRun run =
            runProgram(dir.path(), {QStringLiteral("--city"), QStringLiteral("10")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(u"tel.dll"));
        QCOMPARE(contents(path), QByteArray("not to be lost"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("tel.dll")});
    }

    void programReplacesWithForce() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("city.dll"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
        file.close();
        QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
        const ToolRun run = runProgram(
            dir.path(), {QStringLiteral("--force"), QStringLiteral("--city"), QStringLiteral("50"),
                         QStringLiteral("--personal"), QStringLiteral("3"), path});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(count(path, "SELECT count(*) FROM tel"), 50);
        QCOMPARE(count(path, "SELECT count(*) FROM lich"), 3);
        QCOMPARE(file.permissions() & QFile::Permissions(0x7077),
                 QFile::ReadOwner | QFile::WriteOwner);  // owner, group, others
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("city.dll")});
    }

    void programWritesTelDllByDefault() {
        QTemporaryDir dir;
        QCOMPARE(runProgram(dir.path(), {QStringLiteral("--city"), QStringLiteral("5")}).exitCode,
                 0);
        QCOMPARE(count(dir.filePath(QStringLiteral("tel.dll")), "SELECT count(*) FROM tel"), 5);
        QCOMPARE(count(dir.filePath(QStringLiteral("tel.dll")), "SELECT count(*) FROM lich"), 12);
    }

    void programFillsADirectoryOnAServerOnce() {
        TestServer& server = TestServer::instance();
        const QString directory = server.createDirectory();
        const QString connection = "Provider=PostgreSQL;Data Source=" + server.uri(directory);
        const QStringList fill = {"--connection", connection, "--city", "2000", "--personal", "12"};
        QCOMPARE(runProgram(m_dir.path(), fill).exitCode, 0);
        // The same entries, in the same key order, as the file the same seed makes.
        for (const DirectoryTable* table : kDirectoryTables) {
            const QByteArray sql = selectAll(*table) + " ORDER BY key";
            QCOMPARE(serverRows(directory, sql), readRows(m_small, sql));
        }
        Connection opened(connection);
        opened.open();
        QVERIFY(opened.hasSearchIndex());
        // The tables are there now: a second fill, with or without --force, changes nothing.
        const ToolRun again = runProgram(m_dir.path(), fill);
        QCOMPARE(again.exitCode, 2);
        QVERIFY2(again.err.contains(u"уже есть таблица «tel»"), qPrintable(again.err));
        QCOMPARE(runProgram(m_dir.path(), QStringList(fill) << "--force").exitCode, 1);
        QCOMPARE(serverRows(directory, "SELECT count(*) FROM tel"), QList<Row>{{Value("2000")}});
        server.dropDirectory(directory);
    }

    void programRejectsBadArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("count not a number")
            << QStringList{QStringLiteral("--city"), QStringLiteral("many")};
        QTest::newRow("negative count")
            << QStringList{QStringLiteral("--personal"), QStringLiteral("-1")};
        QTest::newRow("seed not a number")
            << QStringList{QStringLiteral("--seed"), QStringLiteral("x")};
        QTest::newRow("unknown option")
            << QStringList{QStringLiteral("--cities"), QStringLiteral("5")};
        QTest::newRow("two files") << QStringList{QStringLiteral("a.dll"), QStringLiteral("b.dll")};
        QTest::newRow("a file and a connection")
            << QStringList{QStringLiteral("a.dll"), QStringLiteral("--connection"),
                           QStringLiteral("Data Source=b.dll")};
    }

    void programRejectsBadArguments() {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const ToolRun run = runProgram(dir.path(), arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!run.err.isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(DemoDirectoryTest)
#include "test_demo_directory.moc"
