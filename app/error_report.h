#pragma once

#include <QString>
#include <exception>

#include "error.h"

// The title the program shows in the task bar and on its error report.
inline const QString kApplicationTitle = QStringLiteral("Телефонный справочник г.Ольмарск");

// The text the error report shows: a full stop is added when the last character's code
// lies above that of '.' (so "…файл" gets one, "…(5)" and "…." do not).
QString errorReportText(const QString& text);

// The default error report: a modal box with the application title as caption, the error
// icon, the text and one OK button. The program goes on afterwards.
void reportError(const QString& text);

// Runs a handler of the program; an error that escapes it ends the handler there and is
// shown in the error report. Every entry point from the event loop goes through this.
template <class Handler>
void runGuarded(Handler&& handler) {
    try {
        handler();
    } catch (const Error& e) {
        reportError(e.text());
    } catch (const std::exception& e) {
        reportError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        reportError(QStringLiteral("Непредвиденная ошибка"));
    }
}
