#pragma once

#include <QString>

// How this desktop can open an .xlsx file: through the application registered for the type
// (the desktop opens the file), else through a known spreadsheet program found on PATH.
struct SpreadsheetOpener {
    enum class Kind { None, Desktop, Program };
    Kind kind = Kind::None;
    QString program;  // the program's path, for Kind::Program
};
SpreadsheetOpener findSpreadsheetOpener();

// Whether this desktop can open an .xlsx file at all.
bool spreadsheetApplicationAvailable();
