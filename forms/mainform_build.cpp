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
Input* input(QWidget* parent, const QString& name, const QString& hint, QRect geometry) {
    auto* w = new Input(parent);
    w->setObjectName(name);
    w->setGeometry(geometry);
    w->setToolTip(hint);
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

    ImageList1 = new ImageList(this);
    Image1 = new Picture(this, QStringLiteral("Image1"), QStringLiteral(":/images/background.png"),
                         {-8, 27, 0, 0});
    // searchMouseDown: the pressed picture, then the search.
    m_searchButton = new PictureButton(
        this, QStringLiteral("searchButton"), ButtonPicture::Search,
        {QStringLiteral("search1"), QStringLiteral("search"), QStringLiteral("search2")}, {45, 264},
        {PictureButton::Stacking::Layered, PictureButton::Runs::OnPress, true});
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
    DBGrid1->setGeometry(166, 96, 523, 282);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });

    StatusBar1 = new StatusBar(this);
    StatusBar1->setGeometry(0, 402, 706, 19);

    Searchb = new QPushButton(QStringLiteral("Searchb"), this);
    Searchb->setObjectName(QStringLiteral("Searchb"));
    Searchb->setGeometry(168, 360, 75, 25);
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

    // The column headings stand over the grid's columns, one per column of the personal
    // directory, which has all of them; the city view hides the last.
    const QRect headingPlaces[] = {{166, 80, 54, 17}, {219, 80, 200, 17}, {392, 80, 177, 17},
                                   {565, 80, 48, 17}, {613, 80, 76, 17},  {519, 80, 150, 17}};
    QLabel** const headings[] = {&StaticText1, &StaticText2, &StaticText3,
                                 &StaticText4, &StaticText5, &StaticText6};
    for (size_t i = 0; i < std::size(headings); ++i) {
        *headings[i] = label(this, QStringLiteral("StaticText%1").arg(i + 1),
                             kPersonalColumns[i].heading.toString(), headingPlaces[i], true);
    }
    StaticText6->hide();
    StaticText7 = label(this, QStringLiteral("StaticText7"), QStringLiteral("Телефон"),
                        {16, 88, 129, 17}, false);
    StaticText8 = label(this, QStringLiteral("StaticText8"), QStringLiteral("Фамилия И.О."),
                        {16, 128, 129, 17}, false);
    StaticText9 = label(this, QStringLiteral("StaticText9"), QStringLiteral("Улица"),
                        {16, 168, 129, 17}, false);
    StaticText10 = label(this, QStringLiteral("StaticText10"), QStringLiteral("№ дома"),
                         {16, 208, 57, 17}, false);
    StaticText11 = label(this, QStringLiteral("StaticText11"), QStringLiteral("№ квартиры"),
                         {72, 208, 73, 17}, false);

    Edit1 = input<HistoryCombo>(this, QStringLiteral("Edit1"), QStringLiteral("Здесь введите ФИО"),
                                {16, 144, 129, 21});
    Edit2 = input<HistoryCombo>(this, QStringLiteral("Edit2"),
                                QStringLiteral("Здесь введите улицу"), {16, 184, 129, 21});
    Edit3 = input<HistoryCombo>(this, QStringLiteral("Edit3"),
                                QStringLiteral("Здесь введите № дома"), {16, 224, 57, 21});
    Edit4 = input<HistoryCombo>(this, QStringLiteral("Edit4"),
                                QStringLiteral("Здесь введите № квартиры"), {72, 224, 73, 21});
    telin =
        input<PhoneEdit>(this, QStringLiteral("telin"),
                         QStringLiteral("Здесь введите телефон (возможно использование масок *)"),
                         {16, 104, 129, 21});
    telin->setFrame(false);
    for (QWidget* w :
         {static_cast<QWidget*>(telin), static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Edit2),
          static_cast<QWidget*>(Edit3), static_cast<QWidget*>(Edit4)})
        w->installEventFilter(this);
    setTabOrder(telin, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, m_searchButton);
    setTabOrder(m_searchButton, DBGrid1);
    telin->setFocus();

    PrintDialog1 = new QPrintDialog(&m_printer, this);
    PrintDialog1->setObjectName(QStringLiteral("PrintDialog1"));
    // The listing is printed whole: no page range, no selection to offer.
    PrintDialog1->setOption(QAbstractPrintDialog::PrintPageRange, false);
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
