// Switching between the city directory and the personal directory. The view is known by
// N7's visibility alone; everything else follows it.
#include "db_grid.h"
#include "image_list.h"
#include "mainform.h"
#include "menu_item.h"
#include "status_bar.h"

namespace {

// Where the grid and the column headings "Телефон" to "Квартира" stand in each view: the
// personal view has no search panel, and its grid starts near the window's left edge.
struct ViewPlaces {
    int headingLefts[5];
    int gridLeft;
    int gridWidth;
};
constexpr ViewPlaces kCityPlaces{{166, 219, 392, 565, 613}, 166, 523};
constexpr ViewPlaces kPersonalPlaces{{20, 73, 246, 419, 466}, 20, 649};

}  // namespace

void Tmainform::showView(bool city) {
    // N7 and the tick on the menu bar tell the view. The search panel (its labels, inputs,
    // frame and picture button) and the item "Искать" belong to the city view, the mobile
    // heading to the personal one.
    N7->setVisible(city);
    m_barGor->setImageIndex(city ? ImageList::kTick : -1);
    m_barLich->setImageIndex(city ? -1 : ImageList::kTick);
    for (QWidget* w : m_searchPanel)
        w->setVisible(city);
    m_barSearch->setVisible(city);
    StaticText6->setVisible(!city);
    const ViewPlaces& places = city ? kCityPlaces : kPersonalPlaces;
    QLabel* const headings[] = {StaticText1, StaticText2, StaticText3, StaticText4, StaticText5};
    for (size_t i = 0; i < std::size(headings); ++i)
        headings[i]->move(places.headingLefts[i], headings[i]->y());
    DBGrid1->setGeometry(places.gridLeft, DBGrid1->y(), places.gridWidth, DBGrid1->height());
    // The grid is named after the ticked menu-bar item of its view.
    DBGrid1->setAccessibleName((city ? m_barGor : m_barLich)->text());
}

void Tmainform::gorExecute() {
    ConfirmPendingChanges();
    if (N7->isVisible())
        return;
    showView(true);
    m_directory.DataSource1.setDataSet(m_directory.tel);
    m_directory.tel.open();
}

void Tmainform::lichExecute() {
    ConfirmPendingChanges();
    if (!N7->isVisible())
        return;
    ClearSortMarks();
    StatusBar1->setPanelText(0, QString());
    showView(false);
    m_directory.DataSource1.setDataSet(m_directory.licht);
    m_directory.licht.open();
}
