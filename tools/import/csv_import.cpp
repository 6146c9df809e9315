#include "csv_import.h"

#include <sqlite3.h>

#include <QFile>
#include <QStringList>

#include "columns.h"
#include "csv_scratch.h"
#include "error.h"
#include "sqlite/schema.h"
#include "sqlite/search_index.h"
#include "sqlite/sqlite_engine.h"
#include "sqlite/statement.h"

namespace {

QByteArray quoted(const QString& identifier) {
    QByteArray name = identifier.toUtf8();
    return '"' + name.replace('"', "\"\"") + '"';
}

// The header field holding each column of the table, in the table's order.
QStringList matchHeader(const QStringList& header, const DirectoryTable& table,
                        const QString& csvPath) {
    QStringList fields, missing, wanted;
    for (const Column& c : table.columns) {
        const QString name = QString::fromLatin1(c.name);
        wanted.append(name);
        QStringList found;
        for (const QString& field : header)
            if (field.trimmed().compare(name, Qt::CaseInsensitive) == 0)
                found.append(field);
        if (found.size() > 1)
            throw Error(QStringLiteral("В заголовке файла «%1» столбец %2 назван дважды: «%3».")
                            .arg(csvPath, name, found.join(QStringLiteral("», «"))));
        if (found.isEmpty())
            missing.append(name);
        else
            fields.append(found.first());
    }
    if (!missing.isEmpty())
        throw Error(QStringLiteral("В заголовке файла «%1» нет столбцов: %2. Нужны столбцы %3 "
                                   "(в любом порядке, буквы любые — строчные или прописные); "
                                   "ничего не загружено.")
                        .arg(csvPath, missing.join(QStringLiteral(", ")),
                             wanted.join(QStringLiteral(", "))));
    return fields;
}

// Refuses the first record with a value longer than its field allows, as the program's own
// inputs would.
void checkSizes(const CsvScratch& scratch, const QStringList& fields, const DirectoryTable& table,
                const QString& csvPath) {
    QByteArray select = "SELECT rowid";
    QByteArrayList tooLong;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        select += ", " + quoted(fields[i]);
        tooLong.append("length(" + quoted(fields[i]) + ") > " +
                       QByteArray::number(table.columns[size_t(i)].size));
    }
    select += " FROM csv WHERE " + tooLong.join(" OR ") + " ORDER BY rowid LIMIT 1";

    sqlite3* db = nullptr;
    const QString doing = QStringLiteral("Не удалось проверить записи файла «%1»").arg(csvPath);
    const int rc = sqlite3_open_v2(QFile::encodeName(scratch.databasePath()).constData(), &db,
                                   SQLITE_OPEN_READONLY, nullptr);
    try {
        if (rc != SQLITE_OK)
            throwSqliteError(db, rc, doing);
        Statement first(db, select, doing);
        if (first.step()) {
            for (qsizetype i = 0; i < fields.size(); ++i) {
                const QString value = first.text(int(i) + 1).value_or(QString());
                const Column& column = table.columns[size_t(i)];
                if (value.size() > column.size)
                    throw Error(QStringLiteral("В записи № %1 файла «%2» (заголовок не в счёт) "
                                               "значение столбца %3 длиннее %4 знаков: «%5». "
                                               "Ничего не загружено.")
                                    .arg(first.int64(0))
                                    .arg(csvPath, QString::fromLatin1(column.name))
                                    .arg(column.size)
                                    .arg(value));
            }
        }
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    sqlite3_close_v2(db);
}

qint64 insertAll(const QString& path, const CsvScratch& scratch, const QStringList& fields,
                 const DirectoryTable& table) {
    QByteArrayList columns, values;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        columns.append(table.columns[size_t(i)].name);
        values.append("NULLIF(" + quoted(fields[i]) + ", '')");
    }
    const QByteArray insert = QByteArray("INSERT INTO main.") + table.name + " (" +
                              columns.join(", ") + ") SELECT " + values.join(", ") +
                              " FROM csv.csv ORDER BY rowid";

    SqliteEngine engine(path, true);
    sqlite3* db = engine.handle();
    const QString doing = QStringLiteral("Не удалось загрузить записи в файл «%1»").arg(path);
    // Folding a million entries into the index's five B-trees at SQLite's default 2 MB page
    // cache rereads pages from the disk over and over.
    execute(db, "PRAGMA cache_size = -262144", doing);
    Statement attach(db, "ATTACH ?1 AS csv", doing);
    attach.bindText(1, QFile::encodeName(scratch.databasePath()));
    attach.run();
    Transaction transaction(db);
    Statement(db, insert, doing).run();
    const qint64 entries = sqlite3_changes64(db);
    // The index's triggers noted every new city entry; folding them now spares the program's
    // first search the wait (seconds at a million entries).
    if (&table == &kCityTable && engine.hasSearchIndex())
        foldPendingEntries(db);
    transaction.commit();
    return entries;
}

}  // namespace

ImportOutcome importCsv(const QString& csvPath, const DirectoryTable& table, const QString& path) {
    const CsvScratch scratch(csvPath);
    const QStringList fields = matchHeader(scratch.header(), table, csvPath);
    checkSizes(scratch, fields, table, csvPath);

    ImportOutcome outcome;
    if (!QFile::exists(path)) {
        initDatabase(path);
        outcome.created = true;
    }
    try {
        outcome.entries = insertAll(path, scratch, fields, table);
    } catch (...) {
        if (outcome.created)
            QFile::remove(path);
        throw;
    }
    return outcome;
}
