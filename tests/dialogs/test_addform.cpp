// The add-record dialog: its controls, the picture buttons under the pointer, what OK stores
// in the city and the personal directory, the empty-fields warning, errors on saving, and
// the main window disabled exactly while the dialog shows.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "addform.h"
#include "directory.h"
#include "error_report.h"
#include "modal_answerer.h"
#include "phone_edit.h"
#include "phone_text.h"
#include "picture.h"
#include "test_directory.h"
#include "typing.h"

namespace {

TestEntry personalEntry(Value tel, Value fam, Value ul, Value dom, Value kv, Value mob) {
    return {tel, fam, ul, dom, kv, mob};
}

}  // namespace

class AddFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestDirectory> file;
    std::unique_ptr<Directory> directory;
    std::unique_ptr<QWidget> mainform;
    std::unique_ptr<Taddform> form;

    template <class W = QWidget>
    W* child(const char* name) const {
        auto* widget = form->findChild<W*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s of the expected kind", name);
        return widget;
    }
    QLineEdit* input(const char* name) const { return child<QLineEdit>(name); }
    // Which pictures of the buttons are set to show (the window itself may be hidden).
    QString buttonsShowing() const {
        QStringList showing;
        for (const char* name : {"OK1", "OK2", "ok3", "can1", "can2", "can3"})
            if (!child(name)->isHidden())
                showing.append(QString::fromLatin1(name));
        return showing.join(u',');
    }

    void openCity(const QList<TestEntry>& entries = {}) {
        for (const TestEntry& e : entries)
            file->addCity(e);
        directory->tel.setCriteria(CityCriteria::everything());
        directory->tel.open();
    }
    void openPersonal(const QList<TestEntry>& entries = {}) {
        for (const TestEntry& e : entries)
            file->addPersonal(e);
        directory->licht.open();
        directory->DataSource1.setDataSet(directory->licht);
    }
    void showForm() {
        form->open();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(!mainform->isEnabled());
    }
    // The pointer comes from outside the dialog, so that the move is one even when the
    // pointer was left at the same place before.
    void hover(const char* name, QPoint at = {}) {
        QWidget* widget = child(name);
        QTest::mouseMove(mainform.get());
        QTest::mouseMove(widget, at.isNull() ? widget->rect().center() : at);
    }
    // A point of the background not covered by any control.
    void hoverBackground() { hover("Image1", QPoint(294 + 280, 71 + 150)); }
    void pressOk() {
        hover("OK1");
        QVERIFY(!child("OK2")->isHidden());
        QTest::mouseClick(child("OK2"), Qt::LeftButton);
    }
    void pressCancel() {
        hover("can1");
        QVERIFY(!child("can2")->isHidden());
        QTest::mouseClick(child("can2"), Qt::LeftButton);
    }
    void fill(const QString& phone, const QString& fam, const QString& ul, const QString& dom,
              const QString& kv, const QString& mob = {}) {
        typeText(child("telin"), phone);
        typeText(input("Edit1"), fam);
        typeText(input("Edit2"), ul);
        typeText(input("Edit3"), dom);
        typeText(input("Edit4"), kv);
        typeText(input("Edit5"), mob);
    }
    // After OK or cancel: the dialog is closed, the main window usable, the buttons normal.
    void verifyClosedNormally() {
        QVERIFY(form->isHidden());
        QVERIFY(mainform->isEnabled());
        QCOMPARE(buttonsShowing(), QStringLiteral("OK1,can1"));
    }

private slots:
    void initTestCase() { installErrorReport(); }
    void init() {
        file = std::make_unique<TestDirectory>();
        directory = std::make_unique<Directory>(file->connectionString());
        mainform = std::make_unique<QWidget>();
        // Away from the dialog, so that the pointer over the dialog is over nothing else.
        mainform->setGeometry(640, 420, 100, 100);
        mainform->show();
        form = std::make_unique<Taddform>(*mainform, *directory);
    }
    void cleanup() {
        form.reset();
        mainform.reset();
        directory.reset();
        file.reset();
    }

    void window() {
        QVERIFY(form->isWindow());
        QVERIFY(!form->parentWidget());
        QVERIFY(form->isHidden());  // made hidden; the main window shows it
        openCity();
        showForm();
        QCOMPARE(form->windowTitle(), QStringLiteral("Добавление новой записи"));
        QCOMPARE(form->pos(), QPoint(284, 104));
        QCOMPARE(form->size(), QSize(296, 241));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    // The controls as they stand in the personal view, bottom to top.
    void controls_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<QString>("content");  // a label's text, an input's hint
        const auto row = [](const char* name, const char* kind, QRect geometry, bool visible,
                            const char* content = "") {
            QTest::newRow(name) << QString::fromLatin1(kind) << geometry << visible
                                << QString::fromUtf8(content);
        };
        row("Image1", "Picture", {-294, -71, 735, 464}, true);
        row("Bevel1", "QFrame", {8, 16, 153, 209}, true);
        row("OK1", "Picture", {192, 16, 73, 29}, true);
        row("OK2", "Picture", {192, 16, 73, 29}, false);
        row("ok3", "Picture", {192, 16, 71, 29}, false);
        row("can1", "Picture", {192, 56, 73, 29}, true);
        row("can2", "Picture", {192, 56, 73, 29}, false);
        row("can3", "Picture", {192, 56, 71, 29}, false);
        row("Edit4", "QLineEdit", {77, 160, 67, 19}, true, "Здесь введите № квартиры");
        row("Edit3", "QLineEdit", {16, 160, 56, 19}, true, "Здесь введите № дома");
        row("Edit2", "QLineEdit", {16, 120, 128, 19}, true, "Здесь введите улицу");
        row("telin", "PhoneEdit", {16, 40, 128, 19}, true,
            "Здесь введите телефон (возможно использование масок *)");
        row("Edit5", "QLineEdit", {16, 200, 128, 19}, true);
        row("StaticText1", "QLabel", {16, 64, 128, 17}, true, "ФИО");
        row("StaticText2", "QLabel", {16, 104, 128, 17}, true, "Улица");
        row("StaticText3", "QLabel", {16, 144, 56, 17}, true, "№ дома");
        row("StaticText4", "QLabel", {77, 144, 67, 17}, true, "№ квартиры");
        row("Statictext5", "QLabel", {16, 184, 128, 17}, true, "Мобильник");
        row("StaticText6", "QLabel", {16, 24, 128, 17}, true, "Телефон");
        row("Edit1", "QLineEdit", {16, 80, 128, 19}, true);
    }
    void controls() {
        QFETCH(QString, kind);
        QFETCH(QRect, geometry);
        QFETCH(bool, visible);
        QFETCH(QString, content);
        openPersonal();
        showForm();
        const QByteArray name = QTest::currentDataTag();
        QWidget* control = child(name.constData());
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), kind);
        QCOMPARE(QRect(control->mapTo(form.get(), QPoint()), control->size()), geometry);
        QCOMPARE(control->isVisible(), visible);
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            QCOMPARE(edit->toolTip(), content);
            QVERIFY(!edit->hasFrame());
            QCOMPARE(edit->palette().color(QPalette::Base), QColor(0xE0, 0xEB, 0xFE));
            if (auto* phone = qobject_cast<PhoneEdit*>(edit))
                QCOMPARE(phone->maskedText(), kEmptyPhoneText);
            else
                QVERIFY(edit->text().isEmpty());
        } else if (auto* label = qobject_cast<QLabel*>(control);
                   label && !qobject_cast<Picture*>(control)) {
            QCOMPARE(label->text(), content);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
            QCOMPARE(label->frameShape(), QFrame::Box);
            QCOMPARE(label->frameShadow(), QFrame::Plain);
        } else if (auto* picture = qobject_cast<Picture*>(control)) {
            QVERIFY(!picture->pixmap().isNull());
        }
    }

    void stacking() {
        openPersonal();
        showForm();
        // Bottom to top: a button's pictures lie above the button, in its place.
        QStringList stacking;
        for (QWidget* widget : form->findChildren<QWidget*>())
            stacking.append(widget->objectName());
        QCOMPARE(stacking, QStringList({"Image1",      "Bevel1",      "OK",          "OK1",
                                        "OK2",         "ok3",         "can",         "can1",
                                        "can2",        "can3",        "Edit4",       "Edit3",
                                        "Edit2",       "telin",       "Edit5",       "StaticText1",
                                        "StaticText2", "StaticText3", "StaticText4", "Statictext5",
                                        "StaticText6", "Edit1"}));
        // The tab order: tests/forms/test_accessibility.
    }

    void mobileRowOnlyInThePersonalView() {
        openPersonal();
        showForm();
        typeText(input("Edit5"), QStringLiteral("+7 900"));
        typeText(input("Edit1"), QStringLiteral("Орлов"));
        QVERIFY(input("Edit5")->isVisible());
        QCOMPARE(child("Bevel1")->height(), 209);
        pressCancel();

        directory->DataSource1.setDataSet(directory->tel);
        openCity();
        showForm();
        QVERIFY(!input("Edit5")->isVisible());
        QVERIFY(!child("Statictext5")->isVisible());
        QCOMPARE(child("Bevel1")->height(), 177);
        QCOMPARE(input("Edit5")->text(), QStringLiteral("+7 900"));  // kept, only hidden
        QCOMPARE(input("Edit1")->text(), QStringLiteral("Орлов"));
        pressOk();
        verifyClosedNormally();
        QCOMPARE(file->city(), QList{cityEntry("", "Орлов", "", "", "")});
        QCOMPARE(file->personal(), QList<TestEntry>());

        directory->DataSource1.setDataSet(directory->licht);
        showForm();
        QVERIFY(input("Edit5")->isVisible());
        QVERIFY(child("Statictext5")->isVisible());
        QCOMPARE(child("Bevel1")->height(), 209);
    }

    void emptyFieldsAreRefused_data() {
        QTest::addColumn<bool>("city");
        QTest::addColumn<QString>("mobile");
        QTest::newRow("city, nothing typed") << true << QString();
        QTest::newRow("personal, nothing typed") << false << QString();
        QTest::newRow("personal, mobile only") << false << QStringLiteral("89001234567");
    }
    void emptyFieldsAreRefused() {
        QFETCH(bool, city);
        QFETCH(QString, mobile);
        const TestEntry existing = personalEntry("11111", "Ивин", "Мира", "1", "2", "+7");
        const QList<TestEntry> cityBefore = {cityEntry("22222", "Лис", "Лесная", "3", "4")};
        if (city)
            openCity(cityBefore);
        else
            openPersonal({existing});
        showForm();
        typeText(input("Edit5"), mobile);
        ModalAnswerer watcher;
        pressOk();
        QCOMPARE(watcher.seen().size(), 1);
        const SeenBox& box = watcher.seen().front();
        QCOMPARE(box.type, QStringLiteral("QMessageBox"));
        QCOMPARE(box.title, QStringLiteral("Внимание!!"));
        QCOMPARE(box.text, QStringLiteral("Поля пусты!"));
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.standardButtons, QList{QMessageBox::Ok});
        verifyClosedNormally();
        QCOMPARE(file->city(), city ? cityBefore : QList<TestEntry>());
        QCOMPARE(file->personal(), city ? QList<TestEntry>() : QList{existing});
        QCOMPARE(directory->shown().state(), DataSet::State::Browse);
    }

    void phoneDigitsAreStored_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::newRow("all five") << "12345"
                                  << "1-23-45"
                                  << "12345";
        QTest::newRow("first two") << "12"
                                   << "1-2 -  "
                                   << "12";
    }
    void phoneDigitsAreStored() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        openCity();
        showForm();
        typeText(child("telin"), typed);
        QCOMPARE(child<PhoneEdit>("telin")->maskedText(), shown);
        pressOk();
        verifyClosedNormally();
        // The other fields hold the empty text, not "no value".
        QCOMPARE(file->city(), QList{cityEntry(stored, "", "", "", "")});
    }

    void personalEntryWithMobile() {
        openPersonal({personalEntry("11111", "Ивин", "Мира", "1", "2", "+7")});
        showForm();
        // Texts are stored as typed, spaces included.
        fill("54321", " Сёмин А.Б. ", "Садовая", "12а", "7", "+7 900 000");
        pressOk();
        verifyClosedNormally();
        QCOMPARE(
            file->personal(),
            QList({personalEntry("11111", "Ивин", "Мира", "1", "2", "+7"),
                   personalEntry("54321", " Сёмин А.Б. ", "Садовая", "12а", "7", "+7 900 000")}));
        QCOMPARE(directory->licht.recordCount(), 2);
        QCOMPARE(directory->licht.state(), DataSet::State::Browse);
    }

    void textsStayForTheNextOpening() {
        openCity();
        showForm();
        fill("12345", "Ким", "Мира", "5", "6");
        pressOk();
        verifyClosedNormally();

        showForm();
        QCOMPARE(child<PhoneEdit>("telin")->maskedText(), QStringLiteral("1-23-45"));
        QCOMPARE(input("Edit1")->text(), QStringLiteral("Ким"));
        QCOMPARE(input("Edit2")->text(), QStringLiteral("Мира"));
        QCOMPARE(input("Edit3")->text(), QStringLiteral("5"));
        QCOMPARE(input("Edit4")->text(), QStringLiteral("6"));
        pressOk();
        verifyClosedNormally();
        const TestEntry entry = cityEntry("12345", "Ким", "Мира", "5", "6");
        QCOMPARE(file->city(), QList({entry, entry}));
        QCOMPARE(directory->tel.recordCount(), 2);
    }

    void changedEntryIsSavedWithoutAsking() {
        openCity({cityEntry("11111", "Old", "Мира", "1", "1")});
        directory->tel.edit();
        directory->tel.setFieldValue(u"fam", QStringLiteral("New"));
        showForm();
        fill("22222", "Added", "", "", "");
        ModalAnswerer watcher;
        pressOk();
        QCOMPARE(watcher.seen().size(), 0);
        verifyClosedNormally();
        QCOMPARE(file->city(), QList({cityEntry("11111", "New", "Мира", "1", "1"),
                                      cityEntry("22222", "Added", "", "", "")}));
    }

    void emptyListingGetsOneEntry_data() {
        QTest::addColumn<bool>("city");
        QTest::newRow("city") << true;
        QTest::newRow("personal") << false;
    }
    void emptyListingGetsOneEntry() {
        QFETCH(bool, city);
        if (city)
            openCity();
        else
            openPersonal();
        showForm();
        fill("", "Один", "", "", "", "m");
        pressOk();
        verifyClosedNormally();
        if (city)
            QCOMPARE(file->city(), QList{cityEntry("", "Один", "", "", "")});
        else
            QCOMPARE(file->personal(), QList{personalEntry("", "Один", "", "", "", "m")});
        QCOMPARE(directory->shown().recordCount(), 1);
    }

    void closingOrCancellingStoresNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("close box") << true;
        QTest::newRow("cancel") << false;
    }
    void closingOrCancellingStoresNothing() {
        QFETCH(bool, closeBox);
        openCity();
        showForm();
        fill("1", "Нет", "", "", "");
        if (closeBox)
            QVERIFY(form->close());
        else
            pressCancel();
        QVERIFY(form->isHidden());
        QVERIFY(mainform->isEnabled());
        QCOMPARE(file->city(), QList<TestEntry>());
        showForm();  // the same window again, the texts kept
        QCOMPARE(input("Edit1")->text(), QStringLiteral("Нет"));
    }

    void failedSaveKeepsTheDialogOpen() {
        openCity();
        showForm();
        fill("", QString(31, u'Я'), "", "", "");
        ModalAnswerer watcher;
        pressOk();
        QCOMPARE(watcher.seen().size(), 1);
        const SeenBox& box = watcher.seen().front();
        QCOMPARE(box.objectName, QStringLiteral("errorReport"));
        QCOMPARE(box.title, kApplicationTitle);
        QCOMPARE(box.icon, QMessageBox::Critical);
        QVERIFY2(box.text.contains(u"30"), qPrintable(box.text));

        QVERIFY(form->isVisible());
        QVERIFY(!mainform->isEnabled());
        QCOMPARE(buttonsShowing(), QStringLiteral("ok3,can1"));
        QCOMPARE(directory->tel.state(), DataSet::State::Insert);
        QCOMPARE(file->city(), QList<TestEntry>());

        // Cancel leaves the pressed OK picture until the pointer crosses the background.
        pressCancel();
        QVERIFY(form->isHidden());
        QVERIFY(mainform->isEnabled());
        QCOMPARE(buttonsShowing(), QStringLiteral("ok3,can1"));
        QCOMPARE(file->city(), QList<TestEntry>());
        QCOMPARE(watcher.seen().size(), 1);
    }

    void buttonsFollowThePointer() {
        openCity();
        showForm();
        QCOMPARE(buttonsShowing(), QStringLiteral("OK1,can1"));
        hover("OK1");
        QCOMPARE(buttonsShowing(), QStringLiteral("OK2,can1"));
        hover("can1");
        QCOMPARE(buttonsShowing(), QStringLiteral("OK2,can2"));
        hoverBackground();
        QCOMPARE(buttonsShowing(), QStringLiteral("OK1,can1"));
        hover("can1");
        QCOMPARE(buttonsShowing(), QStringLiteral("OK1,can2"));
        // Over the inputs and their frame the buttons stay as they are.
        hover("Edit1");
        hover("Bevel1", QPoint(2, 150));
        QCOMPARE(buttonsShowing(), QStringLiteral("OK1,can2"));
        hoverBackground();
        QCOMPARE(buttonsShowing(), QStringLiteral("OK1,can1"));
        // Pressing without a click on the hover pictures does nothing yet.
        hover("OK1");
        QTest::mousePress(child("OK2"), Qt::LeftButton);
        QVERIFY(form->isVisible());
        QTest::mouseRelease(child("OK2"), Qt::LeftButton, {}, QPoint(-5, -5));  // off it
        QVERIFY(form->isVisible());
        QCOMPARE(buttonsShowing(), QStringLiteral("OK2,can1"));
    }

    void enterAndEscapeNeitherSaveNorCancel() {
        openCity();
        showForm();
        fill("12345", "Ким", "", "", "");
        ModalAnswerer watcher;
        for (const char* name : {"telin", "Edit1", "Edit4"}) {
            QTest::keyClick(child(name), Qt::Key_Return);
            QTest::keyClick(child(name), Qt::Key_Enter);
            QTest::keyClick(child(name), Qt::Key_Escape);
        }
        QTest::qWait(50);
        QVERIFY(form->isVisible());
        QVERIFY(!mainform->isEnabled());
        QCOMPARE(watcher.seen().size(), 0);
        QCOMPARE(file->city(), QList<TestEntry>());
        QCOMPARE(input("Edit1")->text(), QStringLiteral("Ким"));
    }
};

QTEST_MAIN(AddFormTest)
#include "test_addform.moc"
