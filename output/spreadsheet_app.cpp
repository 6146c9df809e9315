#include "spreadsheet_app.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {

// xdg-mime runs a shell script; a desktop that hangs in it must not hold up the program.
constexpr int kQueryTimeoutMs = 2000;

bool xlsxHandlerRegistered() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty()) {
        return false;
    }
    QProcess query;
    query.start(
        xdgMime,
        {QStringLiteral("query"), QStringLiteral("default"),
         QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(kQueryTimeoutMs)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

// The first known spreadsheet program on PATH, or an empty text.
QString spreadsheetProgramOnPath() {
    const QStringList programs = {
        QStringLiteral("libreoffice"),
        QStringLiteral("localc"),
        QStringLiteral("soffice"),
        QStringLiteral("gnumeric"),
        QStringLiteral("onlyoffice-desktopeditors"),
        QStringLiteral("calligrasheets"),
        QStringLiteral("et"),
    };
    for (const QString& program : programs) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty()) {
            return path;
        }
    }
    return {};
}

}  // namespace

SpreadsheetOpener findSpreadsheetOpener() {
    if (xlsxHandlerRegistered()) {
        return {SpreadsheetOpener::Kind::Desktop, {}};
    }
    const QString program = spreadsheetProgramOnPath();
    if (!program.isEmpty()) {
        return {SpreadsheetOpener::Kind::Program, program};
    }
    return {};
}

bool spreadsheetApplicationAvailable() {
    return findSpreadsheetOpener().kind != SpreadsheetOpener::Kind::None;
}
