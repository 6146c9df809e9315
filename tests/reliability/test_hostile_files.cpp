// The real program started on directory files it cannot use: missing, empty, cut short,
// random bytes, without the tables, with wrong column types, read-only, locked by another
// process. Each gives a clear message in the error report, at start or when it is used,
// nothing crashes, and the file stays byte for byte as it was.
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <optional>

#include "agent_process.h"
#include "directory.h"
#include "file_guards.h"
#include "program_on.h"
#include "sqlite/schema.h"
#include "test_directory.h"

namespace {

std::optional<QByteArray> contentOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A directory file as the program makes and fills it: both tables, the search index up to
// date, some thousands of entries.
void makeRealDirectory(const QString& path) {
    initDatabase(path);
    runSqlite3(path,
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000)"
               " INSERT INTO tel (tel, fam, ul, dom, kv) SELECT printf('%05d', i),"
               " 'Абонент ' || i || ' А.А.', 'Улица ' || (i % 97), i % 120, i % 300 FROM n;"
               "INSERT INTO lich (tel, fam, ul, dom, kv, mob) SELECT tel, fam, ul, dom, kv,"
               " '+7 900 ' || key FROM tel WHERE key <= 50;");
    Directory directory(connectionStringFor(path));  // a search folds the new entries
    directory.tel.setCriteria(CityCriteria::everything());
    directory.tel.open();
}

// Starts the program on the file, searches the city directory and shows the personal one,
// then closes the window; returns the messages of the start and of the use.
std::pair<QStringList, QStringList> startAndUse(const QString& path) {
    ProgramOn p(connectionStringFor(path));
    const QStringList atStart = p.takeErrors();
    p.searchAll();
    p.run(QStringLiteral("lich"));
    p.run(QStringLiteral("gor"));
    const QStringList inUse = p.takeErrors();
    p.main().close();
    return {atStart, inUse};
}

void verifyMessages(const QStringList& messages, const QString& expected, const char* when) {
    if (expected.isEmpty()) {
        QVERIFY2(messages.isEmpty(), qPrintable(when + (": " + messages.join(" | "))));
        return;
    }
    QVERIFY2(!messages.isEmpty(), when);
    for (const QString& message : messages)
        QVERIFY2(message.contains(expected), qPrintable(message));
    qInfo("%s: %s", when, qPrintable(messages.first()));
}

}  // namespace

class HostileFilesTest : public QObject {
    Q_OBJECT

private slots:
    void unusableFileIsReportedAndLeftAsItWas_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("atStart");  // part of every message; empty: none shown
        QTest::addColumn<QString>("inUse");
        QTest::newRow("missing") << "missing"
                                 << "не найден в папке"
                                 << "не найден в папке";
        QTest::newRow("empty") << "empty"
                               << "нет таблицы «tel»"
                               << "нет таблицы «tel»";
        QTest::newRow("cut in the middle") << "cut"
                                           << "файл повреждён"
                                           << "файл повреждён";
        QTest::newRow("random bytes") << "random"
                                      << "не является базой данных"
                                      << "не является базой данных";
        QTest::newRow("no tables") << "no tables"
                                   << "нет таблицы «tel»"
                                   << "нет таблицы «tel»";
        QTest::newRow("wrong column types") << "wrong types"
                                            << "должен быть текстовым"
                                            << "должен быть текстовым";
        QTest::newRow("folder in place of the file") << "folder"
                                                     << "не файл базы данных"
                                                     << "не файл базы данных";
    }
    void unusableFileIsReportedAndLeftAsItWas() {
        QFETCH(QString, kind);
        QFETCH(QString, atStart);
        QFETCH(QString, inUse);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("tel.dll"));
        if (kind == u"empty") {
            writeFile(path, {});
        } else if (kind == u"cut") {
            makeRealDirectory(path);
            QFile file(path);
            QVERIFY(file.size() > 100 * 1024);
            QVERIFY(file.resize(file.size() / 2));
        } else if (kind == u"random") {
            QByteArray bytes(64 * 1024, Qt::Uninitialized);
            QRandomGenerator rng(20240601);
            for (char& b : bytes)
                b = char(rng.bounded(256));
            writeFile(path, bytes);
        } else if (kind == u"no tables") {
            runSqlite3(path, "CREATE TABLE entries (name TEXT); INSERT INTO entries VALUES ('x')");
        } else if (kind == u"wrong types") {
            runSqlite3(path,
                       "CREATE TABLE tel (key INTEGER PRIMARY KEY, tel INTEGER, fam REAL, ul, dom,"
                       " kv); CREATE TABLE lich (key INTEGER PRIMARY KEY, tel, fam, ul, dom, kv,"
                       " mob)");
        } else if (kind == u"folder") {
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("tel.dll")));
        }
        const std::optional<QByteArray> before = contentOf(path);

        const auto [startMessages, useMessages] = startAndUse(path);
        verifyMessages(startMessages, atStart, "at start");
        verifyMessages(useMessages, inUse, "in use");

        QCOMPARE(contentOf(path), before);  // also: a missing file is not created
        QVERIFY(!QFile::exists(path + QStringLiteral("-journal")));
        if (kind != u"folder")
            QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                     before ? QStringList{QStringLiteral("tel.dll")} : QStringList{});
    }

    void readOnlyFileOrFolderIsReportedAndLeftAsItWas_data() {
        QTest::addColumn<bool>("folderToo");
        QTest::newRow("read-only file") << false;
        QTest::newRow("read-only folder") << true;
    }
    void readOnlyFileOrFolderIsReportedAndLeftAsItWas() {
        QFETCH(bool, folderToo);
        TestDirectory file;
        file.addCity(cityEntry("12345", "Иванов", "Мира", "1", "1"));
        const std::optional<QByteArray> before = contentOf(file.path());
        ReadOnlyGuard guard(folderToo ? file.folder() : file.path());
        if (!guard.active())
            QSKIP(qPrintable(guard.why()));
        const auto [startMessages, useMessages] = startAndUse(file.path());
        verifyMessages(startMessages, "доступен только для чтения", "at start");
        verifyMessages(useMessages, "доступен только для чтения", "in use");
        QCOMPARE(contentOf(file.path()), before);
    }

    void fileLockedByAnotherProcessIsReportedAndUsableOnceFree() {
        TestDirectory file;
        file.addCity(cityEntry("12345", "Иванов", "Мира", "1", "1"));
        file.addPersonal({"11111", "Петров", "Мира", "2", "2", "+7"});
        AgentProcess other(file.connectionString());
        other.ok("lock exclusive");
        const std::optional<QByteArray> before = contentOf(file.path());
        ProgramOn p(file.connectionString());
        verifyMessages(p.takeErrors(), "занята другой программой", "at start");
        p.searchAll();
        verifyMessages(p.takeErrors(), "занята другой программой", "in use");
        QCOMPARE(contentOf(file.path()), before);
        other.ok("unlock");
        p.searchAll();
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(p.main().directory().tel.recordCount(), 1);
    }

    void overLongValuesOfAnotherProgramShowAndTheRestOfTheEntryCanBeEdited() {
        TestDirectory file;
        const QString longName = QString(70, u'Ж') + QStringLiteral(" 😀 конец");
        file.addCity(cityEntry("12345", longName, "Мира", "1", "1234567890"));
        ProgramOn p(file.connectionString());
        p.searchAll();
        QCOMPARE(p.cell(0, 1), longName);  // shown whole
        QCOMPARE(p.cell(0, 4), QStringLiteral("1234567890"));
        p.run(QStringLiteral("red"));
        // The user passes through the long value (its editor opened, nothing changed) into
        // the street and changes only that.
        QLineEdit* editor = p.openCell(0, 1);
        QCOMPARE(editor->text(), longName);
        QTest::keyClick(editor, Qt::Key_Tab);
        editor = p.openCell(0, 2);
        editor->setText(QStringLiteral("Садовая"));
        QTest::keyClick(editor, Qt::Key_Tab);
        p.boxes.press(QMessageBox::Yes);  // "save the changes?" on leaving edit mode
        p.run(QStringLiteral("red"));
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(file.city()[0], cityEntry("12345", longName, "Садовая", "1", "1234567890"));

        // Changing the long value itself while leaving it over-long is refused; nothing is written.
        p.run(QStringLiteral("red"));
        editor = p.openCell(0, 1);
        editor->setText(longName.chopped(1) + u'?');  // the editor takes no more than shown
        QTest::keyClick(editor, Qt::Key_Tab);
        p.boxes.press(QMessageBox::Yes);
        p.run(QStringLiteral("red"));
        const QStringList errors = p.takeErrors();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(u"длиннее 30 символов"), qPrintable(errors[0]));
        QCOMPARE(file.city()[0].fam, Value(longName));
    }

    void textsThatAreNotUtf8CanBeEditedAroundRepeatedly() {
        // Another program stored bytes that are not UTF-8 as a surname; the program shows
        // them as replacement characters and must never write those back.
        TestDirectory file;
        file.exec(
            QStringLiteral("INSERT INTO tel (tel, fam, ul, dom, kv) VALUES"
                           " ('12345', CAST(X'FF41C3' AS TEXT), 'Мира', '1', '1')"));
        Directory directory(file.connectionString());
        CityQuery& tel = directory.tel;
        tel.setCriteria(CityCriteria::everything());
        tel.open();
        QCOMPARE(tel.fieldValue(u"fam"), Value(QStringLiteral("\uFFFDA\uFFFD")));
        for (const char* kv : {"2", "3"}) {  // the second edit checks against the first's result
            tel.edit();
            tel.setFieldValue(u"kv", QString::fromLatin1(kv));
            tel.post();
        }
        QCOMPARE(runSqlite3(file.path(), "SELECT hex(fam) || ' ' || kv FROM tel"),
                 QStringLiteral("FF41C3 3"));
        tel.remove();
        QCOMPARE(file.city().size(), 0);
    }

    void fullDiskRefusesTheSaveClearlyAndTheEntryIsSavedOnceThereIsRoom() {
        SmallDisk disk(512);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        const QString path = disk.folder() + QStringLiteral("/tel.dll");
        initDatabase(path);
        runSqlite3(path,
                   "INSERT INTO tel (tel, fam, ul, dom, kv) VALUES ('12345', 'Иванов',"
                   " 'Мира', '1', '1')");
        {
            ProgramOn warmUp(connectionStringFor(path));  // folds the entry into the search index
            warmUp.searchAll();
        }
        disk.fill();
        const std::optional<QByteArray> before = contentOf(path);
        ProgramOn p(connectionStringFor(path));
        p.searchAll();  // reading needs no room
        QCOMPARE(p.takeErrors(), QStringList());
        QCOMPARE(p.main().directory().tel.recordCount(), 1);

        p.openAddDialog();
        p.typeInto("telin", QStringLiteral("23456"));
        p.typeInto("Edit1", QStringLiteral("Петров П.П."));
        p.typeInto("Edit2", QStringLiteral("Лесная"));
        p.pressAddOk();
        const QStringList errors = p.takeErrors();
        verifyMessages(errors, "нет места", "full disk");
        QCOMPARE(errors.size(), 1);
        QCOMPARE(contentOf(path), before);
        QVERIFY(p.program.addform->isVisible());  // the texts stay for another try

        disk.release();
        p.pressAddOk();
        QCOMPARE(p.takeErrors(), QStringList());
        QVERIFY(!p.program.addform->isVisible());
        const QString count = runSqlite3(path, "SELECT count(*) FROM tel WHERE tel = '23456'");
        QCOMPARE(count, QStringLiteral("1"));  // saved once, not twice
        QCOMPARE(runSqlite3(path, "SELECT count(*) FROM tel"), QStringLiteral("2"));
    }

    void fileMadeReadOnlyWhileInUseRefusesTheSaveClearly_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("file made read-only") << false;
        QTest::newRow("folder made read-only") << true;
    }
    void fileMadeReadOnlyWhileInUseRefusesTheSaveClearly() {
        QFETCH(bool, folder);
        TestDirectory file;
        file.addCity(cityEntry("12345", "Иванов", "Мира", "1", "1"));
        ProgramOn p(file.connectionString());
        p.searchAll();
        const std::optional<QByteArray> before = contentOf(file.path());
        {
            ReadOnlyGuard guard(folder ? file.folder() : file.path());
            if (!guard.active())
                QSKIP(qPrintable(guard.why()));
            DataSet& tel = p.main().directory().tel;
            tel.edit();
            tel.setFieldValue(u"kv", QStringLiteral("2"));
            p.boxes.press(QMessageBox::Yes);
            p.searchAll();  // asks to save the change first
            const QStringList errors = p.takeErrors();
            verifyMessages(errors, "нет права на запись", folder ? "folder" : "file");
            QCOMPARE(contentOf(file.path()), before);
            QVERIFY(tel.isModified());
        }
        p.main().directory().tel.post();
        QCOMPARE(file.city()[0].kv, Value("2"));
    }

    void fileThatMayNotGrowRefusesTheSaveAndKeepsWhatWasSaved() {
        // Another way to a full disk, where no small disk can be mounted: the program may
        // not write the file beyond its present size.
        TestDirectory file;
        file.addCity(cityEntry("12345", "Иванов", "Мира", "1", "1"));
        const int kilobytes = int(QFile(file.path()).size() / 1024);
        AgentProcess program(file.connectionString(), kilobytes);
        program.ok("city");
        QString message;
        int saved = 0;
        std::optional<QByteArray> before;
        for (; saved < 5000 && message.isEmpty(); ++saved) {
            before = contentOf(file.path());
            program.ok("append");
            program.ok(QStringLiteral("set fam Абонент %1 длинная фамилия").arg(saved));
            const QString reply = program.ask("post");
            if (reply.startsWith(u"error "))
                message = reply.mid(6);
        }
        QVERIFY2(!message.isEmpty(), "the file grew past its limit");
        verifyMessages({message}, "предельного размера", "file may not grow");
        QCOMPARE(contentOf(file.path()), before);
        QCOMPARE(file.city().size(), saved);  // the first entry and all saved before the error
        QCOMPARE(runSqlite3(file.path(), "PRAGMA integrity_check"), QStringLiteral("ok"));
    }
};

QTEST_MAIN(HostileFilesTest)
#include "test_hostile_files.moc"
