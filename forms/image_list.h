#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

// `ImageList1`: the thirteen 16 x 16 images the menus share. Image 10, the blue tick, marks
// the active sort order, the shown directory and edit mode on menu-bar items.
class ImageList : public QObject {
    Q_OBJECT
public:
    static constexpr int kTick = 10;

    explicit ImageList(QObject* parent = nullptr);
    QIcon icon(int index) const;  // a null icon for -1
    int count() const { return int(m_icons.size()); }

private:
    QList<QIcon> m_icons;
};
