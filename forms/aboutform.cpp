#include "aboutform.h"

#include <QCloseEvent>

#include "artwork.h"
#include "guarded.h"
#include "picture.h"
#include "picture_button.h"

Taboutform::Taboutform(QWidget& mainform)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_mainform(mainform) {
    setObjectName(QStringLiteral("aboutform"));
    setWindowTitle(QStringLiteral("О программе..."));
    setFixedSize(309, 233);
    move(243, 108);

    // The picture is a little larger than the window; its edges are cut off.
    Image1 = new Picture(this, QStringLiteral("Image1"), QStringLiteral(":/images/about.png"),
                         QRect(0, -8, 312, 243));
    // All the dialog tells is drawn in the picture; screen readers read the same words.
    const AboutText& text = aboutText();
    Image1->setAccessibleName(text.title + u' ' + text.town);
    Image1->setAccessibleDescription(text.description + u' ' + text.version);
    m_ok = new PictureButton(this, QStringLiteral("ok"), ButtonPicture::Ok,
                             {QStringLiteral("ok1"), QStringLiteral("ok2"), QStringLiteral("ok3")},
                             {224, 152},
                             {PictureButton::Stacking::OneAtATime, PictureButton::Runs::OnClick});

    connect(m_ok, &PictureButton::triggered, this, &Taboutform::ok2Click);
    connect(Image1, &Picture::mouseMoved, this, &Taboutform::Image1MouseMove);
}

void Taboutform::open() {
    m_mainform.setEnabled(false);
    show();
    raise();
    activateWindow();
}

void Taboutform::closeEvent(QCloseEvent* event) {
    // Accepted, so the dialog is only hidden; it lives as long as the main window.
    event->accept();
    FormClose();
}

void Taboutform::FormClose() {
    runGuarded([this] { m_mainform.setEnabled(true); });
}

void Taboutform::ok2Click() {
    // The pressed picture stays until the pointer crosses the background.
    close();
}

void Taboutform::Image1MouseMove() {
    runGuarded([this] { m_ok->reset(); });
}
