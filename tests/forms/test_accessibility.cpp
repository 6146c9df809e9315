// The three windows as a screen reader meets them, through Qt's accessibility interfaces:
// every control the focus reaches, in the order Tab reaches it, named by the label beside it;
// every picture button a button that its press action, Space and Enter all run; pictures
// either named or passed over; the grid a table of rows and cells; a search's result heard.
#include <QAccessible>
#include <QAccessibleBridge>
#include <QAccessibleBridgePlugin>
#include <QComboBox>
#include <QLineEdit>
#include <QtPlugin>

#include "picture.h"
#include "running_program.h"
#include "typing.h"

namespace {

// What the status bar said, as a reader's bridge hears it. Qt hands every event to the
// bridges even while no reader listens, which is all the offscreen platform can offer.
QStringList g_statusBarSaid;

class Recorder : public QAccessibleBridge {
public:
    void setRootObject(QAccessibleInterface*) override {}
    void notifyAccessibilityUpdate(QAccessibleEvent* event) override {
        if (event->type() == QAccessible::NameChanged && event->object() &&
            event->object()->objectName() == u"StatusBar1")
            g_statusBarSaid << event->accessibleInterface()->text(QAccessible::Name);
    }
};

}  // namespace

class RecorderPlugin : public QAccessibleBridgePlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QAccessibleBridgeFactoryInterface_iid FILE "accessibility_recorder.json")
public:
    QAccessibleBridge* create(const QString&) override {
        // Qt keeps its bridges to the end and may or may not delete them then.
        static Recorder* const recorder = new Recorder;
        return recorder;
    }
};
Q_IMPORT_PLUGIN(RecorderPlugin)

namespace {

const QList<TestEntry> kCity = {cityEntry("12345", "Иванов И.И.", "Ленина", "1", "1"),
                                cityEntry("23456", "Петров П.П.", "Мира", "2", "2")};
const QList<TestEntry> kPersonal = {{"11111", "Сидоров С.С.", "Садовая", "1", "1", "+7 900"}};

// A control the focus reaches: its name in the window, its role and what a reader says.
struct Control {
    QString name;
    QAccessible::Role role;
    QString spoken;
};

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// The controls Tab stops at, in its order from `first` round the window.
QStringList tabStops(QWidget* window, const QString& first) {
    QStringList stops;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled() &&
            !w->focusProxy())
            stops << w->objectName();
    const qsizetype start = stops.indexOf(first);
    return start < 0 ? stops : stops.mid(start) + stops.first(start);
}

// Opens the window: the add dialog over the personal view, where it has all its inputs, and
// with a surname, so that OK saves without a warning.
QWidget* open(RunningProgram& p, const QString& window) {
    if (window != u"mainform")
        p.run("lich");
    if (window == u"mainform" || window == u"lich")
        return &p.main();
    QWidget* dialog = window == u"addform" ? static_cast<QWidget*>(p.program.addform.get())
                                           : p.program.aboutform.get();
    p.run(window == u"addform" ? "add" : "about");
    dialog->activateWindow();
    if (auto* surname = dialog->findChild<QLineEdit*>("Edit1");
        surname && surname->text().isEmpty())
        typeText(surname, QStringLiteral("Орлов"));
    return dialog;
}

}  // namespace

Q_DECLARE_METATYPE(Control)

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlSpeaks_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QList<Control>>("controls");  // in tab order
        QTest::addColumn<QStringList>("namedPictures");
        QTest::addColumn<QStringList>("gridSurnames");  // once the buttons before it have run
        using enum QAccessible::Role;
        QTest::newRow("main window")
            << "mainform" << QList<Control>{{"telin", EditableText, "Телефон"},
                                            {"Edit1", ComboBox, "Фамилия И.О."},
                                            {"Edit2", ComboBox, "Улица"},
                                            {"Edit3", ComboBox, "№ дома"},
                                            {"Edit4", ComboBox, "№ квартиры"},
                                            {"searchButton", Button, "Искать"},
                                            {"DBGrid1", Table, "Городские номера"}}
            << QStringList() << QStringList({"Иванов И.И.", "Петров П.П."});
        // The picture button lies under the grid here, out of the keyboard's reach too.
        QTest::newRow("personal view")
            << "lich" << QList<Control>{{"DBGrid1", Table, "Личный справочник"}} << QStringList()
            << QStringList({"Сидоров С.С."});
        QTest::newRow("add dialog") << "addform"
                                    << QList<Control>{{"telin", EditableText, "Телефон"},
                                                      {"Edit1", EditableText, "ФИО"},
                                                      {"Edit2", EditableText, "Улица"},
                                                      {"Edit3", EditableText, "№ дома"},
                                                      {"Edit4", EditableText, "№ квартиры"},
                                                      {"Edit5", EditableText, "Мобильник"},
                                                      {"OK", Button, "OK"},
                                                      {"can", Button, "Отмена"}}
                                    << QStringList() << QStringList();
        QTest::newRow("about dialog")
            << "aboutform" << QList<Control>{{"ok", Button, "OK"}}
            << QStringList({"Телефонный справочник г.Ольмарск"}) << QStringList();
    }
    void everyControlSpeaks() {
        QFETCH(QString, window);
        QFETCH(QList<Control>, controls);
        QFETCH(QStringList, namedPictures);
        QFETCH(QStringList, gridSurnames);
        RunningProgram p(kCity, kPersonal);
        QWidget* w = open(p, window);
        QVERIFY(QTest::qWaitForWindowActive(w));

        QStringList names;
        for (const Control& c : controls)
            names << c.name;
        QCOMPARE(tabStops(w, names.front()), names);

        // Pictures only decorate, and are passed over, unless they have something to say.
        QStringList spokenPictures;
        for (Picture* picture : w->findChildren<Picture*>()) {
            if (accessible(picture)->role() == QAccessible::Graphic)
                spokenPictures << accessible(picture)->text(QAccessible::Name);
            else
                QCOMPARE(accessible(picture)->role(), QAccessible::Whitespace);
        }
        QCOMPARE(spokenPictures, namedPictures);

        for (const Control& c : controls) {
            QWidget* widget = w->findChild<QWidget*>(c.name);
            QAccessibleInterface* iface = accessible(widget);
            QCOMPARE(iface->role(), c.role);
            QCOMPARE(iface->text(QAccessible::Name), c.spoken);
            if (c.role == QAccessible::EditableText || c.role == QAccessible::ComboBox) {
                // Named by the label the window shows, which the reader is pointed to.
                const auto labels = iface->relations(QAccessible::Label);
                QCOMPARE(labels.size(), 1);
                QCOMPARE(labels[0].first->role(), QAccessible::StaticText);
                QCOMPARE(labels[0].first->text(QAccessible::Name), c.spoken);
                QVERIFY(!labels[0].first->state().invisible);
            } else if (c.role == QAccessible::Button) {
                // Runs from a reader's press action, and from Space and Enter while it has the
                // focus: the main window's searches and the result is heard, a dialog's closes.
                for (const QString way : {"press action", "Space", "Enter"}) {
                    if (w->isHidden())
                        open(p, window);
                    QVERIFY(QTest::qWaitForWindowActive(w));
                    widget->setFocus(Qt::TabFocusReason);
                    if (w == &p.main())
                        p.widget<QComboBox>("Edit3")->setEditText("%");  // finds every entry
                    g_statusBarSaid.clear();
                    if (way == u"press action")
                        iface->actionInterface()->doAction(
                            QAccessibleActionInterface::pressAction());
                    else
                        QTest::keyClick(widget, way == u"Space" ? Qt::Key_Space : Qt::Key_Return);
                    if (w == &p.main())
                        QTRY_COMPARE(g_statusBarSaid, QStringList({"Найдено 2 записей"}));
                    else
                        QTRY_VERIFY2(w->isHidden() && p.main().isEnabled(), qPrintable(way));
                }
            } else {
                // The grid reads as a table of the shown entries, cell by cell.
                QAccessibleTableInterface* table = iface->tableInterface();
                QStringList surnames;
                for (int row = 0; row < table->rowCount(); ++row)
                    surnames << table->cellAt(row, 1)->text(QAccessible::Name);
                surnames.sort();
                QCOMPARE(surnames, gridSurnames);
            }
        }
        QVERIFY(p.boxes.seen().isEmpty());
    }
};

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
