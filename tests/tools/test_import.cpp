// telspr-import, the real program on real files: an mdb-export file of 10,000 records loaded
// exactly and found by the program's search, the personal directory, and CSV files it must
// refuse without changing anything.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include "connection_settings.h"
#include "directory.h"
#include "test_directory.h"
#include "tool_run.h"

namespace {

ToolRun runImport(const QString& folder, const QStringList& arguments) {
    return runTool(QStringLiteral(IMPORT_PROGRAM), folder, arguments);
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A field as mdb-export writes it: no value as an empty unquoted field, a text in quotes
// with its quotes doubled (so "" is the empty text).
QByteArray mdbField(const Value& value) {
    if (!value)
        return {};
    return '"' + value->toUtf8().replace('"', "\"\"") + '"';
}

// Awkward values for every field: separators, quotes and line breaks inside, Ё, leading
// zeros and spaces that must stay, the empty text; each fits its field.
Value pick(QRandomGenerator& random, std::initializer_list<const char*> choices) {
    const char* choice = choices.begin()[random.bounded(int(choices.size()))];
    return choice ? Value(QString::fromUtf8(choice)) : std::nullopt;
}

TestEntry randomEntry(QRandomGenerator& random, int i) {
    TestEntry e;
    e.tel = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
    e.fam = pick(random, {"Иванов И.И.", "Ёлкина А.Б.", "О'Коннор, Дж.", "\"Рога\" и копыта",
                          "Строка\nи ещё одна", "ООО \"Связь\", касса", "  пробелы  ", ""});
    e.ul = pick(random, {"Ленина", "Мира, пр-т", nullptr, "", "Ёлочная", "1-я \"Садовая\""});
    e.dom = pick(random, {"1", "12а", "7/2", nullptr, "\"5\"", ","});
    e.kv = pick(random, {"1", "045", nullptr, "", "12\r\n"});
    if (e.fam && !e.fam->isEmpty())
        e.fam = *e.fam + QString::number(i % 97);
    return e;
}

// Empty fields are stored without a value.
TestEntry stored(TestEntry e) {
    for (Value* v : {&e.tel, &e.fam, &e.ul, &e.dom, &e.kv, &e.mob})
        if (v->has_value() && (*v)->isEmpty())
            v->reset();
    return e;
}

QString connectionStringFor(const QString& path) {
    return QString::fromLatin1(kConnectionString)
        .replace(QStringLiteral("Data Source=tel.dll"), QStringLiteral("Data Source=") + path);
}

int citySearchCount(const QString& path, const QString& surnamePrefix) {
    Directory directory(connectionStringFor(path));
    CityCriteria criteria = CityCriteria::everything();
    criteria.filter.fam = surnamePrefix;
    directory.tel.setCriteria(criteria);
    directory.tel.open();
    return directory.tel.recordCount();
}

}  // namespace

class ImportTest : public QObject {
    Q_OBJECT

private slots:
    void loadsAnMdbExportFileIntoANewDirectory() {
        QTemporaryDir dir;
        QRandomGenerator random(14);
        // mdb-export's header: the Access table's columns, its key among them, in its order.
        QByteArray csv = "key,FAM,Tel,UL,Dom,kv\n";
        QList<TestEntry> expected;
        for (int i = 0; i < 10000; ++i) {
            const TestEntry e = randomEntry(random, i);
            csv += QByteArray::number(100000 + i) + ',' + mdbField(e.fam) + ',' + mdbField(e.tel) +
                   ',' + mdbField(e.ul) + ',' + mdbField(e.dom) + ',' + mdbField(e.kv) + '\n';
            expected.append(stored(e));
        }
        write(dir.filePath(QStringLiteral("город.csv")), csv);

        const ToolRun run =
            runImport(dir.path(), {QStringLiteral("город.csv"), QStringLiteral("--into"),
                                   QStringLiteral("новый справочник.dll")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(u"Создан") && run.out.contains(u": 10000."), qPrintable(run.out));

        const QString path = dir.filePath(QStringLiteral("новый справочник.dll"));
        QCOMPARE(runSqlite3(path, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
        QCOMPARE(runSqlite3(path, QStringLiteral("SELECT count(*) FROM lich")),
                 QStringLiteral("0"));
        const QString rows = runSqlite3(
            path, QStringLiteral("SELECT quote(tel), quote(fam), quote(ul), quote(dom), quote(kv) "
                                 "FROM tel ORDER BY key"));
        QStringList want;
        const auto quote = [](const Value& v) {
            return v ? u'\'' + QString(*v).replace(u'\'', QStringLiteral("''")) + u'\''
                     : QStringLiteral("NULL");
        };
        for (const TestEntry& e : expected)
            want.append(
                QStringList{quote(e.tel), quote(e.fam), quote(e.ul), quote(e.dom), quote(e.kv)}
                    .join(u'|'));
        QCOMPARE(rows, want.join(u'\n'));

        // The search index learns of the entries from its triggers: the program's search
        // ignoring case and Ё finds all of them.
        const auto count = [&](const QString& prefix) {
            return int(std::count_if(expected.begin(), expected.end(), [&](const TestEntry& e) {
                return e.fam && e.fam->startsWith(prefix);
            }));
        };
        QVERIFY(count(QStringLiteral("Ёлкина")) > 0);
        QCOMPARE(citySearchCount(path, QStringLiteral("елкина")), count(QStringLiteral("Ёлкина")));
        QCOMPARE(citySearchCount(path, QStringLiteral("\"рога")),
                 count(QStringLiteral("\"Рога\"")));
    }

    // Into a directory that has entries: they stay, the new ones follow them.
    void loadsThePersonalDirectoryBesideExistingEntries() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "Городской", "Мира", "1", "1"));
        const TestEntry before{"22222", "Был", "Мира", "2", "3", "+7 900 000-00-00"};
        file.addPersonal(before);
        write(file.folder() + QStringLiteral("/lich.csv"),
              "MOB,Ul, dom ,KV,Fam,TEL,note\n"
              "+7 911 111-11-11,Ёлочная,5,,\"Петров, П.\",12345,друг\n"
              ",,,,Без адреса,,\n");

        const ToolRun run =
            runImport(file.folder(), {QStringLiteral("--personal"), QStringLiteral("lich.csv")});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(u"личный") && run.out.contains(u": 2."), qPrintable(run.out));
        QCOMPARE(file.personal(),
                 (QList<TestEntry>{before,
                                   {"12345", "Петров, П.", "Ёлочная", "5", {}, "+7 911 111-11-11"},
                                   {{}, "Без адреса", {}, {}, {}, {}}}));
        QCOMPARE(file.city().size(), 1);
    }

    void refusesAndChangesNothing_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("personal");
        QTest::addColumn<QString>("message");
        const QByteArray header = "tel,fam,ul,dom,kv\n";
        QTest::newRow("columns missing")
            << QByteArray("tel,FAM,street,dom\n1,2,3,4\n") << false << "ul, kv";
        QTest::newRow("personal without mob") << header + "1,2,3,4,5\n"
                                              << true << "нет столбцов: mob";
        QTest::newRow("column twice")
            << QByteArray("tel,fam,ul,dom,kv,Tel\n1,2,3,4,5,6\n") << false << "tel";
        QTest::newRow("unterminated quote") << header + "1,\"Иванов,3,4,5\n2,Петров,3,4,5\n"
                                            << false << "CSV";
        QTest::newRow("record with more fields") << header + "1,2,3,4,5,6\n" << false << "CSV";
        QTest::newRow("record with fewer fields") << header + "1,2,3\n" << false << "CSV";
        QTest::newRow("value too long")
            << header + "1,Иванов,3,4,5\n2,Константинопольский-Задунайский,3,4,5\n"
            << false << "№ 2";
        QTest::newRow("empty file") << QByteArray() << false << "пуст";
        QTest::newRow("Windows-1251") << header + "1,\xc8\xe2\xe0\xed\xee\xe2,3,4,5\n"
                                      << false << "UTF-8";
    }

    // Neither an existing directory nor a missing one is touched.
    void refusesAndChangesNothing() {
        QFETCH(QByteArray, csv);
        QFETCH(bool, personal);
        QFETCH(QString, message);
        TestDirectory file;
        file.addCity(cityEntry("11111", "Иванов", "Мира", "1", "1"));
        const QString csvPath = file.folder() + QStringLiteral("/bad.csv");
        write(csvPath, csv);
        const QByteArray before = contents(file.path());
        const QStringList folderBefore = QDir(file.folder()).entryList(QDir::Files | QDir::Hidden);

        for (const QString& target : {QStringLiteral("tel.dll"), QStringLiteral("new.dll")}) {
            QStringList arguments{csvPath, QStringLiteral("--into"), target};
            if (personal)
                arguments.append(QStringLiteral("--personal"));
            const ToolRun run = runImport(file.folder(), arguments);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(message), qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
        QVERIFY(contents(file.path()) == before);
        QCOMPARE(QDir(file.folder()).entryList(QDir::Files | QDir::Hidden), folderBefore);
    }

    void refusesAFileThatIsNoDirectory() {
        QTemporaryDir dir;
        write(dir.filePath(QStringLiteral("tel.dll")), "not a database");
        write(dir.filePath(QStringLiteral("ok.csv")), "tel,fam,ul,dom,kv\n1,2,3,4,5\n");
        const ToolRun run = runImport(dir.path(), {QStringLiteral("ok.csv")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"tel.dll"), qPrintable(run.err));
        QCOMPARE(contents(dir.filePath(QStringLiteral("tel.dll"))), QByteArray("not a database"));
    }
};

QTEST_GUILESS_MAIN(ImportTest)
#include "test_import.moc"
