#pragma once

#include <QString>

// What the program answers to --version, "Телефонный справочник г.Ольмарск 1.0", and a helper
// program, with its own name first: "telspr-import (Телефонный справочник г.Ольмарск) 1.0".
// The version is the project's (the top CMakeLists.txt).
QString versionAnswer(const QString& helperName = QString());
