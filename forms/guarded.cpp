#include "guarded.h"

#include <QtGlobal>

namespace {

ErrorReport installedReport = nullptr;

}  // namespace

void setErrorReport(ErrorReport report) {
    installedReport = report;
}

void reportHandlerError(const QString& text) {
    if (installedReport)
        installedReport(text);
    else
        qCritical("%s", qUtf8Printable(text));
}
