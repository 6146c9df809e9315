#pragma once

#include <QWidget>

class Picture;
class PictureButton;

// The about dialog: a picture with an OK picture button, a tool window made once at start-up
// and only hidden when closed. While it shows, the main window is disabled. The three OK
// pictures change only with the pointer and the button: showing the dialog does not reset them.
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
    void ok2Click();
    void Image1MouseMove();

    QWidget& m_mainform;

    Picture* Image1;      // the about picture; moving over it returns OK to normal
    PictureButton* m_ok;  // OK: ok1 normal, ok2 under the pointer (a click closes), ok3 pressed
};
