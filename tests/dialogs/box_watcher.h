#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

// A modal box as the user saw it when it was answered.
struct SeenBox {
    QString className;
    QString objectName;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
};

// Stands in for the user while a test acts: every modal box that comes up is recorded and
// answered with its button of the given role. A box of another kind is closed, so that a
// test never hangs; its class name tells what it was.
class BoxWatcher : public QObject {
    Q_OBJECT
public:
    explicit BoxWatcher(QMessageBox::ButtonRole answer = QMessageBox::AcceptRole);

    const QList<SeenBox>& seen() const { return m_seen; }

private:
    void look();

    QMessageBox::ButtonRole m_answer;
    QTimer m_timer;
    QList<SeenBox> m_seen;
};

// Types text into a widget key by key, Cyrillic letters included.
void typeText(QWidget* widget, const QString& text);
