#pragma once

#include <QWidget>

class Picture;

// The about dialog: a picture with an OK picture button, a tool window made once at start-up
// and only hidden when closed. While it shows, the main window is disabled. The three OK
// pictures change only with the pointer: showing the dialog does not reset them.
class Taboutform : public QWidget {
    Q_OBJECT
public:
    explicit Taboutform(QWidget& mainform);

    // What the main window's about command does: disable itself, show the dialog on top.
    void open();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();
    void ok1MouseMove();
    void ok2Click();
    void Image1MouseMove();

    QWidget& m_mainform;

    Picture* Image1;  // the about picture; moving over it returns OK to normal
    Picture* ok1;     // OK button, normal
    Picture* ok2;     // OK button under the pointer; a click on it closes
    Picture* ok3;     // OK button pressed; reacts to nothing
};
