#pragma once

#include <QString>

// The title the program shows in the task bar and on its error report.
inline const QString kApplicationTitle = QStringLiteral("Телефонный справочник г.Ольмарск");

// The text the error report shows: a full stop is added when the last character's code
// lies above that of '.' (so "…файл" gets one, "…(5)" and "…." do not).
QString errorReportText(const QString& text);

// The default error report: a modal box with the application title as caption, the error
// icon, the text and one OK button. The program goes on afterwards.
void reportError(const QString& text);

// Makes reportError the report of every error that ends a handler of the windows.
void installErrorReport();
