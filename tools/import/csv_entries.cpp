#include "csv_entries.h"

#include <sqlite3.h>

#include <QFile>

#include "columns.h"
#include "csv_scratch.h"
#include "error.h"
#include "sql_statement.h"
#include "sqlite/statement.h"

namespace {

// The scratch column holding each column of the table, in the table's order.
QStringList matchHeader(const CsvScratch& scratch, const DirectoryTable& table,
                        const QString& csvPath) {
    const QStringList& header = scratch.header();
    QStringList columns, missing, wanted;
    for (const Column& c : table.columns) {
        const QString name = QString::fromLatin1(c.name);
        wanted.append(name);
        QStringList found;
        for (qsizetype i = 0; i < header.size(); ++i)
            if (header[i].trimmed().compare(name, Qt::CaseInsensitive) == 0)
                found.append(scratch.columns()[i]);
        if (found.size() > 1) {
            QStringList spelt;
            for (qsizetype i = 0; i < header.size(); ++i)
                if (found.contains(scratch.columns()[i]))
                    spelt.append(header[i]);
            throw Error(QStringLiteral("В заголовке файла «%1» столбец %2 назван дважды: «%3».")
                            .arg(csvPath, name, spelt.join(QStringLiteral("», «"))));
        }
        if (found.isEmpty())
            missing.append(name);
        else
            columns.append(found.first());
    }
    if (!missing.isEmpty())
        throw Error(QStringLiteral("В заголовке файла «%1» нет столбцов: %2. Нужны столбцы %3 "
                                   "(в любом порядке, буквы любые — строчные или прописные); "
                                   "ничего не загружено.")
                        .arg(csvPath, missing.join(QStringLiteral(", ")),
                             wanted.join(QStringLiteral(", "))));
    return columns;
}

}  // namespace

CsvEntries::CsvEntries(const CsvScratch& scratch, const DirectoryTable& table, QString csvPath)
    : m_table(table), m_csvPath(std::move(csvPath)) {
    const QStringList columns = matchHeader(scratch, table, m_csvPath);
    QByteArray select = "SELECT rowid";
    for (const QString& column : columns)
        select += ", " + quoted(column.toUtf8());
    select += " FROM csv ORDER BY rowid";

    const QString doing = QStringLiteral("Не удалось прочитать файл CSV «%1»").arg(m_csvPath);
    // One thread reads it: without SQLite's mutex, no lock is taken at every call.
    const int rc = sqlite3_open_v2(QFile::encodeName(scratch.databasePath()).constData(), &m_db,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK)
            throwSqliteError(m_db, rc, doing);
        m_select = std::make_unique<Statement>(m_db, select, doing);
    } catch (...) {
        sqlite3_close_v2(m_db);
        throw;
    }
}

CsvEntries::~CsvEntries() {
    m_select.reset();
    sqlite3_close_v2(m_db);
}

bool CsvEntries::next(std::span<RowStore::Field> fields) {
    if (!m_select->step())
        return false;
    for (size_t c = 0; c < fields.size(); ++c) {
        const QByteArrayView value = m_select->bytes(int(c) + 1);
        const Column& column = m_table.columns[c];
        // Refused as the program's own inputs would refuse it. A text has no more characters
        // than bytes, so most need no counting.
        if (value.size() > column.size && utf8Characters(value) > column.size)
            throw Error(QStringLiteral("В записи № %1 файла «%2» (заголовок не в счёт) "
                                       "значение столбца %3 длиннее %4 знаков: «%5». "
                                       "Ничего не загружено.")
                            .arg(QString::number(m_select->int64(0)), m_csvPath,
                                 QString::fromLatin1(column.name), QString::number(column.size),
                                 QString::fromUtf8(value)));
        fields[c] = value.isEmpty() ? RowStore::Field() : RowStore::Field(value);
    }
    return true;
}
