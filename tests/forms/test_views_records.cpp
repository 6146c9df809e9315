// Switching between the two directories, edit mode, deleting and copying entries, in the
// real window.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>

#include "history_combo.h"
#include "running_program.h"

namespace {

const QList<TestEntry> kCity = {
    cityEntry("12345", "Иванов И.И.", "Ленина", "10", {}),
    cityEntry("23456", "Петров П.П.", "Мира", "9", "15"),
    cityEntry("34567", "Абрамов А.А.", "Лесная", "2", "1"),
};
const QList<TestEntry> kPersonal = {
    {"11111", "Сидоров С.С.", "Садовая", "1", "1", "+7 900 111-11-11"},
    {"22222", "Белов Б.Б.", "Лесная", "2", "2", ""},
};

}  // namespace

class ViewsRecordsTest : public QObject {
    Q_OBJECT

    static QAbstractItemView* grid(RunningProgram& p) {
        return p.widget<QAbstractItemView>("DBGrid1");
    }
    static QStringList column(RunningProgram& p, int column) {
        QStringList values;
        for (int r = 0; r < grid(p)->model()->rowCount(); ++r)
            values << grid(p)->model()->index(r, column).data().toString();
        return values;
    }
    static void searchAll(RunningProgram& p) {
        p.widget<QComboBox>("Edit3")->setEditText("%");
        p.run("SearchAct");
    }
    static int headingLeft(RunningProgram& p, int n) {
        return p.widget(QStringLiteral("StaticText%1").arg(n))->x();
    }
    // Each column heading stands over the left edge of its grid column, as far as the
    // window font's digit widths allow (a wider font drifts by several pixels a column).
    static void headingsStandOverTheColumns(RunningProgram& p) {
        auto* table = static_cast<QTableView*>(grid(p));
        const int left = table->x() + table->frameWidth();
        for (int c = 0; c < table->model()->columnCount(); ++c) {
            const int drift = headingLeft(p, c + 1) - (left + table->columnViewportPosition(c));
            QVERIFY2(std::abs(drift) <= 5,
                     qPrintable(QStringLiteral("column %1 drifts by %2 px").arg(c).arg(drift)));
        }
    }
    static void editCell(RunningProgram& p, int row, int column, const QString& text) {
        QAbstractItemView* view = grid(p);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(row, column));
        view->edit(view->currentIndex());
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(text);
        QTest::keyClick(editor,
                        Qt::Key_Tab);  // hands the text to the row, as leaving the cell does
    }

private slots:
    void switchingViewsChangesTheLayoutAndKeepsEachListing() {
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        p.run("byUl");
        const QStringList cityRows = column(p, 2);
        p.widget<QComboBox>("Edit1")->setEditText("Ив");
        p.run("lich");
        QVERIFY(!p.action("N7")->isVisible());
        QVERIFY(!p.action("bar_SearchAct")->isVisible());
        QCOMPARE(p.imageIndex("bar_gor"), -1);
        QCOMPARE(p.imageIndex("bar_lich"), 10);
        QCOMPARE(p.panels()[0], QString());
        QCOMPARE(p.panels()[2], QString());  // the sort marks are cleared
        QVERIFY(!p.action("N4")->isChecked());
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(headingLeft(p, n), QList<int>({20, 73, 246, 419, 466})[n - 1]);
        QVERIFY(p.widget("StaticText6")->isVisible());
        for (const char* hidden :
             {"StaticText7", "StaticText11", "telin", "Edit1", "Edit4", "Bevel1"})
            QVERIFY(!p.widget(hidden)->isVisible());
        QCOMPARE(grid(p)->geometry(), QRect(20, 96, 649, 282));
        headingsStandOverTheColumns(p);
        QCOMPARE(grid(p)->model()->columnCount(), 6);
        QCOMPARE(column(p, 5), QStringList({"+7 900 111-11-11", ""}));
        QVERIFY(&p.main().directory().shown() == &p.main().directory().licht);
        // The apartment column is one digit narrower here than in the city view.
        auto* table = static_cast<QTableView*>(grid(p));
        const int personalApartment = table->columnWidth(4);

        p.run("gor");
        QVERIFY(p.action("N7")->isVisible());
        QVERIFY(p.action("bar_SearchAct")->isVisible());
        QCOMPARE(column(p, 2), cityRows);  // the same rows in the same order, not searched again
        QCOMPARE(p.panels()[0], QString());
        QCOMPARE(p.panels()[2], QString());
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(headingLeft(p, n), QList<int>({166, 219, 392, 565, 613})[n - 1]);
        QVERIFY(!p.widget("StaticText6")->isVisible());
        for (const char* shown :
             {"StaticText7", "StaticText8", "StaticText9", "StaticText10", "StaticText11", "telin",
              "Edit1", "Edit2", "Edit3", "Edit4", "Bevel1"})
            QVERIFY2(p.widget(shown)->isVisible(), shown);
        QCOMPARE(p.imageIndex("bar_gor"), 10);
        QCOMPARE(p.imageIndex("bar_lich"), -1);
        QCOMPARE(grid(p)->geometry(), QRect(166, 96, 523, 282));
        headingsStandOverTheColumns(p);
        QCOMPARE(table->columnWidth(4) - personalApartment,
                 table->fontMetrics().horizontalAdvance(u'0'));
        QCOMPARE(p.widget<QComboBox>("Edit1")->currentText(), QStringLiteral("Ив"));
        QCOMPARE(p.widget<HistoryCombo>("Edit3")->history(), QStringList({"%"}));
        QVERIFY(p.boxes.seen().isEmpty());
    }

    void anOrderChosenInThePersonalViewShowsInTheCityView() {
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        const QStringList cityRows = column(p, 1);
        p.run("lich");
        p.run("byUl");  // sorts the personal table by its field declared Ul
        QCOMPARE(column(p, 2), QStringList({"Лесная", "Садовая"}));
        p.run("gor");
        QCOMPARE(p.panels()[2], QStringLiteral("У"));
        QCOMPARE(column(p, 1), cityRows);  // the city listing keeps its former order
        searchAll(p);
        QCOMPARE(column(p, 2), QStringList({"Ленина", "Лесная", "Мира"}));
    }

    void choosingTheShownViewOnlySettlesChanges() {
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        DataSet& tel = p.main().directory().tel;
        tel.edit();
        tel.setFieldValue(u"fam", QStringLiteral("Изменён"));
        p.boxes.press(QMessageBox::No);
        p.run("gor");
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.boxes.seen()[0].text, QStringLiteral("Сохранить изменения в базе данных?"));
        QVERIFY(p.widget("telin")->isVisible());
        QCOMPARE(p.file.city()[0].fam, Value("Иванов И.И."));

        p.run("lich");
        DataSet& licht = p.main().directory().licht;
        licht.edit();
        licht.setFieldValue(u"mob", QStringLiteral("+7 999"));
        p.run("lich");  // the second choice saves the personal change without asking
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.file.personal()[0].mob, Value("+7 999"));
    }

    void aFailingSaveStopsTheSwitch() {
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        DataSet& tel = p.main().directory().tel;
        tel.edit();
        tel.setFieldValue(u"kv", QStringLiteral("123456"));
        p.boxes.press(QMessageBox::Yes);
        p.boxes.press(QMessageBox::Ok);
        p.run("lich");
        QCOMPARE(p.boxes.seen().size(), 2);
        QVERIFY(p.action("N7")->isVisible());
        QVERIFY(&p.main().directory().shown() == &tel);
    }

    void editModeSwitchesTheGridAndCarriesOverViews() {
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        p.run("red");
        QCOMPARE(p.gridOptions(), 3809);
        QCOMPARE(p.imageIndex("bar_red"), 10);
        QCOMPARE(p.panels()[3], QStringLiteral("Р"));
        QCOMPARE(grid(p)->editTriggers() & QAbstractItemView::DoubleClicked,
                 QAbstractItemView::DoubleClicked);
        QCOMPARE(grid(p)->selectionBehavior(), QAbstractItemView::SelectItems);
        p.run("lich");
        QCOMPARE(p.gridOptions(), 3809);
        QCOMPARE(p.panels()[3], QStringLiteral("Р"));
        p.run("red");
        QCOMPARE(p.gridOptions(), 4064);
        QCOMPARE(p.imageIndex("bar_red"), -1);
        QCOMPARE(p.panels()[3], QString());
        QCOMPARE(grid(p)->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid(p)->selectionBehavior(), QAbstractItemView::SelectRows);
    }

    void editModeOnAnEmptyListingStartsANewEntry() {
        RunningProgram p(kCity);
        p.run("red");  // the city listing is empty right after start
        QCOMPARE(grid(p)->model()->rowCount(), 1);
        editCell(p, 0, 1, "Новиков Н.Н.");
        p.run("red");  // leaving edit mode asks about the changed city entry
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.file.city().size(), 4);
        QCOMPARE(p.file.city()[3], cityEntry({}, "Новиков Н.Н.", {}, {}, {}));
    }

    void switchingEditModeAsksAboutAChangedCityEntry_data() {
        QTest::addColumn<bool>("city");
        QTest::newRow("city asks") << true;
        QTest::newRow("personal saves silently") << false;
    }
    void switchingEditModeAsksAboutAChangedCityEntry() {
        QFETCH(bool, city);
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        if (!city)
            p.run("lich");
        p.run("red");
        editCell(p, 0, 3, "77");
        p.boxes.press(QMessageBox::Yes);
        p.run("red");
        QCOMPARE(p.boxes.seen().size(), city ? 1 : 0);
        QCOMPARE(city ? p.file.city()[0].dom : p.file.personal()[0].dom, Value("77"));
    }

    void editedRowIsSavedByMovingAwayWithoutAQuestion() {
        RunningProgram p(kCity);
        searchAll(p);
        p.run("red");
        editCell(p, 1, 1, "Петрова П.П.");
        QCOMPARE(p.file.city()[1].fam, Value("Петров П.П."));
        QTest::keyClick(grid(p), Qt::Key_Up);
        QCOMPARE(p.file.city()[1].fam, Value("Петрова П.П."));
        QVERIFY(p.boxes.seen().isEmpty());
    }

    void cellEditorsTakeNoMoreThanTheField() {
        RunningProgram p(kCity);
        searchAll(p);
        p.run("red");
        QAbstractItemView* view = grid(p);
        view->setCurrentIndex(view->model()->index(0, 3));
        view->edit(view->currentIndex());
        auto* editor = view->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        QCOMPARE(editor->maxLength(), 5);
    }

    void insertKeyAndMovingDownPastTheEndStartNewEntries() {
        RunningProgram p(kCity);
        searchAll(p);
        p.run("red");
        QAbstractItemView* view = grid(p);
        view->setFocus();
        view->setCurrentIndex(view->model()->index(2, 0));
        QTest::keyClick(view, Qt::Key_Down);  // past the last row
        QCOMPARE(view->model()->rowCount(), 4);
        QCOMPARE(view->currentIndex().row(), 3);
        QTest::keyClick(view, Qt::Key_Down);  // an empty new row does not start another
        QCOMPARE(view->model()->rowCount(), 4);
        QTest::keyClick(view, Qt::Key_Up);  // leaving it unchanged drops it
        QCOMPARE(view->model()->rowCount(), 3);
        QTest::keyClick(view, Qt::Key_Insert);
        QCOMPARE(view->model()->rowCount(), 4);
        QCOMPARE(view->currentIndex().row(), 2);
        // With the focus leaving the grid, the unchanged new entry is dropped.
        p.widget("telin")->setFocus();
        QCOMPARE(view->model()->rowCount(), 3);
        QCOMPARE(p.file.city().size(), 3);
    }

    void anOpenCellEditorMovesDownAndLeavesAsTheGridDoes() {
        RunningProgram p(kCity);
        searchAll(p);
        p.run("red");
        QAbstractItemView* view = grid(p);
        const auto openEditor = [&] {
            view->edit(view->currentIndex());
            auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(view->currentIndex()));
            if (editor)
                editor->setFocus();
            return editor;
        };
        view->setFocus();
        view->setCurrentIndex(view->model()->index(2, 1));
        QLineEdit* editor = openEditor();
        QVERIFY(editor);
        editor->setText("Абрамова А.А.");
        QTest::keyClick(editor, Qt::Key_Down);  // past the last row: the text is saved first
        QCOMPARE(view->model()->rowCount(), 4);
        QCOMPARE(view->currentIndex().row(), 3);
        QCOMPARE(p.file.city()[2].fam, Value("Абрамова А.А."));

        // Leaving the grid from an editor of the unchanged new entry drops the entry.
        QVERIFY(openEditor());
        p.widget("telin")->setFocus();
        QCOMPARE(view->model()->rowCount(), 3);
        QCOMPARE(p.file.city().size(), 3);
        QVERIFY(p.boxes.seen().isEmpty());
    }

    void deleteRemovesWithoutAQuestionInEitherView_data() {
        QTest::addColumn<bool>("city");
        QTest::addColumn<bool>("editMode");
        QTest::newRow("city, browsing") << true << false;
        QTest::newRow("city, edit mode") << true << true;
        QTest::newRow("personal, browsing") << false << false;
        QTest::newRow("personal, edit mode") << false << true;
    }
    void deleteRemovesWithoutAQuestionInEitherView() {
        QFETCH(bool, city);
        QFETCH(bool, editMode);
        RunningProgram p(kCity, kPersonal);
        searchAll(p);
        if (!city)
            p.run("lich");
        if (editMode)
            p.run("red");
        p.boxes.clear();
        DataSet& shown = p.main().directory().shown();
        shown.moveTo(1);
        if (editMode) {  // the entry goes together with its unsaved change
            shown.edit();
            shown.setFieldValue(u"dom", QStringLiteral("77"));
        }
        p.run("del");
        const QList<TestEntry> left = city ? p.file.city() : p.file.personal();
        QCOMPARE(left.size(), city ? 2 : 1);
        QCOMPARE(left[0], (city ? kCity : kPersonal)[0]);
        QCOMPARE(shown.recordCount(), left.size());
        QCOMPARE(shown.state(), DataSet::State::Browse);
        QVERIFY(p.boxes.seen().isEmpty());
    }

    void deleteDropsANewEntryOnly() {
        RunningProgram p(kCity, kPersonal);
        p.run("lich");
        p.run("red");
        p.run("del");
        QCOMPARE(p.file.personal().size(), 1);
        QVERIFY(p.boxes.seen().isEmpty());
        // Deleting a new entry drops only it.
        p.main().directory().licht.append();
        p.run("del");
        QCOMPARE(p.file.personal().size(), 1);
        QCOMPARE(grid(p)->model()->rowCount(), 1);
    }

    void deleteOnAnEmptyListingIsReported() {
        RunningProgram p(kCity);
        p.boxes.press(QMessageBox::Ok);
        p.run("del");
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.boxes.seen()[0].icon, QMessageBox::Critical);
    }

    void ctrlDeleteAsksTheGridsQuestion() {
        RunningProgram p(kCity);
        QAbstractItemView* view = grid(p);
        QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);  // empty listing: nothing
        QVERIFY(p.boxes.seen().isEmpty());
        searchAll(p);
        p.boxes.press(QMessageBox::Cancel);
        QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(p.boxes.seen().size(), 1);
        const SeenBox& question = p.boxes.seen()[0];
        QCOMPARE(question.title, QStringLiteral("Confirm"));
        QCOMPARE(question.text, QStringLiteral("Delete record?"));
        QCOMPARE(question.icon, QMessageBox::Question);
        QCOMPARE(p.file.city().size(), 3);
        p.boxes.press(QMessageBox::Ok);
        QTest::keyClick(view, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(p.file.city().size(), 2);
    }

    void copyIntoThePersonalDirectory() {
        RunningProgram p(kCity);
        searchAll(p);  // the first entry has no apartment
        p.action("N7")->trigger();
        p.action("N7")->trigger();
        const QList<TestEntry> copies = p.file.personal();
        QCOMPARE(copies.size(), 2);
        QCOMPARE(copies[0], (TestEntry{"12345", "Иванов И.И.", "Ленина", "10", {}, ""}));
        QCOMPARE(copies[1], copies[0]);
        QVERIFY(!p.main().directory().licht.isOpen());
        QCOMPARE(grid(p)->model()->rowCount(), 3);  // the city listing is untouched
        p.run("lich");
        QCOMPARE(column(p, 1), QStringList({"Иванов И.И.", "Иванов И.И."}));
    }

    // Rights are asked when the directory opens: a change the user may not make is refused
    // before anything is typed, and searching goes on.
    void aReaderIsToldAtOnce_data() {
        QTest::addColumn<bool>("city");
        QTest::addColumn<QString>("command");
        for (const char* command : {"red", "add", "del", "N7"})
            QTest::addRow("city, %s", command) << true << QString::fromLatin1(command);
        for (const char* command : {"red", "add", "del"})
            QTest::addRow("personal, %s", command) << false << QString::fromLatin1(command);
    }
    void aReaderIsToldAtOnce() {
        QFETCH(bool, city);
        QFETCH(QString, command);
        RunningProgram p(kCity, kPersonal, RunningProgram::User::Reader);
        searchAll(p);
        QCOMPARE(grid(p)->model()->rowCount(), 3);
        if (!city)
            p.run("lich");
        p.boxes.press(QMessageBox::Ok);
        p.run(command);
        QCOMPARE(p.boxes.seen().size(), 1);
        const SeenBox& box = p.boxes.seen()[0];
        QCOMPARE(box.title, QStringLiteral("Внимание!!"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        const bool personalAsked = !city || command == u"N7";
        QVERIFY2(
            box.text.startsWith(personalAsked ? u"Личный справочник" : u"Городской справочник") &&
                box.text.contains(u"только для чтения"),
            qPrintable(box.text));
        QCOMPARE(p.imageIndex("bar_red"), -1);
        QCOMPARE(p.panels()[3], QString());
        QVERIFY(!p.program.addform->isVisible());
        QVERIFY(p.main().isEnabled());
        QCOMPARE(p.main().directory().shown().state(), DataSet::State::Browse);
        QCOMPARE(p.file.city(), kCity);
        QCOMPARE(p.file.personal(), kPersonal);
    }

    void copyFromAnEmptyCityListingStillAddsAnEntry() {
        RunningProgram p(kCity);
        p.action("N7")->trigger();
        QCOMPARE(p.file.personal(), QList<TestEntry>({{{}, {}, {}, {}, {}, ""}}));
    }
};

QTEST_MAIN(ViewsRecordsTest)
#include "test_views_records.moc"
