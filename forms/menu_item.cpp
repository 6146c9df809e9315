#include "menu_item.h"

#include "image_list.h"

MenuItem::MenuItem(const QString& objectName, const QString& caption, const ImageList& images,
                   int imageIndex, QAction* command, QObject* parent)
    : QAction(caption, parent), m_images(images) {
    setObjectName(objectName);
    setImageIndex(imageIndex);
    setIconVisibleInMenu(true);
    if (command)
        connect(this, &QAction::triggered, command, [command] { command->trigger(); });
}

void MenuItem::setImageIndex(int index) {
    m_imageIndex = index;
    setIcon(m_images.icon(index));
}
