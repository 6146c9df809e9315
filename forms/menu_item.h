#pragma once

#include <QAction>

class ImageList;

// An item of the menu bar or the popup menu. Its image is an index into the shared image
// list (-1 for none), readable as the property "imageIndex", because handlers decide by
// reading it: the tick on an item is the only record of the active order, the shown
// directory and edit mode. An item linked to a command runs that command when chosen.
class MenuItem : public QAction {
    Q_OBJECT
    Q_PROPERTY(int imageIndex READ imageIndex WRITE setImageIndex)
public:
    MenuItem(const QString& objectName, const QString& caption, const ImageList& images,
             int imageIndex, QAction* command, QObject* parent);

    int imageIndex() const { return m_imageIndex; }
    void setImageIndex(int index);

private:
    const ImageList& m_images;
    int m_imageIndex = -1;
};
