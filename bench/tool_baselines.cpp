#include "tool_baselines.h"

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include "error.h"

namespace {

constexpr int kToolTimeoutMs = 10 * 60 * 1000;

// Runs a finished-or-failed process to its end and returns its standard output.
QByteArray finish(QProcess& process, const QString& what) {
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        throw Error(QStringLiteral("%1 did not finish").arg(what));
    }
    const QByteArray errors = process.readAllStandardError();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        !errors.trimmed().isEmpty())
        throw Error(QStringLiteral("%1 failed (exit %2): %3")
                        .arg(what)
                        .arg(process.exitCode())
                        .arg(QString::fromLocal8Bit(errors)));
    return process.readAllStandardOutput();
}

double numberFrom(const QByteArray& output, const QString& what) {
    bool ok = false;
    const double value = output.trimmed().toDouble(&ok);
    if (!ok)
        throw Error(
            QStringLiteral("%1 printed no number: %2").arg(what, QString::fromLocal8Bit(output)));
    return value;
}

}  // namespace

double timeSqlite3(const QString& file, const QStringList& options, const QString& sql,
                   const QString& output) {
    QProcess sqlite;
    sqlite.setProgram(QStringLiteral(SQLITE3_PROGRAM));
    sqlite.setArguments(QStringList(options) << QStringLiteral("-readonly") << file << sql);
    sqlite.setStandardOutputFile(output.isEmpty() ? QProcess::nullDevice() : output);
    QElapsedTimer timer;
    timer.start();
    sqlite.start();
    finish(sqlite, QStringLiteral("sqlite3 %1").arg(sql));
    return double(timer.nsecsElapsed()) / 1e6;
}

double timePsql(const QString& uri, const QString& command) {
    QProcess psql;
    psql.setProgram(QStringLiteral(PSQL_PROGRAM));
    // No start-up file, unaligned and without headers: the least formatting psql can do.
    psql.setArguments({QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"),
                       QStringLiteral("-t"), QStringLiteral("-o"), QProcess::nullDevice(),
                       QStringLiteral("-d"), uri, QStringLiteral("-c"), command});
    psql.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    psql.start();
    finish(psql, QStringLiteral("psql %1").arg(command));
    return double(timer.nsecsElapsed()) / 1e6;
}

qint64 countRows(const QString& file, const QString& sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        throw Error(QStringLiteral("cannot open %1").arg(file));
    }
    const QByteArray count = "SELECT count(*) FROM (" + sql.toUtf8() + ")";
    sqlite3_stmt* stmt = nullptr;
    qint64 rows = -1;
    if (sqlite3_prepare_v2(db, count.constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        rows = sqlite3_column_int64(stmt, 0);
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    if (rows < 0)
        throw Error(QStringLiteral("counting rows of %1 failed: %2").arg(sql, message));
    return rows;
}

QList<double> runChildNumbers(const QStringList& arguments, qsizetype count) {
    QProcess child;
    child.setProgram(QCoreApplication::applicationFilePath());
    child.setArguments(arguments);
    child.start();
    QList<double> numbers;
    const QByteArray output = finish(child, QStringLiteral("tel_bench ") + arguments.join(u' '));
    for (const QByteArray& word : output.simplified().split(' '))
        numbers.append(numberFrom(word, arguments.value(0)));
    if (numbers.size() != count)
        throw Error(QStringLiteral("%1 printed %2 numbers, not %3")
                        .arg(arguments.value(0))
                        .arg(numbers.size())
                        .arg(count));
    return numbers;
}

double runChild(const QStringList& arguments) {
    return runChildNumbers(arguments, 1)[0];
}

double runOpenpyxl(const QString& file, const QString& workbook) {
    QProcess python;
    python.setProgram(QStringLiteral(PYTHON3_PROGRAM));
    python.setArguments({QStringLiteral(OPENPYXL_SCRIPT), file, workbook});
    python.start();
    const double ms = numberFrom(finish(python, QStringLiteral("openpyxl baseline")),
                                 QStringLiteral("openpyxl baseline"));
    QFile::remove(workbook);
    return ms;
}
