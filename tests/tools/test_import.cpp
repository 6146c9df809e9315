// telspr-import, the real program on a directory of the test's own, a file or a server: an
// mdb-export file of 10,000 records loaded exactly and found by the program's search, adding
// to and replacing a directory's entries with keys that stay fresh, and CSV files and
// commands it must refuse in Russian without changing anything.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "connection_settings.h"
#include "directory.h"
#include "storage_engine.h"
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

int citySearchCount(const QString& connectionString, const QString& surnamePrefix) {
    Directory directory(connectionString);
    CityCriteria criteria = CityCriteria::everything();
    criteria.filter.fam = surnamePrefix;
    directory.tel.setCriteria(criteria);
    directory.tel.open();
    return directory.tel.recordCount();
}

// Entries with keys of their own, as an administrator's \copy of an mdb-export file writes
// them: the server's key sequence does not move.
void addWithKeys(TestDirectory& directory, const char* table, const QList<TestEntry>& entries) {
    const bool personal = qstrcmp(table, "lich") == 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TestEntry& e = entries[i];
        QStringList values{QString::number(i + 1)};
        for (const Value& v : {e.tel, e.fam, e.ul, e.dom, e.kv, e.mob})
            values.append(v ? u'\'' + *v + u'\'' : QStringLiteral("NULL"));
        if (!personal)
            values.removeLast();
        directory.exec(
            QStringLiteral("INSERT INTO %1 (key, %2) %3 VALUES (%4)")
                .arg(QLatin1StringView(table), QString::fromLatin1(directory.columns(personal)),
                     directory.onServer() ? QStringLiteral("OVERRIDING SYSTEM VALUE") : QString(),
                     values.join(u',')));
    }
}

}  // namespace

class ImportTest : public QObject {
    Q_OBJECT

private slots:
    void loadsAnMdbExportFile() {
        TestDirectory directory;
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
        write(directory.folder() + QStringLiteral("/город.csv"), csv);

        const ToolRun run = runImport(directory.folder(),
                                      {QStringLiteral("город.csv"), QStringLiteral("--connection"),
                                       directory.connectionString()});
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(u": 10000."), qPrintable(run.out));
        QCOMPARE(directory.city(), expected);
        QCOMPARE(directory.personal(), QList<TestEntry>());

        // The search helpers know the new entries: the program's search ignoring case and Ё
        // finds all of them.
        const auto count = [&](const QString& prefix) {
            return int(std::count_if(expected.begin(), expected.end(), [&](const TestEntry& e) {
                return e.fam && e.fam->startsWith(prefix);
            }));
        };
        QVERIFY(count(QStringLiteral("Ёлкина")) > 0);
        QCOMPARE(citySearchCount(directory.connectionString(), QStringLiteral("елкина")),
                 count(QStringLiteral("Ёлкина")));
        QCOMPARE(citySearchCount(directory.connectionString(), QStringLiteral("\"рога")),
                 count(QStringLiteral("\"Рога\"")));
        if (!directory.onServer())
            QCOMPARE(runSqlite3(directory.path(), QStringLiteral("PRAGMA integrity_check")),
                     QStringLiteral("ok"));
    }

    void createsAMissingFile() {
        if (testsOnServer())
            QSKIP("a server's tables are never created by the import");
        QTemporaryDir dir;
        write(dir.filePath(QStringLiteral("a.csv")), "tel,fam,ul,dom,kv\n1,Ёлкин,2,3,4\n");
        const QString name = QStringLiteral("новый справочник.dll");
        const ToolRun run =
            runImport(dir.path(), {QStringLiteral("a.csv"), QStringLiteral("--into"), name});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("Создан новый файл справочника «") + name),
                 qPrintable(run.out));
        const QString connection = QString::fromLatin1(kConnectionString)
                                       .replace(QStringLiteral("Data Source=tel.dll"),
                                                "Data Source=" + dir.filePath(name));
        QCOMPARE(citySearchCount(connection, QStringLiteral("елкин")), 1);
    }

    // Keys written by another tool stay: the file's entries and the program's next one get
    // keys above them. The other directory is never touched. Tables another tool made, with
    // their columns named its way, take the entries as well.
    void appendsOrReplaces_data() {
        QTest::addColumn<bool>("personal");
        QTest::addColumn<bool>("replace");
        QTest::addColumn<TestDirectory::Maker>("maker");
        const auto program = TestDirectory::Maker::Program;
        QTest::newRow("city, --append") << false << false << program;
        QTest::newRow("city, --replace") << false << true << program;
        QTest::newRow("personal, --append") << true << false << program;
        QTest::newRow("personal, --replace") << true << true << program;
        const auto anotherTool = TestDirectory::Maker::AnotherTool;
        QTest::newRow("another tool's city, --append") << false << false << anotherTool;
        QTest::newRow("another tool's personal, --replace") << true << true << anotherTool;
    }
    void appendsOrReplaces() {
        QFETCH(bool, personal);
        QFETCH(bool, replace);
        QFETCH(TestDirectory::Maker, maker);
        TestDirectory directory(true, maker);
        const QList<TestEntry> city = {cityEntry("11111", "Старов", "Мира", "1", "1"),
                                       cityEntry("22222", "Прежний", "Мира", "2", {})};
        const QList<TestEntry> own = {{"33333", "Свой", "Лесная", "3", "4", "+7 900 000-00-00"}};
        addWithKeys(directory, "tel", city);
        addWithKeys(directory, "lich", own);
        // What a spreadsheet in a Russian locale saves: semicolons, quotes where needed.
        write(directory.folder() + QStringLiteral("/new.csv"),
              "MOB;Ul; dom ;KV;Fam;TEL;note\r\n"
              "+7 911 111-11-11;Ёлочная;5;;\"Новиков; Н.\";12345;друг\r\n"
              ";\"Мира, пр-т\";;;Новая, Н.;;\r\n");
        const QList<TestEntry> loaded = {
            {"12345", "Новиков; Н.", "Ёлочная", "5", {}, "+7 911 111-11-11"},
            {{}, "Новая, Н.", "Мира, пр-т", {}, {}, {}}};

        QStringList arguments = {
            QStringLiteral("new.csv"), QStringLiteral("--connection"), directory.connectionString(),
            replace ? QStringLiteral("--replace") : QStringLiteral("--append")};
        if (personal)
            arguments.append(QStringLiteral("--personal"));
        const ToolRun run = runImport(directory.folder(), arguments);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(u": 2."), qPrintable(run.out));

        QList<TestEntry> want = replace ? QList<TestEntry>() : personal ? own : city;
        for (const TestEntry& e : loaded)
            want.append(personal ? e : cityEntry(e.tel, e.fam, e.ul, e.dom, e.kv));
        QCOMPARE(personal ? directory.personal() : directory.city(), want);
        QCOMPARE(personal ? directory.city() : directory.personal(), personal ? city : own);

        // The program's next entry takes a key no entry has.
        const std::unique_ptr<StorageEngine> engine =
            makeStorageEngine(directory.connectionString());
        engine->open();
        const std::optional<QString> values[] = {
            QStringLiteral("44444"), QStringLiteral("Ещё"), {}, {}, {}, {}};
        const DirectoryTable& table = personal ? kPersonalTable : kCityTable;
        QVERIFY(engine->insert(table, std::span(values, table.columns.size())) > 2);
        QCOMPARE((personal ? directory.personal() : directory.city()).size(), want.size() + 1);
        // The search finds what the table holds now, and nothing of what it held.
        if (!personal) {
            QCOMPARE(citySearchCount(directory.connectionString(), QStringLiteral("новиков")), 1);
            QCOMPARE(citySearchCount(directory.connectionString(), QStringLiteral("старов")),
                     replace ? 0 : 1);
        }
    }

    void refusesAndChangesNothing_data() {
        QTest::addColumn<QByteArray>("csv");  // "folder": the CSV named is a folder
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("fileAtFault");  // then a missing directory file is not made
        const QByteArray header = "tel,fam,ul,dom,kv\n";
        const QStringList append{QStringLiteral("--append")};
        QTest::newRow("columns missing")
            << QByteArray("tel,FAM,street,dom\n1,2,3,4\n") << append << "ul, kv" << true;
        QTest::newRow("personal without mob")
            << header + "1,2,3,4,5\n"
            << QStringList{"--append", "--personal"} << "нет столбцов: mob" << true;
        QTest::newRow("column twice")
            << QByteArray("tel,fam,ul,dom,kv,Tel\n1,2,3,4,5,6\n") << append
            << "столбец tel назван дважды: «tel», «Tel»" << true;
        QTest::newRow("unterminated quote")
            << header + "1,\"Иванов,3,4,5\n2,Петров,3,4,5\n"
            << append << "строка 2: кавычка, открывающая поле, не закрыта" << true;
        QTest::newRow("quote not doubled")
            << header + "1,Иванов,3,4,5\n2,\"Пет\"ров,3,4,5\n"
            << append << "строка 3: кавычка внутри поля в кавычках не удвоена" << true;
        QTest::newRow("record with more fields")
            << header + "1,2,3,4,5\n1,2,3,4,5,6\n"
            << append << "строка 3: полей в записи 6, а в заголовке 5" << true;
        QTest::newRow("semicolons, record with fewer fields")
            << QByteArray("tel;fam;ul;dom;kv\n1;2,5;3\n") << append
            << "строка 2: полей в записи 3, а в заголовке 5" << true;
        QTest::newRow("value too long")
            << header + "1,Иванов,3,4,5\n2,Константинопольский-Задунайский,3,4,5\n"
            << append << "№ 2" << true;
        QTest::newRow("empty file") << QByteArray() << append << "пуст" << true;
        QTest::newRow("header only")
            << header << QStringList{"--replace"} << "только заголовок" << true;
        QTest::newRow("a folder") << QByteArray("folder") << append << "— папка" << true;
        QTest::newRow("Windows-1251") << header + "1,\xc8\xe2\xe0\xed\xee\xe2,3,4,5\n"
                                      << append << "UTF-8" << true;
        QTest::newRow("entries there, neither --append nor --replace")
            << header + "1,2,3,4,5\n"
            << QStringList() << "уже есть записи" << false;
        QTest::newRow("--append and --replace")
            << header + "1,2,3,4,5\n"
            << QStringList{"--append", "--replace"} << "либо --append, либо --replace" << false;
        QTest::newRow("a reader") << header + "1,2,3,4,5\n"
                                  << QStringList{"--append", "reader"}
                                  << "доступен этому пользователю только для чтения" << false;
    }

    // Neither the directory nor, for a file, a missing one is touched; the messages are
    // Russian, without the English of the libraries underneath.
    void refusesAndChangesNothing() {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        QFETCH(bool, fileAtFault);
        TestDirectory directory;
        directory.addCity(cityEntry("11111", "Иванов", "Мира", "1", "1"));
        directory.addPersonal({"22222", "Свой", {}, {}, {}, "+7"});
        const QString csvPath = directory.folder() + QStringLiteral("/bad.csv");
        if (csv == "folder")
            QVERIFY(QDir(directory.folder()).mkdir(QStringLiteral("bad.csv")));
        else
            write(csvPath, csv);
        const QList<TestEntry> city = directory.city(), personal = directory.personal();
        const QByteArray file = contents(directory.path());
        const QStringList folder = QDir(directory.folder()).entryList(QDir::Files | QDir::Hidden);

        const bool reader = options.removeAll(QStringLiteral("reader")) > 0;
        QList<QStringList> targets = {
            {QStringLiteral("--connection"),
             reader ? directory.readerConnectionString() : directory.connectionString()}};
        if (!directory.onServer() && fileAtFault)
            targets.append({QStringLiteral("--into"), QStringLiteral("new.dll")});
        static const QRegularExpression english(
            QStringLiteral("expected|columns|quoted|unescaped|renamed|stdin|error|denied"),
            QRegularExpression::CaseInsensitiveOption);
        for (const QStringList& target : targets) {
            const ToolRun run =
                runImport(directory.folder(), QStringList{csvPath} + target + options);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(message), qPrintable(run.err));
            QVERIFY2(!run.err.contains(english), qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
        QCOMPARE(directory.city(), city);
        QCOMPARE(directory.personal(), personal);
        QVERIFY(contents(directory.path()) == file);
        QCOMPARE(QDir(directory.folder()).entryList(QDir::Files | QDir::Hidden), folder);
    }

    void refusesAFileThatIsNoDirectory() {
        if (testsOnServer())
            QSKIP("about files only");
        QTemporaryDir dir;
        write(dir.filePath(QStringLiteral("tel.dll")), "not a database");
        write(dir.filePath(QStringLiteral("ok.csv")), "tel,fam,ul,dom,kv\n1,2,3,4,5\n");
        const ToolRun run = runImport(dir.path(), {QStringLiteral("ok.csv")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(u"tel.dll"), qPrintable(run.err));
        QCOMPARE(contents(dir.filePath(QStringLiteral("tel.dll"))), QByteArray("not a database"));
    }

    void helperProgramsAnswer_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("answer");
        QTest::newRow("telspr-import --version")
            << IMPORT_PROGRAM << QStringList{"--version"}
            << "telspr-import (Телефонный справочник г.Ольмарск) 1.0\n";
        QTest::newRow("telspr-demo -v") << DEMO_PROGRAM << QStringList{"-v"}
                                        << "telspr-demo (Телефонный справочник г.Ольмарск) 1.0\n";
    }
    void helperProgramsAnswer() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, answer);
        if (testsOnServer())
            QSKIP("the answer does not depend on where the directory is stored");
        QTemporaryDir dir;
        const ToolRun run = runTool(program, dir.path(), arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, answer);
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(ImportTest)
#include "test_import.moc"
