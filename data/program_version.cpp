#include "program_version.h"

QString versionAnswer(const QString& helperName) {
    const QString title = QStringLiteral("Телефонный справочник г.Ольмарск");
    const QString version = QStringLiteral(TEL_VERSION);
    if (helperName.isEmpty())
        return QStringLiteral("%1 %2").arg(title, version);
    return QStringLiteral("%1 (%2) %3").arg(helperName, title, version);
}
