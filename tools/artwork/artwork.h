#pragma once

#include <QString>

// The pictures compiled in by tel_artwork live under :/images: background.png, about.png,
// the program's icon at 32, 64 and 128 pixels (icon.png, icon_64.png, icon_128.png), the
// buttons <search|ok|cancel>_<normal|hover|pressed>.png and the 16 x 16 menu pictures
// menu/00.png .. menu/12.png listed here by what they show.
enum class MenuPicture {
    QuestionMark = 0,  // help, about the program
    PowerSymbol,       // exit
    RedCross,          // delete
    Magnifier,         // search
    Envelope,          // mail
    Computer,          // computer
    SpreadsheetArrow,  // export to a spreadsheet
    Printer,           // print
    PrinterTick,       // printer settings
    Globe,             // export to HTML
    Tick,              // the active item of a menu
    RedPlus,           // add
    OpenBook,          // copy to the personal directory
};

inline constexpr int kMenuPictureCount = 13;

// ":/images/menu/NN.png" for the picture.
QString menuPicturePath(MenuPicture picture);

// The three picture buttons, each drawn in three looks.
enum class ButtonPicture { Search, Ok, Cancel };
enum class ButtonLook { Normal, Hover, Pressed };

// The button's word as it is said ("Искать", "OK", "Отмена"). Its pictures show it in
// capitals, and the windows name the button with it, so a screen reader says what is drawn.
QString buttonWord(ButtonPicture button);
// "<search|ok|cancel>_<normal|hover|pressed>.png", and the same under :/images.
QString buttonPictureFile(ButtonPicture button, ButtonLook look);
QString buttonPicturePath(ButtonPicture button, ButtonLook look);

// What the about picture says: drawn on it, and the about dialog's name for screen readers.
struct AboutText {
    QString title;        // "Телефонный справочник"
    QString town;         // "г.Ольмарск", under the title
    QString description;  // what the program does
    QString version;      // beside the OK button
};
const AboutText& aboutText();
