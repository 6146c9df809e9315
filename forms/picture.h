#pragma once

#include <QLabel>

// A picture on a window that reacts to the mouse: moving over it (no button needed),
// pressing a button on it, and a click (pressed and released on it). The picture buttons
// are three of these stacked at one place: normal, hover and pressed. Screen readers pass
// over a picture as decoration unless it is given an accessible name.
class Picture : public QLabel {
    Q_OBJECT
public:
    // The picture is drawn unscaled from the top-left corner of `geometry`; an empty size
    // takes the picture's own.
    Picture(QWidget* parent, const QString& objectName, const QString& resource, QRect geometry);

signals:
    void mouseMoved();
    void mousePressed();
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
