#pragma once

#include <QString>
#include <memory>

#include "aboutform.h"
#include "addform.h"
#include "connection_settings.h"
#include "mainform.h"

// The program's three windows, living from start-up to the end.
struct Program {
    std::unique_ptr<Tmainform> mainform;
    std::unique_ptr<Taddform> addform;
    std::unique_ptr<Taboutform> aboutform;
};

// Starts the program inside an existing QApplication exactly as the program itself does:
// sets the application title, loads Qt's Russian texts for its own dialogs, builds the main
// window (which opens the connection and the city directory, reporting a failure and going
// on), then the add-record and about dialogs, hidden, and shows the main window. The event
// loop is the caller's. Tests start the real program this way.
Program startProgram(const QString& connectionString = QString::fromLatin1(kConnectionString));

// The whole program: the command line, application object, start-up, event loop.
int runProgram(int argc, char** argv);
