#include "error_report.h"

#include <QMessageBox>

#include "guarded.h"

QString errorReportText(const QString& text) {
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + u'.';
    return text;
}

void reportError(const QString& text) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, errorReportText(text),
                    QMessageBox::Ok);
    box.setObjectName(QStringLiteral("errorReport"));
    box.exec();
}

void installErrorReport() {
    setErrorReport(reportError);
}
