// Building the main window: its controls at their places, its commands, its menus.
#include <QPrintDialog>

#include "columns.h"
#include "db_grid.h"
#include "guarded.h"
#include "history_combo.h"
#include "image_list.h"
#include "mainform.h"
#include "menu_bar_style.h"
#include "menu_item.h"
#include "phone_edit.h"
#include "picture.h"
#include "picture_button.h"
#include "sort_orders.h"
#include "status_bar.h"
#include "window_look.h"

namespace {

const QString kCaption = QStringLiteral("Телефонный справочник г.Ольмарск 2004");

// Column headings over the grid, one per column of the personal directory, which has all of
// them; each covers the right end of the one before. The view places the first five (see
// mainform_views.cpp); the mobile heading, shown in the personal view only, stays at 519.
constexpr int kHeadingWidths[] = {54, 200, 177, 48, 76, 150};
constexpr int kHeadingTop = 80;
constexpr int kMobileHeadingLeft = 519;

// The search panel, top to bottom: each input under the label that names it.
struct SearchField {
    const char* label;
    const char* caption;
    QRect labelPlace;
    const char* input;
    const char* hint;
    QRect inputPlace;
};
const SearchField kSearchFields[] = {
    {"StaticText7",
     "Телефон",
     {16, 88, 129, 17},
     "telin",
     "Здесь введите телефон (возможно использование масок *)",
     {16, 104, 129, 21}},
    {"StaticText8",
     "Фамилия И.О.",
     {16, 128, 129, 17},
     "Edit1",
     "Здесь введите ФИО",
     {16, 144, 129, 21}},
    {"StaticText9",
     "Улица",
     {16, 168, 129, 17},
     "Edit2",
     "Здесь введите улицу",
     {16, 184, 129, 21}},
    {"StaticText10",
     "№ дома",
     {16, 208, 57, 17},
     "Edit3",
     "Здесь введите № дома",
     {16, 224, 57, 21}},
    {"StaticText11",
     "№ квартиры",
     {72, 208, 73, 17},
     "Edit4",
     "Здесь введите № квартиры",
     {72, 224, 73, 21}},
};

QLabel* label(QWidget* parent, const QString& name, const QString& text, QRect geometry,
              bool opaque) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setFrameStyle(QFrame::Box | QFrame::Plain);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setIndent(2);
    if (opaque) {
        // Column headings: opaque, in their own colour.
        l->setAutoFillBackground(true);
        QPalette colours = l->palette();
        colours.setColor(QPalette::Window, QColor(0xB4, 0xE7, 0xE9));
        l->setPalette(colours);
    }
    return l;
}

template <class Input>
Input* input(QWidget* parent, const SearchField& field) {
    auto* w = new Input(parent);
    w->setObjectName(QString::fromLatin1(field.input));
    w->setGeometry(field.inputPlace);
    w->setToolTip(QString::fromUtf8(field.hint));
    QPalette colours = w->palette();
    colours.setColor(QPalette::Base, QColor(0xAA, 0xE2, 0xF4));
    colours.setColor(QPalette::Button, QColor(0xAA, 0xE2, 0xF4));
    w->setPalette(colours);
    return w;
}

}  // namespace

void Tmainform::buildControls() {
    setWindowTitle(kCaption);
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(706, 421);
    move(7, 9);
    setFont(windowFont());
    setMouseTracking(true);

    // Made bottom to top: each control lies above the ones made before it.
    ImageList1 = new ImageList(this);
    Image1 = new Picture(this, QStringLiteral("Image1"), QStringLiteral(":/images/background.png"),
                         {-8, 27, 0, 0});
    // searchMouseDown: the pressed picture, then the search.
    m_searchButton = new PictureButton(
        this, QStringLiteral("searchButton"), ButtonPicture::Search,
        {QStringLiteral("search1"), QStringLiteral("search"), QStringLiteral("search2")}, {45, 264},
        {PictureButton::Stacking::Layered, PictureButton::Runs::OnPress});
    connect(m_searchButton, &PictureButton::triggered, this,
            [this] { runGuarded([this] { SearchbClick(); }); });
    for (auto signal : {&Picture::mouseMoved, &Picture::mousePressed})
        connect(Image1, signal, m_searchButton, &PictureButton::reset);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setGeometry(8, 80, 145, 177);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setAttribute(Qt::WA_TransparentForMouseEvents);

    DBGrid1 = new DBGrid(m_model, this);
    DBGrid1->setGeometry(0, 96, 0, 282);  // left and width are the view's
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });

    StatusBar1 = new StatusBar(this);
    StatusBar1->setGeometry(0, 402, 706, 19);

    Searchb = new QPushButton(QStringLiteral("Searchb"), this);
    Searchb->setObjectName(QStringLiteral("Searchb"));
    Searchb->setGeometry(168, 360, 75, 25);
    Searchb->setAccessibleName(buttonWord(ButtonPicture::Search));  // not its component name
    Searchb->hide();
    connect(Searchb, &QPushButton::clicked, this,
            [this] { runGuarded([this] { SearchbClick(); }); });

    ActionMainMenuBar1 = new QMenuBar(this);
    ActionMainMenuBar1->setObjectName(QStringLiteral("ActionMainMenuBar1"));
    ActionMainMenuBar1->setNativeMenuBar(false);
    ActionMainMenuBar1->move(0, 0);
    ActionMainMenuBar1->setFixedSize(706, 27);
    // setStyle() does not take the style over; as the bar's child it goes with the bar.
    auto* barStyle = new MenuBarStyle;
    barStyle->setParent(ActionMainMenuBar1);
    ActionMainMenuBar1->setStyle(barStyle);
    ActionMainMenuBar1->setFont(menuFont());

    QLabel** const headings[] = {&StaticText1, &StaticText2, &StaticText3,
                                 &StaticText4, &StaticText5, &StaticText6};
    for (size_t i = 0; i < std::size(headings); ++i)
        *headings[i] = label(this, QStringLiteral("StaticText%1").arg(i + 1),
                             kPersonalColumns[i].heading.toString(),
                             {0, kHeadingTop, kHeadingWidths[i], 17}, true);
    StaticText6->move(kMobileHeadingLeft, kHeadingTop);

    buildSearchPanel();

    PrintDialog1 = new QPrintDialog(&m_printer, this);
    PrintDialog1->setObjectName(QStringLiteral("PrintDialog1"));
    // The listing is printed whole: no page range, no selection to offer.
    PrintDialog1->setOption(QAbstractPrintDialog::PrintPageRange, false);
}

void Tmainform::buildSearchPanel() {
    // The labels first: an input covers the bottom edge of the label above it.
    QLabel** const labels[] = {&StaticText7, &StaticText8, &StaticText9, &StaticText10,
                               &StaticText11};
    for (size_t i = 0; i < std::size(labels); ++i) {
        const SearchField& field = kSearchFields[i];
        *labels[i] = label(this, QString::fromLatin1(field.label), QString::fromUtf8(field.caption),
                           field.labelPlace, false);
    }
    telin = input<PhoneEdit>(this, kSearchFields[0]);
    telin->setFrame(false);
    Edit1 = input<HistoryCombo>(this, kSearchFields[1]);
    Edit2 = input<HistoryCombo>(this, kSearchFields[2]);
    Edit3 = input<HistoryCombo>(this, kSearchFields[3]);
    Edit4 = input<HistoryCombo>(this, kSearchFields[4]);
    QWidget* const inputs[] = {telin, Edit1, Edit2, Edit3, Edit4};
    for (size_t i = 0; i < std::size(inputs); ++i) {
        (*labels[i])->setBuddy(inputs[i]);    // names the input to screen readers
        inputs[i]->installEventFilter(this);  // Enter searches
    }
    // The picture button is hidden before the inputs, so that the focus leaving the last
    // hidden input passes it by.
    m_searchPanel = {StaticText7,  StaticText8,    StaticText9, StaticText10,
                     StaticText11, m_searchButton, telin,       Edit1,
                     Edit2,        Edit4,          Edit3,       Bevel1};

    QWidget* const tabOrder[] = {telin, Edit1, Edit2, Edit3, Edit4, m_searchButton, DBGrid1};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    telin->setFocus();
}

QAction* Tmainform::command(const QString& name, void (Tmainform::*handler)()) {
    auto* action = new QAction(name, this);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this,
            [this, handler] { runGuarded([&] { (this->*handler)(); }); });
    return action;
}

void Tmainform::buildCommands() {
    command(QStringLiteral("SearchAct"), &Tmainform::SearchActExecute);
    command(QStringLiteral("Excel"), &Tmainform::ExcelExecute);
    command(QStringLiteral("Html"), &Tmainform::HtmlExecute);
    command(QStringLiteral("print"), &Tmainform::printExecute);
    command(QStringLiteral("prset"), &Tmainform::prsetExecute);
    command(QStringLiteral("exit"), &Tmainform::exitExecute);
    command(QStringLiteral("red"), &Tmainform::redExecute);
    command(QStringLiteral("add"), &Tmainform::addExecute);
    command(QStringLiteral("del"), &Tmainform::delExecute);
    command(QStringLiteral("bytel"), &Tmainform::bytelExecute);
    command(QStringLiteral("byName"), &Tmainform::byNameExecute);
    command(QStringLiteral("byUl"), &Tmainform::byUlExecute);
    command(QStringLiteral("ByDom"), &Tmainform::ByDomExecute);
    command(QStringLiteral("ByKv"), &Tmainform::ByKvExecute);
    command(QStringLiteral("gor"), &Tmainform::gorExecute);
    command(QStringLiteral("lich"), &Tmainform::lichExecute);
    command(QStringLiteral("about"), &Tmainform::aboutExecute);
}

MenuItem* Tmainform::barItem(const QString& action, const QString& caption, int imageIndex) {
    return new MenuItem(QStringLiteral("bar_") + action, caption, *ImageList1, imageIndex,
                        findChild<QAction*>(action, Qt::FindDirectChildrenOnly), this);
}

MenuItem* Tmainform::popupItem(const QString& name, const QString& caption, int imageIndex,
                               QAction* command) {
    return new MenuItem(name, caption, *ImageList1, imageIndex, command, this);
}

void Tmainform::buildMenuBar() {
    QMenu* file = ActionMainMenuBar1->addMenu(QStringLiteral("Файл"));
    m_barSearch = barItem(QStringLiteral("SearchAct"), QStringLiteral("Искать"), 3);
    file->addAction(m_barSearch);
    QMenu* exportMenu = file->addMenu(QStringLiteral("Экспорт"));
    exportMenu->addAction(barItem(QStringLiteral("Excel"), QStringLiteral("в &MS Excel"), 6));
    exportMenu->addAction(barItem(QStringLiteral("Html"), QStringLiteral("в HTML"), 9));
    file->addAction(barItem(QStringLiteral("print"), QStringLiteral("Печать..."), 7));
    file->addAction(barItem(QStringLiteral("prset"), QStringLiteral("Установки принтера..."), 8));
    file->addSeparator();
    file->addAction(barItem(QStringLiteral("exit"), QStringLiteral("Выход"), 1));

    QMenu* edit = ActionMainMenuBar1->addMenu(QStringLiteral("Правка"));
    m_barRed = barItem(QStringLiteral("red"), QStringLiteral("Редактирование"), -1);
    edit->addAction(m_barRed);
    edit->addSeparator();
    edit->addAction(barItem(QStringLiteral("add"), QStringLiteral("Добавить запись"), 11));
    edit->addAction(barItem(QStringLiteral("del"), QStringLiteral("Удалить запись"), 2));

    QMenu* sorting = ActionMainMenuBar1->addMenu(QStringLiteral("Сортировка"));
    for (const SortOrder& order : sortOrders()) {
        m_sortBarItems.append(barItem(order.action, order.barCaption, -1));
        sorting->addAction(m_sortBarItems.back());
    }

    m_barGor = barItem(QStringLiteral("gor"), QStringLiteral("Городские номера"), ImageList::kTick);
    m_barLich = barItem(QStringLiteral("lich"), QStringLiteral("Личный справочник"), -1);
    ActionMainMenuBar1->addAction(m_barGor);
    ActionMainMenuBar1->addAction(m_barLich);
    ActionMainMenuBar1->addAction(
        barItem(QStringLiteral("about"), QStringLiteral("О программе..."), 0));

    // The bar's colour map: the item under the mouse on a light grey, its text unchanged,
    // on the bar and in every drop-down.
    QPalette colours = ActionMainMenuBar1->palette();
    colours.setColor(QPalette::Highlight, QColor(0xE2, 0xE1, 0xDB));
    colours.setColor(QPalette::HighlightedText, colours.color(QPalette::ButtonText));
    ActionMainMenuBar1->setPalette(colours);
    for (QMenu* menu : ActionMainMenuBar1->findChildren<QMenu*>())
        menu->setPalette(colours);
}

void Tmainform::buildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QMenu* sorting = PopupMenu1->addMenu(QStringLiteral("Сортировка"));
    N1 = sorting->menuAction();
    N1->setObjectName(QStringLiteral("N1"));
    MenuItem** sortItems[] = {&N2, &N3, &N4, &N5, &N6};
    int i = 0;
    for (const SortOrder& order : sortOrders()) {
        MenuItem* item = popupItem(order.popupItem, order.popupCaption, -1,
                                   findChild<QAction*>(order.action, Qt::FindDirectChildrenOnly));
        item->setCheckable(true);
        sorting->addAction(item);
        *sortItems[i++] = item;
    }
    N21 = PopupMenu1->addSeparator();
    N21->setObjectName(QStringLiteral("N21"));
    N23 = popupItem(QStringLiteral("N23"), QStringLiteral("Добавить"), 11,
                    findChild<QAction*>(QStringLiteral("add"), Qt::FindDirectChildrenOnly));
    N22 = popupItem(QStringLiteral("N22"), QStringLiteral("Удалить"), 2,
                    findChild<QAction*>(QStringLiteral("del"), Qt::FindDirectChildrenOnly));
    N7 = popupItem(QStringLiteral("N7"), QStringLiteral("Добавить в личный справочник"), 12,
                   nullptr);
    connect(N7, &QAction::triggered, this, [this] { runGuarded([this] { N7Click(); }); });
    PopupMenu1->addAction(N23);
    PopupMenu1->addAction(N22);
    PopupMenu1->addAction(N7);
}
