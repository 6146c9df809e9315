#include "typing.h"

#include <QTest>

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        // Qt's key codes for letters are those of their capitals.
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}
