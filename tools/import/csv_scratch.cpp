#include "csv_scratch.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>

#include "error.h"
#include "sqlite/statement.h"

namespace {

QString sqlite3Program() {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (program.isEmpty())
        throw Error(QStringLiteral(
            "Не найдена программа sqlite3, которая читает файлы CSV: установите пакет sqlite3."));
    return program;
}

// The sqlite3 program copies bytes as they are, and the directory holds UTF-8 text: a file in
// another encoding would fill it with unreadable entries. Spreadsheets in Russian often save
// CSV in Windows-1251.
void requireUtf8(const QString& csvPath) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(
            QStringLiteral("Файл «%1» не удаётся прочитать: %2.").arg(csvPath, file.errorString()));
    QStringDecoder utf8(QStringDecoder::Utf8);
    while (!file.atEnd() && !utf8.hasError())
        (void)QString(utf8.decode(file.read(1 << 20)));
    if (file.error() != QFile::NoError)
        throw Error(
            QStringLiteral("Файл «%1» не удаётся прочитать: %2.").arg(csvPath, file.errorString()));
    if (utf8.hasError())
        throw Error(QStringLiteral("Файл «%1» не в кодировке UTF-8; ничего не загружено. Файл в "
                                   "кодировке Windows-1251 перекодирует команда\n"
                                   "iconv -f cp1251 -t utf-8 %1 > новый.csv")
                        .arg(csvPath));
}

// The sqlite3 program reads the file as its standard input, so no file name, whatever its
// characters, needs quoting inside a dot-command; its messages name /dev/stdin instead.
void importIntoScratch(const QString& csvPath, const QString& database) {
    QProcess sqlite;
    sqlite.setProgram(sqlite3Program());
    // The scratch file is thrown away afterwards: no journal, no waiting for the disk.
    sqlite.setArguments({QStringLiteral("-batch"), QStringLiteral("-bail"), database,
                         QStringLiteral("PRAGMA journal_mode = OFF"),
                         QStringLiteral("PRAGMA synchronous = OFF"),
                         QStringLiteral(".import --csv /dev/stdin csv")});
    sqlite.setStandardInputFile(csvPath);
    sqlite.setStandardOutputFile(QProcess::nullDevice());
    sqlite.start();
    if (!sqlite.waitForFinished(-1) || sqlite.exitStatus() != QProcess::NormalExit)
        throw Error(QStringLiteral("Программа sqlite3 не дочитала файл «%1»: %2.")
                        .arg(csvPath, sqlite.errorString()));
    QString complaint = QString::fromLocal8Bit(sqlite.readAllStandardError()).trimmed();
    if (sqlite.exitCode() == 0 && complaint.isEmpty())
        return;
    if (complaint.isEmpty())
        complaint = QStringLiteral("код выхода %1").arg(sqlite.exitCode());
    // A few lines say enough: a broken quote makes one complaint per later record.
    QStringList lines = complaint.split(u'\n');
    if (lines.size() > 3) {
        lines.resize(3);
        lines.append(QStringLiteral("…"));
    }
    complaint =
        lines.join(u'\n').replace(QStringLiteral("/dev/stdin"), QFileInfo(csvPath).fileName());
    throw Error(QStringLiteral("Файл «%1» не прочитан как таблица CSV; ничего не загружено. "
                               "Программа sqlite3 сообщает:\n%2")
                    .arg(csvPath, complaint));
}

QStringList readHeader(const QString& database) {
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(database).constData(), &db,
                                   SQLITE_OPEN_READONLY, nullptr);
    QStringList names;
    try {
        const QString doing = QStringLiteral("Не удалось прочитать заголовок файла CSV");
        if (rc != SQLITE_OK)
            throwSqliteError(db, rc, doing);
        Statement info(db, "SELECT name FROM pragma_table_info('csv') ORDER BY cid", doing);
        while (info.step())
            names.append(info.text(0).value_or(QString()));
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);
    return names;
}

}  // namespace

CsvScratch::CsvScratch(const QString& csvPath) {
    const QFileInfo csv(csvPath);
    if (!csv.exists())
        throw Error(QStringLiteral("Файл «%1» не найден.").arg(csvPath));
    if (!csv.isFile() || !csv.isReadable())
        throw Error(QStringLiteral("Файл «%1» не удаётся прочитать.").arg(csvPath));
    if (csv.size() == 0)
        throw Error(QStringLiteral("Файл «%1» пуст: в нём нет даже заголовка.").arg(csvPath));
    requireUtf8(csvPath);
    if (!m_dir.isValid())
        throw Error(
            QStringLiteral("Не удалось создать временную папку: %1.").arg(m_dir.errorString()));
    importIntoScratch(csvPath, databasePath());
    m_header = readHeader(databasePath());
}
