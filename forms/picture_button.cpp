#include "picture_button.h"

#include <QKeyEvent>

#include "picture.h"

PictureButton::PictureButton(QWidget* parent, const QString& objectName, ButtonPicture button,
                             const QStringList& names, QPoint place, Behaviour behaviour)
    : QAbstractButton(parent), m_behaviour(behaviour) {
    setObjectName(objectName);
    setText(buttonWord(button));
    // The mouse goes on working the pictures, and leaves the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    const ButtonLook looks[] = {ButtonLook::Normal, ButtonLook::Hover, ButtonLook::Pressed};
    for (size_t i = 0; i < m_pictures.size(); ++i) {
        m_pictures[i] = new Picture(this, names[int(i)], buttonPicturePath(button, looks[i]), {});
        m_pictures[i]->installEventFilter(this);
    }
    setGeometry(QRect(place, m_pictures[0]->size()));
    reset();

    connect(m_pictures[0], &Picture::mouseMoved, this, [this] { showPicture(ButtonLook::Hover); });
    connect(m_pictures[1],
            behaviour.runs == Runs::OnPress ? &Picture::mousePressed : &Picture::clicked, this,
            &QAbstractButton::click);
    connect(this, &QAbstractButton::clicked, this, &PictureButton::run);
}

void PictureButton::showPicture(ButtonLook look) {
    const size_t shown = size_t(look);
    if (m_behaviour.stacking == Stacking::OneAtATime)
        for (size_t i = 0; i < m_pictures.size(); ++i)
            m_pictures[i]->setVisible(i == shown);
    else
        m_pictures[shown]->show();
}

void PictureButton::reset() {
    for (size_t i = 0; i < m_pictures.size(); ++i)
        m_pictures[i]->setVisible(i == 0);
}

void PictureButton::run() {
    // From the keyboard too the button lights up before it is pressed, so that the pictures
    // end as a click with the mouse leaves them.
    showPicture(ButtonLook::Hover);
    showPicture(ButtonLook::Pressed);
    emit triggered();
}

void PictureButton::keyPressEvent(QKeyEvent* event) {
    // Enter presses the button as Space does.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

bool PictureButton::eventFilter(QObject* watched, QEvent* event) {
    // The button is only where a picture shows: beside the narrower pressed picture the
    // pointer is over the window's background, as it always was.
    if (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent)
        setMask(childrenRegion());
    return QAbstractButton::eventFilter(watched, event);
}
