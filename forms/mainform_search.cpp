// The search and the sort orders of the main window.
#include "db_grid.h"
#include "history_combo.h"
#include "image_list.h"
#include "mainform.h"
#include "menu_item.h"
#include "message_boxes.h"
#include "phone_edit.h"
#include "picture_button.h"
#include "search_request.h"
#include "sort_orders.h"
#include "status_bar.h"

void Tmainform::SearchActExecute() {
    SearchbClick();
}

void Tmainform::SearchbClick() {
    m_searchButton->showPicture(ButtonLook::Pressed);
    ConfirmPendingChanges();
    const SearchInputs inputs{telin->maskedText(), Edit1->currentText(), Edit2->currentText(),
                              Edit3->currentText(), Edit4->currentText()};
    if (!inputs.hasInput()) {
        showWarningBox(this, QStringLiteral("Поля поиска пусты!"));
        StatusBar1->setPanelText(0, QStringLiteral("Поиск..."));
        m_searchButton->reset();
        return;
    }
    CityQuery& tel = m_directory.tel;
    tel.close();
    tel.setCriteria(searchCriteria(inputs));
    tel.open();
    ReapplySortOrder();
    const int found = tel.recordCount();
    StatusBar1->setPanelText(0, found == 0 ? QStringLiteral("По вашему запросу ничего не найдено")
                                           : QStringLiteral("Найдено %1 записей").arg(found));
    for (HistoryCombo* edit : {Edit1, Edit2, Edit3, Edit4}) {
        const QString text = edit->currentText();
        if (!text.isEmpty())
            edit->addToHistory(text);
        edit->clearEditText();
    }
    telin->clearInput();
    m_searchButton->reset();
}

void Tmainform::ClearSortMarks() {
    for (MenuItem* item : {N2, N3, N4, N5, N6})
        item->setChecked(false);
    for (MenuItem* item : m_sortBarItems)
        item->setImageIndex(-1);
    StatusBar1->setPanelText(2, QString());
}

void Tmainform::sortBy(int order) {
    // The marks first; if the data set refuses to sort, they stay and the error is reported.
    const SortOrder& o = sortOrders()[size_t(order)];
    ClearSortMarks();
    MenuItem* const popup[] = {N2, N3, N4, N5, N6};
    popup[order]->setChecked(true);
    m_sortBarItems[order]->setImageIndex(ImageList::kTick);
    StatusBar1->setPanelText(2, o.letter);
    m_directory.shown().sortBy(o.key);
}

void Tmainform::bytelExecute() {
    sortBy(0);
}
void Tmainform::byNameExecute() {
    sortBy(1);
}
void Tmainform::byUlExecute() {
    sortBy(2);
}
void Tmainform::ByDomExecute() {
    sortBy(3);
}
void Tmainform::ByKvExecute() {
    sortBy(4);
}

void Tmainform::ReapplySortOrder() {
    // The phone order is known by its menu-bar tick, the others by their popup check marks;
    // each test reads the marks as the one before left them.
    if (m_sortBarItems[0]->imageIndex() >= 0)
        bytelExecute();
    if (N3->isChecked())
        byNameExecute();
    if (N4->isChecked())
        byUlExecute();
    if (N5->isChecked())
        ByDomExecute();
    if (N6->isChecked())
        ByKvExecute();
}
