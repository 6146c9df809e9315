// The about dialog: its window and pictures, the OK button's three pictures as the pointer
// moves and clicks, and the main window disabled exactly while the dialog shows.
#include <QTest>

#include "aboutform.h"
#include "modal_answerer.h"
#include "picture.h"
#include "typing.h"

class AboutFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> mainform;
    std::unique_ptr<Taboutform> form;

    QWidget* child(const char* name) const {
        auto* widget = form->findChild<QWidget*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    // Which of the three OK pictures is set to show (the window itself may be hidden).
    QString okShowing() const {
        QStringList showing;
        for (const char* name : {"ok1", "ok2", "ok3"})
            if (!child(name)->isHidden())
                showing.append(QString::fromLatin1(name));
        return showing.join(u',');
    }
    // The pointer comes from outside the dialog, so that the move is one even when the
    // pointer was left at the same place before.
    void hover(const char* name, QPoint at = {}) {
        QWidget* widget = child(name);
        QTest::mouseMove(mainform.get());
        QTest::mouseMove(widget, at.isNull() ? widget->rect().center() : at);
    }
    void click(const char* name) { QTest::mouseClick(child(name), Qt::LeftButton); }

private slots:
    void init() {
        mainform = std::make_unique<QWidget>();
        // Away from the dialog, so that the pointer over the dialog is over nothing else.
        mainform->setGeometry(600, 420, 100, 100);
        mainform->show();
        form = std::make_unique<Taboutform>(*mainform);
    }
    void cleanup() {
        form.reset();
        mainform.reset();
    }

    void windowAndPictures() {
        QVERIFY(form->isWindow());
        QVERIFY(!form->parentWidget());
        QVERIFY(form->isHidden());  // made hidden; the main window shows it
        form->open();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QCOMPARE(form->windowTitle(), QStringLiteral("О программе..."));
        QCOMPARE(form->pos(), QPoint(243, 108));
        QCOMPARE(form->size(), QSize(309, 233));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

        const struct {
            const char* name;
            QRect geometry;
            bool visible;
        } expected[] = {{"Image1", {0, -8, 312, 243}, true},
                        {"ok1", {224, 152, 73, 29}, true},
                        {"ok2", {224, 152, 73, 29}, false},
                        {"ok3", {224, 152, 71, 29}, false}};
        QStringList stacking;
        for (QWidget* widget : form->findChildren<QWidget*>())
            stacking.append(widget->objectName());
        QCOMPARE(stacking, QStringList({"Image1", "ok", "ok1", "ok2", "ok3"}));  // bottom to top
        for (const auto& e : expected) {
            auto* picture = qobject_cast<Picture*>(child(e.name));
            QVERIFY2(picture, e.name);
            QCOMPARE(QRect(picture->mapTo(form.get(), QPoint()), picture->size()), e.geometry);
            QCOMPARE(picture->isVisible(), e.visible);
            QVERIFY2(!picture->pixmap().isNull(), e.name);
        }
    }

    void okPicturesFollowThePointer() {
        form->open();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(!mainform->isEnabled());
        QCOMPARE(okShowing(), QStringLiteral("ok1"));

        hover("ok1");
        QCOMPARE(okShowing(), QStringLiteral("ok2"));

        click("ok2");
        QVERIFY(form->isHidden());
        QVERIFY(mainform->isEnabled());
        QCOMPARE(okShowing(), QStringLiteral("ok3"));

        // Showing again resets nothing; the pressed picture reacts to no click.
        form->open();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(!mainform->isEnabled());
        QCOMPARE(okShowing(), QStringLiteral("ok3"));
        click("ok3");
        QVERIFY(form->isVisible());
        QVERIFY(!mainform->isEnabled());
        QCOMPARE(okShowing(), QStringLiteral("ok3"));

        // Only crossing the background brings OK back; beside the narrower pressed picture,
        // at the button's right edge, the pointer is over the background already.
        QTest::mouseMove(form->windowHandle(), QPoint(224 + 72, 160));
        QCOMPARE(okShowing(), QStringLiteral("ok1"));
        hover("ok1");
        QCOMPARE(okShowing(), QStringLiteral("ok2"));
        hover("Image1", QPoint(40, 40));
        QCOMPARE(okShowing(), QStringLiteral("ok1"));
        QVERIFY(form->isVisible());
    }

    void closeBoxEnablesTheMainWindow() {
        form->open();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QVERIFY(!mainform->isEnabled());
        QVERIFY(form->close());
        QVERIFY(form->isHidden());
        QVERIFY(mainform->isEnabled());
        QCOMPARE(okShowing(), QStringLiteral("ok1"));
        form->open();  // the same window again, not destroyed by closing
        QVERIFY(form->isVisible());
    }

    // Escape does nothing; Enter and Space press the OK button (tests/forms/test_accessibility).
    void escapeDoesNothing() {
        ModalAnswerer watcher;
        form->open();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        for (QWidget* target : {static_cast<QWidget*>(form.get()), child("ok")})
            QTest::keyClick(target, Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(form->isVisible());
        QVERIFY(!mainform->isEnabled());
        QCOMPARE(okShowing(), QStringLiteral("ok1"));
        QCOMPARE(watcher.seen().size(), 0);
    }
};

QTEST_MAIN(AboutFormTest)
#include "test_aboutform.moc"
