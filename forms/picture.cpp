#include "picture.h"

#include <QMouseEvent>

Picture::Picture(QWidget* parent, const QString& objectName, const QString& resource,
                 QRect geometry)
    : QLabel(parent) {
    setObjectName(objectName);
    const QPixmap pixmap(resource);
    setPixmap(pixmap);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (geometry.size().isEmpty())
        geometry.setSize(pixmap.size());
    setGeometry(geometry);
    setMouseTracking(true);
}

void Picture::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved();
    event->accept();
}

void Picture::mousePressEvent(QMouseEvent* event) {
    m_pressed = true;
    emit mousePressed();
    event->accept();
}

void Picture::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}
