#include "csv_scratch.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

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

[[noreturn]] void unreadable(const QString& csvPath, const QFile& file) {
    throw Error(
        QStringLiteral("Файл «%1» не удаётся прочитать: %2.").arg(csvPath, file.errorString()));
}

// The sqlite3 program copies bytes as they are, and the directory holds UTF-8 text: a file in
// another encoding would fill it with unreadable entries. Spreadsheets in Russian often save
// CSV in Windows-1251. The file is checked in place, mapped into memory, without a copy.
void requireUtf8(const QString& csvPath) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(csvPath, file);
    const uchar* bytes = file.map(0, file.size());
    if (!bytes)
        unreadable(csvPath, file);
    const bool utf8 = QByteArrayView(bytes, file.size()).isValidUtf8();
    file.unmap(const_cast<uchar*>(bytes));
    if (!utf8)
        throw Error(QStringLiteral("Файл «%1» не в кодировке UTF-8; ничего не загружено. Файл в "
                                   "кодировке Windows-1251 перекодирует команда\n"
                                   "iconv -f cp1251 -t utf-8 %1 > новый.csv")
                        .arg(csvPath));
}

// The field separator: a semicolon when the header has more semicolons than commas outside
// quotes (what a spreadsheet in a Russian locale saves), else a comma.
char separatorOf(const QString& csvPath) {
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(csvPath, file);
    const QByteArray header = file.readLine(1 << 16);
    int commas = 0, semicolons = 0;
    bool quoted = false;
    for (const char c : header) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

// What the sqlite3 program says of a record, in Russian. It names the record by its line
// ("/dev/stdin:LINE: ..."): these shapes are its words in version 3.40.
QString recordComplaint(const QString& line) {
    static const QRegularExpression fieldCount(QStringLiteral(
        R"(^/dev/stdin:(\d+): expected (\d+) columns but found (\d+) - (filling|extras))"));
    static const QRegularExpression unterminated(
        QStringLiteral(R"(^/dev/stdin:(\d+): unterminated "-quoted field)"));
    static const QRegularExpression unescaped(
        QStringLiteral(R"(^/dev/stdin:(\d+): unescaped " character)"));
    static const QRegularExpression other(QStringLiteral(R"(^/dev/stdin:(\d+): )"));
    if (const auto m = fieldCount.match(line); m.hasMatch())
        return QStringLiteral("строка %1: полей в записи %2, а в заголовке %3")
            .arg(m.captured(1), m.captured(3), m.captured(2));
    if (const auto m = unterminated.match(line); m.hasMatch())
        return QStringLiteral("строка %1: кавычка, открывающая поле, не закрыта")
            .arg(m.captured(1));
    if (const auto m = unescaped.match(line); m.hasMatch())
        return QStringLiteral("строка %1: кавычка внутри поля в кавычках не удвоена")
            .arg(m.captured(1));
    if (const auto m = other.match(line); m.hasMatch())
        return QStringLiteral("строка %1: запись не разобрана").arg(m.captured(1));
    return {};
}

struct Complaints {
    QStringList records;              // in Russian, one per line of the file, in file order
    QHash<QString, QString> renamed;  // the scratch column -> the header's field
    bool other = false;               // anything else the program said
};

// The sqlite3 program's standard error. Besides complaints about records it lists the header
// fields it renamed because they came twice ("Columns renamed ... due to duplicates:", then
// lines such as `"tel" to "tel_1",`).
Complaints readComplaints(const QString& text) {
    static const QRegularExpression rename(QStringLiteral("^\"(.*)\" to \"(.*)\",?$"));
    Complaints complaints;
    QString lastLine;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (line.startsWith(u"Columns renamed during .import"))
            continue;
        if (const auto m = rename.match(line); m.hasMatch()) {
            complaints.renamed.insert(m.captured(2), m.captured(1));
            continue;
        }
        const QString said = recordComplaint(line);
        if (said.isEmpty()) {
            complaints.other = true;
            continue;
        }
        // A broken record gets several complaints; the first says most.
        const QString fileLine = said.section(u':', 0, 0);
        if (fileLine != lastLine)
            complaints.records.append(said);
        lastLine = fileLine;
    }
    return complaints;
}

// The sqlite3 program reads the file as its standard input, so no file name, whatever its
// characters, needs quoting inside a dot-command. Returns the fields it renamed.
QHash<QString, QString> importIntoScratch(const QString& csvPath, const QString& database,
                                          char separator) {
    QProcess sqlite;
    sqlite.setProgram(sqlite3Program());
    // The scratch file is thrown away afterwards: no journal, no waiting for the disk. In csv
    // mode .import reads quoted fields, with the separator .separator sets.
    sqlite.setArguments({QStringLiteral("-batch"), QStringLiteral("-bail"), database,
                         QStringLiteral("PRAGMA journal_mode = OFF"),
                         QStringLiteral("PRAGMA synchronous = OFF"), QStringLiteral(".mode csv"),
                         QStringLiteral(".separator \"%1\"").arg(QLatin1Char(separator)),
                         QStringLiteral(".import /dev/stdin csv")});
    sqlite.setStandardInputFile(csvPath);
    sqlite.setStandardOutputFile(QProcess::nullDevice());
    sqlite.start();
    if (!sqlite.waitForFinished(-1) || sqlite.exitStatus() != QProcess::NormalExit)
        throw Error(QStringLiteral("Программа sqlite3 не дочитала файл «%1».").arg(csvPath));
    const Complaints complaints =
        readComplaints(QString::fromLocal8Bit(sqlite.readAllStandardError()));
    if (!complaints.records.isEmpty()) {
        // A few lines say enough: a broken quote makes one complaint per later record.
        QStringList lines = complaints.records.mid(0, 3);
        if (complaints.records.size() > 3)
            lines.append(QStringLiteral("…"));
        throw Error(
            QStringLiteral("Файл «%1» не прочитан как таблица CSV; ничего не загружено.\n%2")
                .arg(csvPath, lines.join(u'\n')));
    }
    if (complaints.other || sqlite.exitCode() != 0)
        throw Error(QStringLiteral("Программа sqlite3 не прочитала файл «%1» как таблицу CSV "
                                   "(код выхода %2); ничего не загружено.")
                        .arg(csvPath, QString::number(sqlite.exitCode())));
    return complaints.renamed;
}

}  // namespace

CsvScratch::CsvScratch(const QString& csvPath) {
    const QFileInfo csv(csvPath);
    if (!csv.exists())
        throw Error(QStringLiteral("Файл «%1» не найден.").arg(csvPath));
    if (csv.isDir())
        throw Error(QStringLiteral("«%1» — папка, а не файл CSV.").arg(csvPath));
    if (!csv.isFile() || !csv.isReadable())
        throw Error(QStringLiteral("Файл «%1» не удаётся прочитать.").arg(csvPath));
    if (csv.size() == 0)
        throw Error(QStringLiteral("Файл «%1» пуст: в нём нет даже заголовка.").arg(csvPath));
    requireUtf8(csvPath);
    if (!m_dir.isValid())
        throw Error(
            QStringLiteral("Не удалось создать временную папку: %1.").arg(m_dir.errorString()));
    const QHash<QString, QString> renamed =
        importIntoScratch(csvPath, databasePath(), separatorOf(csvPath));

    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(databasePath()).constData(), &db,
                                   SQLITE_OPEN_READONLY, nullptr);
    try {
        const QString doing = QStringLiteral("Не удалось прочитать файл CSV «%1»").arg(csvPath);
        if (rc != SQLITE_OK)
            throwSqliteError(db, rc, doing);
        Statement info(db, "SELECT name FROM pragma_table_info('csv') ORDER BY cid", doing);
        while (info.step()) {
            const QString column = info.text(0).value_or(QString());
            m_columns.append(column);
            m_header.append(renamed.value(column, column));
        }
        Statement any(db, "SELECT EXISTS (SELECT 1 FROM csv)", doing);
        m_hasRecords = any.step() && any.int64(0) != 0;
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);
}
