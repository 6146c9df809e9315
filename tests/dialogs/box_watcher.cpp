#include "box_watcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

BoxWatcher::BoxWatcher(QMessageBox::ButtonRole answer) : m_answer(answer) {
    connect(&m_timer, &QTimer::timeout, this, &BoxWatcher::look);
    m_timer.start(10);
}

void BoxWatcher::look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    SeenBox seen;
    seen.className = QString::fromLatin1(modal->metaObject()->className());
    seen.objectName = modal->objectName();
    seen.title = modal->windowTitle();
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) {
        m_seen.append(seen);
        modal->close();
        return;
    }
    seen.text = box->text();
    seen.icon = box->icon();
    QAbstractButton* answer = nullptr;
    for (QAbstractButton* button : box->buttons()) {
        seen.buttons.append(box->standardButton(button));
        if (box->buttonRole(button) == m_answer)
            answer = button;
    }
    m_seen.append(seen);
    if (answer)
        answer->click();
    else
        box->reject();
}

void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        // Qt's key codes for letters are those of their capitals.
        const auto key = Qt::Key(c.toUpper().unicode());
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}
