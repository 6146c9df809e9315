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
    // A search that fails leaves the grid showing what it showed.
    tel.reopenWith(searchCriteria(inputs));
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
    for (MenuItem* item : sortPopupItems())
        item->setChecked(false);
    for (MenuItem* item : m_sortBarItems)
        item->setImageIndex(-1);
    StatusBar1->setPanelText(2, QString());
}

void Tmainform::sortBy(Field key) {
    const auto& orders = sortOrders();
    const auto order = std::find_if(orders.begin(), orders.end(),
                                    [key](const SortOrder& o) { return o.key == key; });
    const auto i = size_t(order - orders.begin());
    // The marks first; if the data set refuses to sort, they stay and the error is reported.
    ClearSortMarks();
    sortPopupItems()[i]->setChecked(true);
    m_sortBarItems[qsizetype(i)]->setImageIndex(ImageList::kTick);
    StatusBar1->setPanelText(2, order->letter);
    m_directory.shown().sortBy(order->key);
}

void Tmainform::bytelExecute() {
    sortBy(Field::Phone);
}
void Tmainform::byNameExecute() {
    sortBy(Field::Surname);
}
void Tmainform::byUlExecute() {
    sortBy(Field::Street);
}
void Tmainform::ByDomExecute() {
    sortBy(Field::House);
}
void Tmainform::ByKvExecute() {
    sortBy(Field::Apartment);
}

void Tmainform::ReapplySortOrder() {
    // The orders in menu order, each test reading the marks as the one before left them;
    // since an order's handler clears the others' marks, at most one runs.
    const auto& orders = sortOrders();
    for (size_t i = 0; i < orders.size(); ++i) {
        const bool marked = orders[i].readBack == SortOrder::Mark::BarTick
                                ? m_sortBarItems[qsizetype(i)]->imageIndex() >= 0
                                : sortPopupItems()[i]->isChecked();
        if (marked)
            sortBy(orders[i].key);
    }
}
