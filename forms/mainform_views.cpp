// Switching between the city directory and the personal directory. The view is known by
// N7's visibility alone; everything else follows it.
#include "db_grid.h"
#include "history_combo.h"
#include "image_list.h"
#include "mainform.h"
#include "menu_item.h"
#include "phone_edit.h"
#include "picture_button.h"
#include "status_bar.h"

namespace {

constexpr int kCityHeadings[] = {166, 219, 392, 565, 613};
constexpr int kPersonalHeadings[] = {20, 73, 246, 419, 466};
constexpr int kHeadingTop = 80;

}  // namespace

void Tmainform::gorExecute() {
    ConfirmPendingChanges();
    if (N7->isVisible())
        return;
    N7->setVisible(true);
    m_barGor->setImageIndex(ImageList::kTick);
    m_barLich->setImageIndex(-1);
    for (QLabel* l : {StaticText7, StaticText8, StaticText9, StaticText10, StaticText11})
        l->show();
    m_searchButton->show();
    for (QWidget* w :
         {static_cast<QWidget*>(telin), static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2),
          static_cast<QWidget*>(Edit4), static_cast<QWidget*>(Edit3)})
        w->show();
    m_barSearch->setVisible(true);
    QLabel* const headings[] = {StaticText1, StaticText2, StaticText3, StaticText4, StaticText5};
    for (int i = 0; i < 5; ++i)
        headings[i]->move(kCityHeadings[i], kHeadingTop);
    StaticText6->hide();
    Bevel1->show();
    DBGrid1->setGeometry(166, DBGrid1->y(), 523, DBGrid1->height());
    m_directory.DataSource1.setDataSet(m_directory.tel);
    m_directory.tel.open();
}

void Tmainform::lichExecute() {
    ConfirmPendingChanges();
    if (!N7->isVisible())
        return;
    m_barGor->setImageIndex(-1);
    m_barLich->setImageIndex(ImageList::kTick);
    ClearSortMarks();
    N7->setVisible(false);
    StatusBar1->setPanelText(0, QString());
    for (QLabel* l : {StaticText7, StaticText8, StaticText9, StaticText10, StaticText11})
        l->hide();
    m_barSearch->setVisible(false);
    QLabel* const headings[] = {StaticText1, StaticText2, StaticText3, StaticText4, StaticText5};
    for (int i = 0; i < 5; ++i)
        headings[i]->move(kPersonalHeadings[i], kHeadingTop);
    StaticText6->show();
    // Under the grid here: out of the keyboard's reach, first, so the focus passes it by.
    m_searchButton->hide();
    for (QWidget* w :
         {static_cast<QWidget*>(telin), static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2),
          static_cast<QWidget*>(Edit4), static_cast<QWidget*>(Edit3)})
        w->hide();
    Bevel1->hide();
    DBGrid1->setGeometry(20, DBGrid1->y(), 649, DBGrid1->height());
    m_directory.DataSource1.setDataSet(m_directory.licht);
    m_directory.licht.open();
}
