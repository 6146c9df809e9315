// The main window as the program starts it: layout, menus, the picture button, closing, and
// the error report.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "connection.h"
#include "data_source.h"
#include "dataset.h"
#include "error_report.h"
#include "guarded.h"
#include "phone_edit.h"
#include "running_program.h"

class MainWindowTest : public QObject {
    Q_OBJECT

    static QList<TestEntry> someCity() {
        return {cityEntry("12345", "Иванов И.И.", "Ленина", "1", "1"),
                cityEntry("23456", "Петров П.П.", "Мира", "2", "2")};
    }

    static void searchEverything(RunningProgram& p) {
        p.widget<QComboBox>("Edit3")->setEditText("%");
        p.run("SearchAct");
    }

private slots:
    void startState() {
        RunningProgram p(someCity());
        QVERIFY(QTest::qWaitForWindowActive(&p.main()));
        QCOMPARE(p.main().windowTitle(), QStringLiteral("Телефонный справочник г.Ольмарск 2004"));
        QCOMPARE(QCoreApplication::applicationName(),
                 QStringLiteral("Телефонный справочник г.Ольмарск"));
        QCOMPARE(p.main().size(), QSize(706, 421));
        QCOMPARE(p.main().minimumSize(), p.main().maximumSize());
        QVERIFY(!(p.main().windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(p.widget<QAbstractItemView>("DBGrid1")->model()->rowCount(), 0);
        QCOMPARE(p.panels(), QStringList({"", "", "", ""}));
        auto* telin = p.widget<PhoneEdit>("telin");
        QCOMPARE(telin->maskedText(), QStringLiteral(" -  -  "));
        QCOMPARE(QApplication::focusWidget(), telin);
        QCOMPARE(p.imageIndex("bar_gor"), 10);
        QCOMPARE(p.imageIndex("bar_lich"), -1);
        QVERIFY(p.action("N7")->isVisible());
        for (const char* item :
             {"bar_bytel", "bar_byName", "bar_byUl", "bar_ByDom", "bar_ByKv", "bar_red"})
            QCOMPARE(p.imageIndex(item), -1);
        for (const char* item : {"N2", "N3", "N4", "N5", "N6"})
            QVERIFY(!p.action(item)->isChecked());
        QCOMPARE(p.gridOptions(), 2016);
        // The data objects are found by name too; the city directory is open and shown.
        auto* tel = p.main().findChild<DataSet*>("tel");
        QVERIFY(tel && tel->isOpen());
        QVERIFY(p.main().findChild<Connection*>("connection"));
        QVERIFY(p.main().findChild<DataSet*>("licht"));
        auto* source = p.main().findChild<DataSource*>("DataSource1");
        QVERIFY(source && &source->dataSet() == tel);
        QVERIFY(!p.program.addform->isVisible());
        QVERIFY(!p.program.aboutform->isVisible());
        QVERIFY(p.boxes.seen().isEmpty());
    }

    void controlsStandWhereTheyShould_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("visible");
        const QList<std::tuple<const char*, QRect, bool>> controls = {
            {"Image1", {-8, 27, 725, 415}, true},
            {"search1", {45, 264, 73, 29}, true},
            {"search", {45, 264, 73, 29}, false},
            {"search2", {45, 264, 71, 29}, false},
            {"Bevel1", {8, 80, 145, 177}, true},
            {"DBGrid1", {166, 96, 523, 282}, true},
            {"StatusBar1", {0, 402, 706, 19}, true},
            {"Searchb", {168, 360, 75, 25}, false},
            {"ActionMainMenuBar1", {0, 0, 706, 27}, true},
            {"StaticText1", {166, 80, 54, 17}, true},
            {"StaticText2", {219, 80, 200, 17}, true},
            {"StaticText3", {392, 80, 177, 17}, true},
            {"StaticText4", {565, 80, 48, 17}, true},
            {"StaticText5", {613, 80, 76, 17}, true},
            {"StaticText6", {519, 80, 150, 17}, false},
            {"StaticText7", {16, 88, 129, 17}, true},
            {"StaticText8", {16, 128, 129, 17}, true},
            {"StaticText9", {16, 168, 129, 17}, true},
            {"StaticText10", {16, 208, 57, 17}, true},
            {"StaticText11", {72, 208, 73, 17}, true},
            {"Edit1", {16, 144, 129, 21}, true},
            {"Edit2", {16, 184, 129, 21}, true},
            {"Edit3", {16, 224, 57, 21}, true},
            {"Edit4", {72, 224, 73, 21}, true},
            {"telin", {16, 104, 129, 21}, true},
        };
        for (const auto& [name, geometry, visible] : controls)
            QTest::newRow(name) << name << geometry << visible;
    }
    void controlsStandWhereTheyShould() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(bool, visible);
        RunningProgram p;
        QWidget* w = p.widget(name);
        QCOMPARE(QRect(w->mapTo(&p.main(), QPoint()), w->size()), geometry);
        QCOMPARE(w->isVisible(), visible);
    }

    void labelsAndHintsReadAsTheyShould() {
        RunningProgram p;
        const QStringList headings = {"Телефон",  "Фамилия И.О.", "Улица",     "№ дома",
                                      "Квартира", "Мобильник",    "Телефон",   "Фамилия И.О.",
                                      "Улица",    "№ дома",       "№ квартиры"};
        for (int i = 0; i < headings.size(); ++i)
            QCOMPARE(p.widget<QLabel>(QStringLiteral("StaticText%1").arg(i + 1))->text(),
                     headings[i]);
        QCOMPARE(p.widget("telin")->toolTip(),
                 QStringLiteral("Здесь введите телефон (возможно использование масок *)"));
        QCOMPARE(p.widget("Edit1")->toolTip(), QStringLiteral("Здесь введите ФИО"));
        QCOMPARE(p.widget("Edit4")->toolTip(), QStringLiteral("Здесь введите № квартиры"));
    }

    void menuHighlightAndHistoryRows() {
        RunningProgram p;
        const QColor highlight(0xE2, 0xE1, 0xDB);
        auto* bar = p.widget<QMenuBar>("ActionMainMenuBar1");
        QCOMPARE(bar->palette().color(QPalette::Highlight), highlight);
        for (QMenu* menu : bar->findChildren<QMenu*>())
            QCOMPARE(menu->palette().color(QPalette::Highlight), highlight);
        auto* edit = p.widget<QComboBox>("Edit2");
        edit->addItem("Ленина");
        QCOMPARE(edit->view()->sizeHintForRow(0), 13);
    }

    void menusHoldTheirItemsAndImages() {
        RunningProgram p;
        const QList<std::tuple<const char*, const char*, int>> items = {
            {"bar_SearchAct", "Искать", 3},
            {"bar_Excel", "в &MS Excel", 6},
            {"bar_Html", "в HTML", 9},
            {"bar_print", "Печать...", 7},
            {"bar_prset", "Установки принтера...", 8},
            {"bar_exit", "Выход", 1},
            {"bar_red", "Редактирование", -1},
            {"bar_add", "Добавить запись", 11},
            {"bar_del", "Удалить запись", 2},
            {"bar_bytel", "По телефону", -1},
            {"bar_byName", "По фамилиии", -1},
            {"bar_byUl", "По улице", -1},
            {"bar_ByDom", "По № дома", -1},
            {"bar_ByKv", "По № квартиры", -1},
            {"bar_gor", "Городские номера", 10},
            {"bar_lich", "Личный справочник", -1},
            {"bar_about", "О программе...", 0},
        };
        for (const auto& [name, caption, image] : items) {
            QCOMPARE(p.action(name)->text(), QString::fromUtf8(caption));
            QCOMPARE(p.imageIndex(name), image);
            QCOMPARE(p.action(name)->icon().isNull(), image < 0);
        }
        // The two commands and "О программе..." sit on the bar itself, after the three menus.
        const auto bar = p.widget<QMenuBar>("ActionMainMenuBar1")->actions();
        QCOMPARE(bar.size(), 6);
        QCOMPARE(bar[2]->text(), QStringLiteral("Сортировка"));
        QCOMPARE(bar[3], p.action("bar_gor"));
        QCOMPARE(bar[5], p.action("bar_about"));
        const auto popup = p.widget<QMenu>("PopupMenu1")->actions();
        QCOMPARE(popup, QList<QAction*>({p.action("N1"), p.action("N21"), p.action("N23"),
                                         p.action("N22"), p.action("N7")}));
        QCOMPARE(p.action("N2")->text(), QStringLiteral("Телефон"));
        QCOMPARE(p.action("N7")->text(), QStringLiteral("Добавить в личный справочник"));
    }

    // A bar item and a popup item linked to one command run the same handler.
    void barAndPopupItemsRunOneHandler() {
        RunningProgram p(someCity());
        searchEverything(p);
        p.action("N3")->trigger();
        QCOMPARE(p.panels()[2], QStringLiteral("Ф"));
        p.action("bar_bytel")->trigger();
        QCOMPARE(p.panels()[2], QStringLiteral("Т"));
        QVERIFY(!p.action("N3")->isChecked());
        QVERIFY(p.action("N2")->isChecked());
    }

    void pictureButtonTransitions() {
        const QPoint kBackground(300, 360);  // a spot where nothing covers the background picture
        RunningProgram p;
        auto* normal = p.widget("search1");
        auto* hover = p.widget("search");
        auto* pressed = p.widget("search2");
        QTest::mouseMove(normal, {10, 10});
        QTRY_VERIFY(hover->isVisible());
        // Moving over the background brings the normal image back.
        QTest::mouseMove(p.widget("Image1"), kBackground);
        QTRY_VERIFY(!hover->isVisible());
        QVERIFY(normal->isVisible());
        // A press on the background while the hover image shows searches nothing.
        QTest::mouseMove(normal, {10, 10});
        QTRY_VERIFY(hover->isVisible());
        QTest::mousePress(p.widget("Image1"), Qt::LeftButton, {}, kBackground);
        QVERIFY(!hover->isVisible());
        QVERIFY(p.boxes.seen().isEmpty());
        // A press on the hover image searches; with empty inputs the search warns and ends normal.
        QTest::mouseMove(normal, {10, 10});
        QTRY_VERIFY(hover->isVisible());
        p.boxes.press(QMessageBox::Ok);
        QTest::mousePress(hover, Qt::LeftButton, {}, {10, 10});
        QCOMPARE(p.boxes.seen().size(), 1);
        QCOMPARE(p.boxes.seen()[0].text, QStringLiteral("Поля поиска пусты!"));
        QVERIFY(normal->isVisible() && !hover->isVisible() && !pressed->isVisible());
    }

    void errorReportAppendsAFullStopAfterHigherCharacters() {
        QCOMPARE(errorReportText("Файл не найден"), QStringLiteral("Файл не найден."));
        QCOMPARE(errorReportText("Готово."), QStringLiteral("Готово."));
        QCOMPARE(errorReportText("Код (5)"), QStringLiteral("Код (5)"));
        QCOMPARE(errorReportText("Ошибка 7"), QStringLiteral("Ошибка 7."));  // '7' lies above '.'
        QCOMPARE(errorReportText("a-"), QStringLiteral("a-"));               // '-' lies below '.'
    }

    void everyKindOfExceptionReachesTheErrorReport() {
        ModalAnswerer boxes;
        runGuarded([] { throw Error(QStringLiteral("Файл занят")); });
        runGuarded([] { throw std::runtime_error("disk I/O error"); });
        runGuarded([] { throw 42; });
        QCOMPARE(boxes.seen().size(), 3);
        QCOMPARE(boxes.seen()[0].text, QStringLiteral("Файл занят."));
        QCOMPARE(boxes.seen()[1].text, QStringLiteral("Непредвиденная ошибка (disk I/O error)"));
        QCOMPARE(boxes.seen()[2].text, QStringLiteral("Непредвиденная ошибка."));
        QCOMPARE(boxes.seen()[2].title, kApplicationTitle);
    }

    void missingDatabaseGivesTwoReportsAndAWindowThatWorks() {
        QTemporaryDir folder;
        ModalAnswerer boxes;
        QString connection = QString::fromLatin1(kConnectionString);
        connection.replace("Data Source=tel.dll", "Data Source=" + folder.filePath("tel.dll"));
        Program program = startProgram(connection);
        QCOMPARE(boxes.seen().size(), 2);
        for (const SeenBox& box : boxes.seen()) {
            QCOMPARE(box.title, QStringLiteral("Телефонный справочник г.Ольмарск"));
            QCOMPARE(box.icon, QMessageBox::Critical);
            QVERIFY2(box.text.contains("tel.dll") && box.text.endsWith('.'), qPrintable(box.text));
            QCOMPARE(box.buttons.size(), 1);
        }
        QVERIFY(program.mainform->isVisible());
        // A later search tries the connection again and reports the same way.
        program.mainform->findChild<QComboBox*>("Edit1")->setEditText("Ив");
        program.mainform->findChild<QAction*>("SearchAct")->trigger();
        QCOMPARE(boxes.seen().size(), 3);
        QCOMPARE(program.mainform->findChild<QComboBox*>("Edit1")->currentText(),
                 QStringLiteral("Ив"));
    }

    void closingWithAChangedCityEntryAsks_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes saves") << true;
        QTest::newRow("No discards") << false;
    }
    void closingWithAChangedCityEntryAsks() {
        QFETCH(bool, yes);
        RunningProgram p(someCity());
        searchEverything(p);
        DataSet& tel = p.main().directory().tel;
        tel.edit();
        tel.setFieldValue(u"fam", QStringLiteral("Изменён"));
        p.boxes.press(yes ? QMessageBox::Yes : QMessageBox::No);
        QVERIFY(p.main().close());
        QCOMPARE(p.boxes.seen().size(), 1);
        const SeenBox& box = p.boxes.seen()[0];
        QCOMPARE(box.title, QStringLiteral("Сохранение изменений"));
        QCOMPARE(box.text, QStringLiteral("Сохранить изменения в базе данных?"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.buttons, QStringList({"&Да", "&Нет"}));  // Qt's own Russian texts
        QCOMPARE(p.file.city()[0].fam, yes ? Value("Изменён") : Value("Иванов И.И."));
        QVERIFY(!p.main().isVisible());
    }

    void failingSaveKeepsTheWindowOpen() {
        RunningProgram p(someCity());
        searchEverything(p);
        DataSet& tel = p.main().directory().tel;
        tel.edit();
        tel.setFieldValue(u"kv", QStringLiteral("123456"));  // longer than the field
        p.boxes.press(QMessageBox::Yes);
        p.boxes.press(QMessageBox::Ok);
        QVERIFY(!p.main().close());
        QCOMPARE(p.boxes.seen().size(), 2);
        QCOMPARE(p.boxes.seen()[1].icon, QMessageBox::Critical);
        QVERIFY(p.main().isVisible());
        QVERIFY(tel.isModified());
    }

    void exitClosesTheWindow() {
        RunningProgram p;
        p.run("exit");
        QVERIFY(!p.main().isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
