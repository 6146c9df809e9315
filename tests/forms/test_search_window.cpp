// Searching and sorting in the real window.
#include <QAbstractItemView>
#include <QComboBox>

#include "directory_lock.h"
#include "history_combo.h"
#include "phone_edit.h"
#include "running_program.h"
#include "typing.h"

namespace {

const QList<TestEntry> kCity = {
    cityEntry("12345", "Иванов И.И.", "Ленина", "10", "5"),
    cityEntry("12999", "иванова А.П.", "Мира", "9", "15"),
    cityEntry("23456", "Ёлкин Е.Е.", "Садовая", "12а", {}),
    cityEntry("34567", "Абрамов А.А.", "Лесная", "2", "1"),
    cityEntry("45678", "О'Нил Д.", "Набережная", "7/2", "3"),
};

}  // namespace

class SearchWindowTest : public QObject {
    Q_OBJECT

    static QStringList column(RunningProgram& p, int column) {
        QAbstractItemModel* model = p.widget<QAbstractItemView>("DBGrid1")->model();
        QStringList values;
        for (int r = 0; r < model->rowCount(); ++r)
            values << model->index(r, column).data().toString();
        return values;
    }
    static HistoryCombo* edit(RunningProgram& p, int n) {
        return p.widget<HistoryCombo>(QStringLiteral("Edit%1").arg(n));
    }
    static void typeAndEnter(QWidget* input, const QString& text) {
        input->setFocus();
        typeText(input, text);
        QTest::keyClick(input, Qt::Key_Return);
    }
    static QStringList marks(RunningProgram& p) {
        // One entry per order: "bar+popup" marks, to check all three places move together.
        QStringList result;
        const char* bars[] = {"bar_bytel", "bar_byName", "bar_byUl", "bar_ByDom", "bar_ByKv"};
        const char* popups[] = {"N2", "N3", "N4", "N5", "N6"};
        for (int i = 0; i < 5; ++i)
            result << QStringLiteral("%1%2").arg(p.imageIndex(bars[i]) == 10 ? "t" : "-",
                                                 p.action(popups[i])->isChecked() ? "c" : "-");
        return result;
    }

private slots:
    void enterInEveryInputRunsTheSearch_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("phones");
        QTest::newRow("phone") << "telin"
                               << "12" << QStringList({"12345", "12999"});
        QTest::newRow("surname") << "Edit1"
                                 << "ИВАН" << QStringList({"12345", "12999"});
        QTest::newRow("street") << "Edit2"
                                << "лес" << QStringList({"34567"});
        QTest::newRow("house") << "Edit3"
                               << "12А" << QStringList({"23456"});
        QTest::newRow("apartment") << "Edit4"
                                   << "15" << QStringList({"12999"});
    }
    void enterInEveryInputRunsTheSearch() {
        QFETCH(QString, input);
        QFETCH(QString, typed);
        QFETCH(QStringList, phones);
        RunningProgram p(kCity);
        typeAndEnter(p.widget(input), typed);
        QStringList found = column(p, 0);
        found.sort();
        QCOMPARE(found, phones);
        QCOMPARE(p.panels()[0], QStringLiteral("Найдено %1 записей").arg(phones.size()));
        QVERIFY(p.boxes.seen().isEmpty());
    }

    void menuItemAndPictureButtonRunTheSameSearch() {
        RunningProgram p(kCity);
        edit(p, 1)->setEditText("Ёлк");
        p.action("bar_SearchAct")->trigger();
        QCOMPARE(column(p, 0), QStringList({"23456"}));
        edit(p, 1)->setEditText("Абр");
        QTest::mouseMove(p.widget("search1"), {5, 5});
        QTRY_VERIFY(p.widget("search")->isVisible());
        QTest::mousePress(p.widget("search"), Qt::LeftButton, {}, {5, 5});
        QCOMPARE(column(p, 0), QStringList({"34567"}));
        QVERIFY(p.widget("search1")->isVisible() && !p.widget("search2")->isVisible());
    }

    void aQuoteIsAnOrdinaryCharacter() {
        RunningProgram p(kCity);
        edit(p, 1)->setEditText("о'н");
        p.run("SearchAct");
        QCOMPARE(column(p, 0), QStringList({"45678"}));
        p.run("gor");  // showing the city directory again still works
        QVERIFY(p.boxes.seen().isEmpty());
    }

    void afterASearchInputsAreClearedIntoSortedHistories() {
        RunningProgram p(kCity);
        for (const char* surname : {"Петр", "Ив", "Ив"}) {
            edit(p, 1)->setEditText(QString::fromUtf8(surname));
            edit(p, 3)->setEditText("1");
            typeAndEnter(p.widget("telin"), "9");
        }
        QCOMPARE(p.panels()[0], QStringLiteral("По вашему запросу ничего не найдено"));
        QCOMPARE(edit(p, 1)->history(), QStringList({"Ив", "Ив", "Петр"}));
        QCOMPARE(edit(p, 3)->history(), QStringList({"1", "1", "1"}));
        QVERIFY(edit(p, 2)->history().isEmpty());
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(edit(p, n)->currentText(), QString());
        QCOMPARE(p.widget<PhoneEdit>("telin")->maskedText(), QStringLiteral(" -  -  "));
        QCOMPARE(p.widget<PhoneEdit>("telin")->displayText(), QStringLiteral("*-**-**"));
    }

    void emptyInputsWarnAndChangeNothing() {
        RunningProgram p(kCity);
        edit(p, 2)->setEditText("Мир");
        p.run("SearchAct");
        p.run("byName");
        const QStringList rows = column(p, 1);
        p.boxes.press(QMessageBox::Ok);
        p.run("SearchAct");
        QCOMPARE(p.boxes.seen().size(), 1);
        const SeenBox& warning = p.boxes.seen()[0];
        QCOMPARE(warning.title, QStringLiteral("Внимание!!"));
        QCOMPARE(warning.text, QStringLiteral("Поля поиска пусты!"));
        QCOMPARE(warning.icon, QMessageBox::NoIcon);
        QCOMPARE(warning.buttons.size(), 1);
        QCOMPARE(p.panels()[0], QStringLiteral("Поиск..."));
        QCOMPARE(p.panels()[2], QStringLiteral("Ф"));
        QCOMPARE(column(p, 1), rows);
        QCOMPARE(edit(p, 2)->history(), QStringList({"Мир"}));
        QCOMPARE(p.main().directory().tel.criteria().filter.ul, QStringLiteral("Мир"));
    }

    void spacesCountAsInput() {
        RunningProgram p(kCity);
        edit(p, 1)->setEditText(" ");
        p.run("SearchAct");
        QVERIFY(p.boxes.seen().isEmpty());
        QCOMPARE(p.panels()[0], QStringLiteral("По вашему запросу ничего не найдено"));
    }

    void exactlyOneOrderIsMarkedInAllThreePlaces() {
        RunningProgram p(kCity);
        edit(p, 3)->setEditText("%");
        p.run("SearchAct");
        QCOMPARE(marks(p), QStringList({"--", "--", "--", "--", "--"}));
        p.run("ByDom");
        QCOMPARE(marks(p), QStringList({"--", "--", "--", "tc", "--"}));
        QCOMPARE(p.panels()[2], QStringLiteral("Д"));
        QCOMPARE(column(p, 3), QStringList({"10", "12а", "2", "7/2", "9"}));  // textual order
        p.run("ByDom");  // choosing it again sorts again and keeps the marks
        QCOMPARE(marks(p), QStringList({"--", "--", "--", "tc", "--"}));
        p.run("bytel");
        QCOMPARE(marks(p), QStringList({"tc", "--", "--", "--", "--"}));
        QCOMPARE(p.panels()[2], QStringLiteral("Т"));
        p.run("byName");
        QCOMPARE(marks(p), QStringList({"--", "tc", "--", "--", "--"}));
        QCOMPARE(column(p, 1), QStringList({"Абрамов А.А.", "Ёлкин Е.Е.", "Иванов И.И.",
                                            "иванова А.П.", "О'Нил Д."}));
        QCOMPARE(p.panels()[0], QStringLiteral("Найдено 5 записей"));  // sorting leaves the count
    }

    void theMarkedOrderIsAppliedAgainAfterEverySearch() {
        RunningProgram p(kCity);
        edit(p, 3)->setEditText("%");
        p.run("SearchAct");
        p.run("byUl");
        // A typed "%" takes every apartment but a missing one (Садовая has none).
        edit(p, 4)->setEditText("%");
        p.run("SearchAct");
        QCOMPARE(column(p, 2), QStringList({"Ленина", "Лесная", "Мира", "Набережная"}));
        QCOMPARE(p.panels()[2], QStringLiteral("У"));
        p.run("bytel");
        edit(p, 1)->setEditText("И");
        p.run("SearchAct");
        QCOMPARE(column(p, 0), QStringList({"12345", "12999"}));
        QCOMPARE(marks(p)[0], QStringLiteral("tc"));
    }

    void aSaveThatFailsStopsTheSearch() {
        RunningProgram p(kCity);
        edit(p, 3)->setEditText("%");
        p.run("SearchAct");
        DataSet& tel = p.main().directory().tel;
        tel.edit();
        tel.setFieldValue(u"dom", QStringLiteral("123456"));
        edit(p, 1)->setEditText("Ив");
        p.boxes.press(QMessageBox::Yes);
        p.boxes.press(QMessageBox::Ok);
        p.run("SearchAct");
        QCOMPARE(p.boxes.seen().size(), 2);
        QCOMPARE(p.boxes.seen()[1].icon, QMessageBox::Critical);
        QCOMPARE(edit(p, 1)->currentText(), QStringLiteral("Ив"));
        QCOMPARE(tel.recordCount(), 5);
        QVERIFY(
            p.widget("search2")->isVisible());  // pressed until the mouse crosses the background
    }

    void aSearchTheDirectoryRefusesLeavesTheInputsAndTheListing() {
        RunningProgram p(kCity);
        edit(p, 2)->setEditText(QStringLiteral("Лес"));
        p.run("SearchAct");
        DirectoryLock other(p.file.connectionString());
        other.lock(true);
        edit(p, 1)->setEditText("Ив");
        p.boxes.press(QMessageBox::Ok);
        p.run("SearchAct");
        QCOMPARE(p.boxes.seen().size(), 1);
        QVERIFY(p.boxes.seen()[0].text.contains(u"занята"));
        QCOMPARE(column(p, 0), QStringList({"34567"}));
        QCOMPARE(edit(p, 1)->currentText(), QStringLiteral("Ив"));
        QCOMPARE(edit(p, 1)->history(), QStringList());
        // The listing still shown is sorted as chosen.
        p.run("byName");
        QCOMPARE(marks(p)[1], QStringLiteral("tc"));
        other.unlock();
        p.run("SearchAct");
        QCOMPARE(column(p, 0), QStringList({"12345", "12999"}));
        QCOMPARE(p.panels()[2], QStringLiteral("Ф"));
    }
};

QTEST_MAIN(SearchWindowTest)
#include "test_search_window.moc"
