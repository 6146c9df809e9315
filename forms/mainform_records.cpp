// Edit mode, adding, deleting, and copying a city entry into the personal directory.
#include "addform.h"
#include "db_grid.h"
#include "image_list.h"
#include "mainform.h"
#include "menu_item.h"
#include "message_boxes.h"
#include "status_bar.h"

namespace {

// A change the user may not make (a server role that may only search, a file opened for
// reading) is refused before anything is typed, rather than when it is saved.
bool refusedAsReadOnly(QWidget* parent, const DataSet& set) {
    if (!set.isReadOnly())
        return false;
    showWarningBox(parent,
                   QStringLiteral("%1 доступен этому пользователю только для чтения: "
                                  "записи в нём нельзя добавлять, изменять и удалять.")
                       .arg(&set.table() == &kCityTable ? QStringLiteral("Городской справочник")
                                                        : QStringLiteral("Личный справочник")));
    return true;
}

}  // namespace

void Tmainform::redExecute() {
    // Edit mode is on exactly while "Редактирование" carries the tick. Leaving it is never
    // refused.
    if (m_barRed->imageIndex() == -1 && refusedAsReadOnly(this, m_directory.shown()))
        return;
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

void Tmainform::addExecute() {
    if (refusedAsReadOnly(this, m_directory.shown()))
        return;
    m_addform->show();
    setEnabled(false);
}

void Tmainform::delExecute() {
    if (refusedAsReadOnly(this, m_directory.shown()))
        return;
    m_directory.shown().remove();
}

void Tmainform::N7Click() {
    PersonalTable& licht = m_directory.licht;
    const CityQuery& tel = m_directory.tel;
    if (refusedAsReadOnly(this, licht))
        return;
    licht.open();
    licht.edit();
    licht.append();
    // Each field of the city entry as it is held (no value stays no value) into the personal
    // field that holds the same; the mobile number, which the city lacks, an empty text.
    const int row = tel.currentIndex();
    std::vector<std::optional<QString>> entry(size_t(tel.fieldCount()));
    for (int c = 0; row >= 0 && c < tel.fieldCount(); ++c)
        entry[size_t(c)] = tel.value(row, c);
    const auto values = carriedOver(tel.table(), entry, licht.table(), QString());
    for (size_t c = 0; c < values.size(); ++c)
        licht.setValue(int(c), values[c]);
    licht.post();
    licht.close();
}
