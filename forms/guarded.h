#pragma once

#include <QString>
#include <exception>
#include <new>

#include "error.h"

// Where the windows send an error that ends one of their handlers. The application installs
// its error report here at start-up (app/error_report.h); the windows know only this hook,
// so they do not depend on the application that builds them. Without a report installed the
// error goes to the program's log.
using ErrorReport = void (*)(const QString& text);
void setErrorReport(ErrorReport report);
void reportHandlerError(const QString& text);

// Runs a handler of the windows; an error that escapes it ends the handler there and is
// handed to the error report. Every entry point from the event loop goes through this.
template <class Handler>
void runGuarded(Handler&& handler) {
    try {
        handler();
    } catch (const Error& e) {
        reportHandlerError(e.text());
    } catch (const std::bad_alloc&) {
        reportHandlerError(QStringLiteral("Не хватает памяти"));
    } catch (const std::exception& e) {
        // Not one of the program's own errors: a library's words, which need a Russian cause.
        reportHandlerError(
            QStringLiteral("Непредвиденная ошибка (%1)").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        reportHandlerError(QStringLiteral("Непредвиденная ошибка"));
    }
}
