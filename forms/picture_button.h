#pragma once

#include <QAbstractButton>
#include <QStringList>
#include <array>

#include "artwork.h"

class Picture;

// A picture button: three pictures of one button stacked at one place, normal, hover and
// pressed (the pressed one 2 pixels narrower, the background showing beside it). The pointer
// moving over the normal picture brings up the hover picture; a press or a click on that, as
// the button is made, runs the command: triggered() is emitted after the pressed picture is
// shown. The window puts the normal picture back with reset() when the pointer crosses its
// background.
//
// For the keyboard and screen readers it is an ordinary push button named by its word: Tab
// reaches it (a click does not focus it), and Space, Enter or a reader's press action run it
// as if the pointer had come over it and clicked. It draws nothing of its own, so the window
// looks the same whether it has the focus or not.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class Stacking {
        Layered,     // a picture shows over the lower ones, which stay shown
        OneAtATime,  // showing one picture hides the other two
    };
    enum class Runs { OnPress, OnClick };  // what on the hover picture runs the command
    struct Behaviour {
        Stacking stacking;
        Runs runs;
    };

    // The pictures are named `names` (normal, hover, pressed); the button stands at `place`.
    PictureButton(QWidget* parent, const QString& objectName, ButtonPicture button,
                  const QStringList& names, QPoint place, Behaviour behaviour);

    void showPicture(ButtonLook look);
    void reset();  // only the normal picture shows

signals:
    void triggered();

protected:
    void paintEvent(QPaintEvent*) override {}
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void run();

    Behaviour m_behaviour;
    std::array<Picture*, 3> m_pictures;  // normal, hover, pressed
};
