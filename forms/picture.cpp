#include "picture.h"

#include <QAccessibleWidget>
#include <QMouseEvent>

namespace {

// A picture with something to say reads as an image by its name; one without only decorates
// and reads as filler, which screen readers pass over, rather than as an unnamed image.
class AccessiblePicture : public QAccessibleWidget {
public:
    explicit AccessiblePicture(QWidget* picture) : QAccessibleWidget(picture) {}

    QAccessible::Role role() const override {
        return widget()->accessibleName().isEmpty() ? QAccessible::Whitespace
                                                    : QAccessible::Graphic;
    }
};

QAccessibleInterface* accessiblePicture(const QString& className, QObject* object) {
    if (className == QLatin1String(Picture::staticMetaObject.className()))
        return new AccessiblePicture(static_cast<QWidget*>(object));
    return nullptr;
}

}  // namespace

Picture::Picture(QWidget* parent, const QString& objectName, const QString& resource,
                 QRect geometry)
    : QLabel(parent) {
    static const bool readable = (QAccessible::installFactory(accessiblePicture), true);
    Q_UNUSED(readable);
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
