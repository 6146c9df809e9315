#pragma once

#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "directory.h"
#include "directory_model.h"

class DBGrid;
class HistoryCombo;
class ImageList;
class MenuItem;
class PhoneEdit;
class Picture;
class PictureButton;
class StatusBar;
class QFileDialog;
class QFrame;
class QLabel;
class QPageSetupDialog;
class QPrintDialog;
class Taddform;
class Taboutform;

// The main window `mainform`: the search panel, the grid over the shown directory, the
// menus, the status bar and the picture button of the search. It holds the directory's data
// and every handler of the window; the states the handlers decide by live in its controls
// (menu images, popup check marks, N7's visibility, the grid's options, status panels).
class Tmainform : public QWidget {
    Q_OBJECT
public:
    // Builds the window and opens the data: the connection while the window is built, then
    // FormCreate. A failure of either is reported and building goes on.
    explicit Tmainform(const QString& connectionString, QWidget* parent = nullptr);
    ~Tmainform() override;

    // The two dialogs, created after the main window; the window shows them.
    void setDialogs(Taddform* addform, Taboutform* aboutform);

    Directory& directory() { return m_directory; }

    // The handlers, as their commands and events run them.
    void FormCreate();
    void SearchbClick();
    void SearchActExecute();
    void ExcelExecute();
    void HtmlExecute();
    void printExecute();
    void prsetExecute();
    void exitExecute();
    void redExecute();
    void addExecute();
    void delExecute();
    void bytelExecute();
    void byNameExecute();
    void byUlExecute();
    void ByDomExecute();
    void ByKvExecute();
    void gorExecute();
    void lichExecute();
    void aboutExecute();
    void N7Click();
    void ClearSortMarks();
    void ReapplySortOrder();
    void ConfirmPendingChanges();

    // The spreadsheet export asks whether a spreadsheet program is there and hands it the
    // finished file through these; when empty, the desktop is asked. Tests set them.
    std::function<bool()> spreadsheetAvailable;
    std::function<void(const QString& path)> openSpreadsheet;
    // An output running longer than this shows its progress and can be cancelled; tests
    // shorten it to see the dialog on a small listing.
    int progressDelayMs = 500;

protected:
    void closeEvent(QCloseEvent* event) override;                // FormClose
    void mouseMoveEvent(QMouseEvent* event) override;            // FormMouseMove
    bool eventFilter(QObject* watched, QEvent* event) override;  // key presses of the inputs

private:
    void buildControls();
    void buildSearchPanel();  // the labels and inputs of the city view's search
    void buildCommands();
    void buildMenuBar();
    void buildPopupMenu();
    QAction* command(const QString& name, void (Tmainform::*handler)());
    MenuItem* barItem(const QString& action, const QString& caption, int imageIndex);
    MenuItem* popupItem(const QString& name, const QString& caption, int imageIndex,
                        QAction* command);
    void showView(bool city);  // what the city or the personal view shows, and where
    void sortBy(Field key);
    std::array<MenuItem*, 5> sortPopupItems() const { return {N2, N3, N4, N5, N6}; }

    Directory m_directory;
    DirectoryModel m_model;
    Taddform* m_addform = nullptr;
    Taboutform* m_aboutform = nullptr;

    // The controls, named as the window has always named them.
    ImageList* ImageList1;         // the 16 x 16 menu images
    Picture* Image1;               // background picture
    QFrame* Bevel1;                // frame around the search panel
    DBGrid* DBGrid1;               // the grid over the shown directory
    StatusBar* StatusBar1;         // result, blank, sort letter, edit mode
    QPushButton* Searchb;          // never shown; its click is the search
    QMenuBar* ActionMainMenuBar1;  // the menu bar
    QLabel* StaticText1;           // column heading "Телефон"
    QLabel* StaticText2;           // column heading "Фамилия И.О."
    QLabel* StaticText3;           // column heading "Улица"
    QLabel* StaticText4;           // column heading "№ дома"
    QLabel* StaticText5;           // column heading "Квартира"
    QLabel* StaticText6;           // column heading "Мобильник", personal directory only
    QLabel* StaticText7;           // search label "Телефон"
    QLabel* StaticText8;           // search label "Фамилия И.О."
    QLabel* StaticText9;           // search label "Улица"
    QLabel* StaticText10;          // search label "№ дома"
    QLabel* StaticText11;          // search label "№ квартиры"
    HistoryCombo* Edit1;           // surname input
    HistoryCombo* Edit2;           // street input
    HistoryCombo* Edit3;           // house input
    HistoryCombo* Edit4;           // apartment input
    PhoneEdit* telin;              // phone input
    QMenu* PopupMenu1;             // the grid's popup menu
    QAction* N1;                   // popup "Сортировка"
    MenuItem* N2;                  // popup sort by phone
    MenuItem* N3;                  // popup sort by surname
    MenuItem* N4;                  // popup sort by street
    MenuItem* N5;                  // popup sort by house
    MenuItem* N6;                  // popup sort by apartment
    QAction* N21;                  // popup separator
    MenuItem* N23;                 // popup "Добавить"
    MenuItem* N22;                 // popup "Удалить"
    MenuItem* N7;  // popup "Добавить в личный справочник", city directory only
    QList<MenuItem*> m_sortBarItems;  // the five items of the menu bar's "Сортировка" menu
    MenuItem* m_barSearch;            // "Искать", first item of the "Файл" menu
    MenuItem* m_barRed;               // "Редактирование": its tick is edit mode
    MenuItem* m_barGor;   // "Городские номера": its tick marks the city view
    MenuItem* m_barLich;  // "Личный справочник": its tick marks the personal view
    // The search picture button over the background: its pictures search1 (normal), search
    // (hover) and search2 (pressed) stand at its place.
    PictureButton* m_searchButton;
    QList<QWidget*> m_searchPanel;  // the city view's, beside the grid; hidden in the personal view
    QPrinter m_printer;
    QPrintDialog* PrintDialog1;                       // chooses the printer for the listing
    QFileDialog* SaveDialog1 = nullptr;               // names the HTML file, made when first used
    QPageSetupDialog* PrinterSetupDialog1 = nullptr;  // printer settings, made when first used
    QString m_lastHtmlName = QStringLiteral("tel");   // the name last confirmed in SaveDialog1
};
