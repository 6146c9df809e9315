// Another program on the same file: the static cursor, optimistic checks on edit and
// delete, and the file staying an ordinary SQLite database other tools can use.
#include <sqlite3.h>

#include <QTest>

#include "directory.h"
#include "error.h"
#include "test_directory.h"

class OtherWritersTest : public QObject {
    Q_OBJECT

    static void searchAll(CityQuery& tel) {
        tel.close();
        tel.setCriteria(CityCriteria::everything());
        tel.open();
    }

    // A refusal by the optimistic check is an EditConflict, which callers tell apart from
    // other failures.
    static void expectError(const std::function<void()>& action, const QString& part,
                            bool conflict = true) {
        try {
            action();
        } catch (const Error& e) {
            QVERIFY2(e.text().contains(part), qPrintable(e.text()));
            QCOMPARE(dynamic_cast<const EditConflict*>(&e) != nullptr, conflict);
            return;
        }
        QFAIL("no error");
    }

private slots:
    void rowsOfOthersShowOnlyAfterReopening() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "Иванов", "Мира", "1", "1"));
        Directory directory(file.connectionString());
        searchAll(directory.tel);
        QCOMPARE(directory.tel.recordCount(), 1);
        file.addCity(cityEntry("22222", "Петров", "Мира", "2", "2"));
        QCOMPARE(directory.tel.recordCount(), 1);
        searchAll(directory.tel);
        QCOMPARE(directory.tel.recordCount(), 2);
    }

    void secondEditOfTheSameRowFailsAndOverwritesNothing() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "Иванов", "Мира", "1", "1"));
        Directory first(file.connectionString()), second(file.connectionString());
        searchAll(first.tel);
        searchAll(second.tel);
        first.tel.edit();
        first.tel.setFieldValue(u"fam", QStringLiteral("Первый"));
        first.tel.post();
        second.tel.edit();
        second.tel.setFieldValue(u"fam", QStringLiteral("Второй"));
        expectError([&] { second.tel.post(); }, QStringLiteral("изменена другой программой"));
        QCOMPARE(second.tel.state(), DataSet::State::Edit);
        QCOMPARE(second.tel.fieldValue(u"fam"), Value("Второй"));
        QCOMPARE(file.city()[0].fam, Value("Первый"));
    }

    void editsOfDifferentRowsBothStay() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "А", "Мира", "1", "1"));
        file.addCity(cityEntry("22222", "Б", "Мира", "1", "1"));
        Directory first(file.connectionString()), second(file.connectionString());
        searchAll(first.tel);
        searchAll(second.tel);
        first.tel.edit();
        first.tel.setFieldValue(u"kv", QStringLiteral("5"));
        first.tel.post();
        second.tel.moveTo(1);
        second.tel.edit();
        second.tel.setFieldValue(u"kv", QStringLiteral("6"));
        second.tel.post();
        QCOMPARE(file.city()[0].kv, Value("5"));
        QCOMPARE(file.city()[1].kv, Value("6"));
    }

    void rowDeletedByOthersCannotBeSavedOrDeleted() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "А", "Мира", "1", "1"));
        Directory directory(file.connectionString());
        searchAll(directory.tel);
        file.exec(QStringLiteral("DELETE FROM tel"));
        directory.tel.edit();
        directory.tel.setFieldValue(u"fam", QStringLiteral("Б"));
        expectError([&] { directory.tel.post(); }, QStringLiteral("удалена другой программой"));
        expectError([&] { directory.tel.remove(); }, QStringLiteral("удалена другой программой"));
        QVERIFY(file.city().isEmpty());
    }

    void deleteOfARowChangedByOthersIsRefused() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "А", "Мира", "1", "1"));
        Directory directory(file.connectionString());
        searchAll(directory.tel);
        file.exec(QStringLiteral("UPDATE tel SET fam = 'Изменено'"));
        expectError([&] { directory.tel.remove(); }, QStringLiteral("не удалена"));
        QCOMPARE(file.city().size(), 1);
    }

    void fileStaysUsableByTheSqlite3Program() {
        TestDirectory file;
        file.addCity(cityEntry("11111", "Ёлкин А.А.", "Мира", "1", "1"));
        Directory directory(file.connectionString());
        searchAll(directory.tel);
        directory.tel.edit();
        directory.tel.setFieldValue(u"fam", QStringLiteral("Ёлкина А.А."));
        directory.tel.post();
        runSqlite3(file.path(),
                   QStringLiteral("INSERT INTO tel (tel, fam, ul, dom, kv) VALUES "
                                  "('33333', 'ЕЛКИН Б.Б.', 'Садовая', '3', NULL);"
                                  "UPDATE tel SET ul = 'ЛЕСНАЯ' WHERE tel = '11111';"));
        QCOMPARE(runSqlite3(file.path(), QStringLiteral("PRAGMA integrity_check")),
                 QStringLiteral("ok"));
        // The next search of this program finds what the other program added and changed.
        directory.tel.close();
        CityCriteria elk = CityCriteria::everything();
        elk.filter = {QStringLiteral("елк"), QStringLiteral("лес")};
        directory.tel.setCriteria(elk);
        directory.tel.open();
        QCOMPARE(directory.tel.recordCount(), 1);
        QCOMPARE(directory.tel.fieldValue(u"fam"), Value("Ёлкина А.А."));
        directory.tel.close();
        CityCriteria elkinB = CityCriteria::everything();
        elkinB.filter.fam = QStringLiteral("ёлкин б");
        directory.tel.setCriteria(elkinB);
        directory.tel.open();
        QCOMPARE(directory.tel.recordCount(), 1);
        QCOMPARE(directory.tel.fieldValue(u"tel"), Value("33333"));
    }

    void writerHoldingTheLockGivesABusyErrorThenTheEntryCanBePosted() {
        TestDirectory file;
        file.addPersonal({"1", "А", "Б", "1", "1", "m"});
        Directory directory(file.connectionString());
        directory.licht.open();
        sqlite3* other = nullptr;
        sqlite3_open(file.path().toUtf8().constData(), &other);
        sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
        directory.licht.edit();
        directory.licht.setFieldValue(u"fam", QStringLiteral("Новое"));
        expectError([&] { directory.licht.post(); }, QStringLiteral("занята"), false);
        QVERIFY(directory.licht.isModified());
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        directory.licht.post();
        QCOMPARE(file.personal()[0].fam, Value("Новое"));
    }
};

QTEST_GUILESS_MAIN(OtherWritersTest)
#include "test_other_writers.moc"
