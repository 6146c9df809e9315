#include "aboutform.h"

#include <QCloseEvent>

#include "guarded.h"
#include "picture.h"

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
    ok1 = new Picture(this, QStringLiteral("ok1"), QStringLiteral(":/images/ok_normal.png"),
                      QRect(224, 152, 73, 29));
    ok2 = new Picture(this, QStringLiteral("ok2"), QStringLiteral(":/images/ok_hover.png"),
                      QRect(224, 152, 73, 29));
    ok3 = new Picture(this, QStringLiteral("ok3"), QStringLiteral(":/images/ok_pressed.png"),
                      QRect(224, 152, 71, 29));
    ok2->hide();
    ok3->hide();

    connect(ok1, &Picture::mouseMoved, this, &Taboutform::ok1MouseMove);
    connect(ok2, &Picture::clicked, this, &Taboutform::ok2Click);
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

void Taboutform::ok1MouseMove() {
    runGuarded([this] {
        ok2->show();
        ok1->hide();
    });
}

void Taboutform::ok2Click() {
    runGuarded([this] {
        ok3->show();
        ok2->hide();
        close();
    });
}

void Taboutform::Image1MouseMove() {
    runGuarded([this] {
        ok1->show();
        ok2->hide();
        ok3->hide();
    });
}
