// Edit mode, deleting, and copying a city entry into the personal directory.
#include "db_grid.h"
#include "image_list.h"
#include "mainform.h"
#include "menu_item.h"
#include "status_bar.h"

void Tmainform::redExecute() {
    // Edit mode is on exactly while "Редактирование" carries the tick.
    ConfirmPendingChanges();
    m_directory.shown().edit();
    if (m_barRed->imageIndex() == -1) {
        DBGrid1->setOptions(DBGrid::kEditOptions);
        m_barRed->setImageIndex(ImageList::kTick);
        StatusBar1->setPanelText(3, QStringLiteral("Р"));
    } else {
        DBGrid1->setOptions(DBGrid::kBrowseOptions);
        m_barRed->setImageIndex(-1);
        StatusBar1->setPanelText(3, QString());
    }
}

void Tmainform::delExecute() {
    m_directory.shown().remove();
}

void Tmainform::N7Click() {
    PersonalTable& licht = m_directory.licht;
    const CityQuery& tel = m_directory.tel;
    licht.open();
    licht.edit();
    licht.append();
    for (const char* field : {"tel", "fam", "ul", "dom", "kv"}) {
        const QString name = QString::fromLatin1(field);
        licht.setFieldValue(name, tel.fieldValue(name));
    }
    licht.setFieldValue(u"mob", QString());
    licht.post();
    licht.close();
}
