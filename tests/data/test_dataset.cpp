// The data set's states and moves: browse, edit, insert; what settles an edit; keys, sizes,
// nulls and field lookup; on the program's tables and on another tool's.
#include <QSignalSpy>
#include <QTest>

#include "directory.h"
#include "error.h"
#include "test_directory.h"

class DataSetTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDirectory> file;
    std::unique_ptr<Directory> directory;

    // Opens the personal table over the given entries (it reads the whole table).
    PersonalTable& personal(const QList<TestEntry>& entries) {
        for (const TestEntry& e : entries)
            file->addPersonal(e);
        directory->licht.open();
        return directory->licht;
    }

private slots:
    // Every test again on tables another tool made, whose columns are named in capitals or
    // in quoted mixed case: the directory finds them, reads and writes them all the same.
    void initTestCase_data() {
        QTest::addColumn<TestDirectory::Maker>("maker");
        QTest::newRow("the program's tables") << TestDirectory::Maker::Program;
        QTest::newRow("another tool's tables") << TestDirectory::Maker::AnotherTool;
    }
    void init() {
        QFETCH_GLOBAL(TestDirectory::Maker, maker);
        file = std::make_unique<TestDirectory>(true, maker);
        directory = std::make_unique<Directory>(file->connectionString());
    }
    void cleanup() {
        directory.reset();
        file.reset();
    }

    void openHoldsRowsFirstCurrent() {
        auto& set = personal(
            {{"11111", "Иванов", "Мира", "1", "2", "+7"}, {"22222", "Петров", {}, {}, {}, {}}});
        QCOMPARE(set.recordCount(), 2);
        QCOMPARE(set.currentIndex(), 0);
        QCOMPARE(set.fieldValue(u"fam"), Value("Иванов"));
        set.next();
        QCOMPARE(set.fieldValue(u"ul"), Value());  // null stays null
        set.next();                                // at the end, stays on the last row
        QCOMPARE(set.currentIndex(), 1);
        QCOMPARE(set.fieldValue(u"UL"), Value());  // lookup ignores letter case
        QVERIFY_THROWS_EXCEPTION(Error, set.fieldValue(u"nope"));
    }

    void lookupOfUlFindsTheFieldDeclaredUl() {
        auto& set = personal({{"1", "A", "Садовая", "1", "1", "m"}});
        QCOMPARE(set.fields()[2].name, QStringLiteral("Ul"));
        QCOMPARE(set.fieldValue(u"ul"), Value("Садовая"));
    }

    void modifiedOnlyAfterAFieldChanges() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        set.edit();
        QCOMPARE(set.state(), DataSet::State::Edit);
        QVERIFY(!set.isModified());
        set.setFieldValue(u"fam", QStringLiteral("Б"));
        QVERIFY(set.isModified());
        QCOMPARE(set.fieldValue(u"fam"), Value("Б"));  // the edit shows before it is posted
        set.cancel();
        QVERIFY(!set.isModified());
        QCOMPARE(set.fieldValue(u"fam"), Value("A"));
        QCOMPARE(file->personal()[0].fam, Value("A"));
    }

    void postingAnUnchangedEditWritesNothing() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        file->exec("UPDATE lich SET fam = 'changed elsewhere'");
        set.edit();
        set.post();
        QCOMPARE(set.state(), DataSet::State::Browse);
        QCOMPARE(set.fieldValue(u"fam"), Value("A"));  // as read; no conflict to report
        QCOMPARE(file->personal()[0].fam, Value("changed elsewhere"));
    }

    void setFieldOutsideEditingIsRefused() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        QVERIFY_THROWS_EXCEPTION(Error, set.setFieldValue(u"fam", QStringLiteral("x")));
    }

    void moveSettlesAnEdit_data() {
        QTest::addColumn<bool>("change");
        QTest::newRow("changed row is posted") << true;
        QTest::newRow("unchanged row is released") << false;
    }
    void moveSettlesAnEdit() {
        QFETCH(bool, change);
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}, {"2", "C", "D", "2", "2", "n"}});
        set.edit();
        if (change)
            set.setFieldValue(u"mob", QStringLiteral("+7 900"));
        set.moveTo(1);
        QCOMPARE(set.state(), DataSet::State::Browse);
        QCOMPARE(set.currentIndex(), 1);
        QCOMPARE(file->personal()[0].mob, change ? Value("+7 900") : Value("m"));
    }

    void firstAndNextSettleEvenWithoutMoving() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        set.edit();
        set.setFieldValue(u"dom", QStringLiteral("9"));
        set.first();  // already on the first row: the edit is still settled
        QCOMPARE(set.state(), DataSet::State::Browse);
        QCOMPARE(file->personal()[0].dom, Value("9"));
    }

    void appendSettlesAChangedRowThenAddsAnEmptyOne() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        set.edit();
        set.setFieldValue(u"kv", QStringLiteral("77"));
        QSignalSpy inserted(&set, &DataSet::rowInserted);
        set.append();
        QCOMPARE(file->personal()[0].kv, Value("77"));
        QCOMPARE(set.state(), DataSet::State::Insert);
        QCOMPARE(set.recordCount(), 2);
        QCOMPARE(set.currentIndex(), 1);
        QCOMPARE(inserted.size(), 1);
        for (const char* name : {"tel", "fam", "ul", "dom", "kv", "mob"})
            QCOMPARE(set.fieldValue(QString::fromLatin1(name)), Value());
    }

    void postAssignsAKeyAndWritesAtOnce() {
        auto& set = personal({});
        set.append();
        set.setFieldValue(u"tel", QStringLiteral("12345"));
        set.setFieldValue(u"mob", QStringLiteral(""));
        set.post();
        QCOMPARE(set.state(), DataSet::State::Browse);
        const QList<TestEntry> stored = file->personal();
        QCOMPARE(stored.size(), 1);
        // Fields never given a value stay null; the empty text stays a text.
        QCOMPARE(stored[0], (TestEntry{"12345", {}, {}, {}, {}, ""}));
        QCOMPARE(file->query(QStringLiteral("SELECT count(*) FROM lich WHERE key > 0")),
                 QStringLiteral("1"));
        // A second row gets a key of its own.
        set.append();
        set.setFieldValue(u"tel", QStringLiteral("2"));
        set.post();
        QCOMPARE(file->query(QStringLiteral("SELECT count(DISTINCT key) FROM lich")),
                 QStringLiteral("2"));
    }

    void cancelOfANewRowRemovesIt() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}, {"2", "C", "D", "2", "2", "n"}});
        set.moveTo(0);
        set.append();
        set.setFieldValue(u"fam", QStringLiteral("X"));
        set.cancel();
        QCOMPARE(set.recordCount(), 2);
        QCOMPARE(set.currentIndex(), 0);  // back where the user was
        QCOMPARE(file->personal().size(), 2);
    }

    void insertPlacesTheNewRowAtTheCurrentOne() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}, {"2", "C", "D", "2", "2", "n"}});
        set.moveTo(1);
        set.insert();
        QCOMPARE(set.currentIndex(), 1);
        QCOMPARE(set.value(2, 1), Value("C"));  // the old row moved down
        set.setFieldValue(u"fam", QStringLiteral("New"));
        set.moveTo(0);  // the move posts the new row where it stands
        QCOMPARE(set.value(1, 1), Value("New"));
        QCOMPARE(file->personal().size(), 3);
    }

    void movingOffAnUnchangedNewRowDropsIt() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}, {"2", "C", "D", "2", "2", "n"}});
        set.moveTo(0);
        set.insert();
        set.moveTo(2);  // the row that was below the new one
        QCOMPARE(set.recordCount(), 2);
        QCOMPARE(set.currentIndex(), 1);
        QCOMPARE(set.fieldValue(u"fam"), Value("C"));
    }

    void deleteRemovesFromTheFileAtOnce() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}, {"2", "C", "D", "2", "2", "n"}});
        set.moveTo(1);
        set.remove();
        QCOMPARE(set.recordCount(), 1);
        QCOMPARE(set.currentIndex(), 0);
        QCOMPARE(file->personal().size(), 1);
        QCOMPARE(file->personal()[0].fam, Value("A"));
    }

    void deleteOfAnEditedRowDropsItsChanges() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        set.edit();
        set.setFieldValue(u"fam", QStringLiteral("Z"));
        set.remove();
        QCOMPARE(set.recordCount(), 0);
        QCOMPARE(set.state(), DataSet::State::Browse);
        QVERIFY(file->personal().isEmpty());
    }

    void deleteOfANewRowDropsOnlyIt() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        set.append();
        set.remove();
        QCOMPARE(set.recordCount(), 1);
        QCOMPARE(file->personal().size(), 1);
    }

    void deleteOnAnEmptySetRaises() {
        auto& set = personal({});
        QVERIFY_THROWS_EXCEPTION(Error, set.remove());
    }

    void editOnAnEmptySetStartsANewRow() {
        auto& set = personal({});
        set.edit();
        QCOMPARE(set.state(), DataSet::State::Insert);
        QCOMPARE(set.recordCount(), 1);
        set.setFieldValue(u"fam", QStringLiteral("Новый"));
        set.post();
        QCOMPARE(file->personal().size(), 1);
    }

    void closeDropsUnsavedEditsAndRows() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        set.edit();
        set.setFieldValue(u"fam", QStringLiteral("lost"));
        set.close();
        QVERIFY(!set.isOpen());
        QCOMPARE(set.recordCount(), 0);
        QVERIFY(!set.isModified());
        QCOMPARE(file->personal()[0].fam, Value("A"));
        set.open();
        QCOMPARE(set.fieldValue(u"fam"), Value("A"));
    }

    void overlongValueIsRefusedAndNothingWritten() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}});
        set.edit();
        set.setFieldValue(u"fam", QString(31, u'ж'));
        try {
            set.post();
            QFAIL("a 31-character surname was accepted");
        } catch (const Error& e) {
            QVERIFY2(e.text().contains(u"Фамилия") && e.text().contains(u"30"),
                     qPrintable(e.text()));
        }
        QCOMPARE(set.state(), DataSet::State::Edit);  // the user's values stay
        QCOMPARE(set.fieldValue(u"fam"), Value(QString(31, u'ж')));
        QCOMPARE(file->personal()[0].fam, Value("A"));
        // Thirty characters, one of them outside the BMP, fit.
        set.setFieldValue(u"fam", QString(29, u'ж') + QString::fromUcs4(U"\U0001F600", 1));
        set.post();
        QCOMPARE(file->personal()[0].fam->size(), 31);  // 29 + a surrogate pair
    }

    void closedSetRefusesSortAndEdit() {
        auto& set = directory->licht;
        QVERIFY_THROWS_EXCEPTION(Error, set.sortBy(u"fam"));
        QVERIFY_THROWS_EXCEPTION(Error, set.edit());
    }

    void sortKeepsTheCurrentEntryAndOrdersTextually() {
        auto& set = personal({{"1", "Б", "x", "9", "1", "m"},
                              {"2", "а", "x", "10", "1", "m"},
                              {"3", "В", "x", "2", "1", "m"},
                              {"4", {}, "x", {}, "1", "m"}});
        set.moveTo(2);  // "В"
        set.sortBy(u"dom");
        QStringList order;
        for (int r = 0; r < set.recordCount(); ++r)
            order << set.value(r, 3).value_or("null");
        QCOMPARE(order, QStringList({"null", "10", "2", "9"}));  // textual, no value first
        QCOMPARE(set.fieldValue(u"fam"), Value("В"));
        set.sortBy(u"FAM");
        order.clear();
        for (int r = 0; r < set.recordCount(); ++r)
            order << set.value(r, 1).value_or("null");
        QCOMPARE(order, QStringList({"null", "а", "Б", "В"}));
    }

    void sortIsStableForEqualTexts() {
        auto& set = personal({{"1", "Петров", "x", "1", "1", "m"},
                              {"2", "петров", "x", "1", "1", "m"},
                              {"3", "Абрамов", "x", "1", "1", "m"},
                              {"4", "ПЕТРОВ", "x", "1", "1", "m"}});
        set.sortBy(u"fam");
        QStringList phones;
        for (int r = 0; r < set.recordCount(); ++r)
            phones << *set.value(r, 0);
        QCOMPARE(phones, QStringList({"3", "1", "2", "4"}));
    }

    // Read back by each way an engine reads: every entry at once, a search an index serves,
    // and the whole personal table.
    void awkwardValuesAreReadBackExactly_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("tab and line breaks") << "a\tb\nc\r\n";
        QTest::newRow("backslashes") << "\\ \\\\ \\t";
        QTest::newRow("a text that reads \\N") << "\\N";
        QTest::newRow("the empty text") << "";
        QTest::newRow("control characters") << "\x01\b\v\f\x7f";
        QTest::newRow("letters outside the basic plane") << "😀 𝔸 Ёлкин";
    }
    void awkwardValuesAreReadBackExactly() {
        QFETCH(QString, value);
        file->addCity(cityEntry("12345", value, "Мира", "1", {}));
        CityCriteria everyHouse = CityCriteria::everything();
        everyHouse.kalvex = LikeParameter{QStringLiteral("_____")};
        everyHouse.dom = LikeParameter{QStringLiteral("%")};
        CityCriteria byStreet = CityCriteria::everything();
        byStreet.filter.ul = QStringLiteral("Мир");
        CityQuery& tel = directory->tel;
        for (const CityCriteria& criteria : {everyHouse, byStreet}) {
            tel.close();
            tel.setCriteria(criteria);
            tel.open();
            QCOMPARE(tel.recordCount(), 1);
            QCOMPARE(tel.fieldValue(u"fam"), Value(value));
            QCOMPARE(tel.fieldValue(u"kv"), Value());
        }
        const PersonalTable& licht = personal({{"12345", "Мира", value, "1", {}, value}});
        QCOMPARE(licht.fieldValue(u"ul"), Value(value));
        QCOMPARE(licht.fieldValue(u"mob"), Value(value));
        QCOMPARE(licht.fieldValue(u"kv"), Value());
    }

    void quietMovesAnnounceTheCurrentRowOnce() {
        auto& set = personal({{"1", "A", "B", "1", "1", "m"}, {"2", "C", "D", "2", "2", "n"}});
        QSignalSpy current(&set, &DataSet::currentChanged);
        {
            DataSet::QuietMoves quiet(set);
            set.first();
            set.next();
        }
        QCOMPARE(current.size(), 1);
        QCOMPARE(current[0][0].toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(DataSetTest)
#include "test_dataset.moc"
