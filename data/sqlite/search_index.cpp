#include "search_index.h"

#include <sqlite3.h>

#include <QByteArrayList>
#include <QString>

#include "columns.h"
#include "statement.h"
#include "stored_table.h"

namespace {

// "fold(tel), fold(fam), ...": the folded copies of the city columns.
QByteArray foldedColumns(const StoredTable& tel) {
    QByteArrayList list;
    for (const QByteArray& column : tel.columns)
        list << "fold(" + column + ")";
    return list.join(", ");
}

QByteArray createSql() {
    const QByteArray key(kKeyColumn);
    QByteArray sql = "CREATE TABLE tel_fold (" + key + " INTEGER PRIMARY KEY";
    for (const Column& c : kCityTable.columns)
        sql += QByteArray(", ") + c.name + " TEXT";
    sql +=
        ");"
        "CREATE TABLE tel_fold_pending (" +
        key +
        " INTEGER PRIMARY KEY);"
        "INSERT INTO tel_fold SELECT " +
        key + ", " + foldedColumns(StoredTable::declared(kCityTable)) + " FROM tel;";
    for (const Column& c : kCityTable.columns)
        sql += QByteArray("CREATE INDEX tel_fold_") + c.name + " ON tel_fold (" + c.name + ");";
    sql +=
        "CREATE TRIGGER tel_fold_insert AFTER INSERT ON tel BEGIN"
        " INSERT OR IGNORE INTO tel_fold_pending (" +
        key + ") VALUES (new." + key +
        "); END;"
        "CREATE TRIGGER tel_fold_update AFTER UPDATE ON tel BEGIN"
        " DELETE FROM tel_fold WHERE " +
        key + " = old." + key +
        ";"
        " INSERT OR IGNORE INTO tel_fold_pending (" +
        key + ") VALUES (new." + key +
        "); END;"
        "CREATE TRIGGER tel_fold_delete AFTER DELETE ON tel BEGIN"
        " DELETE FROM tel_fold WHERE " +
        key + " = old." + key +
        ";"
        " DELETE FROM tel_fold_pending WHERE " +
        key + " = old." + key + "; END;";
    return sql;
}

QByteArray catchUpSql(const StoredTable& tel) {
    return "INSERT OR REPLACE INTO tel_fold SELECT " + tel.key + ", " + foldedColumns(tel) +
           " FROM " + tel.table + " WHERE " + tel.key + " IN (SELECT " + kKeyColumn +
           " FROM tel_fold_pending);"
           "DELETE FROM tel_fold_pending;";
}

}  // namespace

void createSearchIndex(sqlite3* db) {
    execute(db, createSql().constData(), QStringLiteral("Не удалось создать поисковый индекс"));
}

bool hasSearchIndex(sqlite3* db) {
    Statement objects(
        db,
        "SELECT count(*) FROM sqlite_master WHERE name IN ('tel_fold', 'tel_fold_pending',"
        " 'tel_fold_insert', 'tel_fold_update', 'tel_fold_delete')");
    objects.step();
    return objects.int64(0) == 5;
}

bool searchIndexCurrent(sqlite3* db) {
    Statement pending(db, "SELECT EXISTS (SELECT 1 FROM tel_fold_pending)",
                      QStringLiteral("Не удалось прочитать поисковый индекс"));
    pending.step();
    return pending.int64(0) == 0;
}

void catchUpSearchIndex(sqlite3* db, const StoredTable& tel) {
    if (searchIndexCurrent(db))
        return;
    Transaction transaction(db);
    foldPendingEntries(db, tel);
    transaction.commit();
}

void foldPendingEntries(sqlite3* db, const StoredTable& tel) {
    execute(db, catchUpSql(tel).constData(),
            QStringLiteral("Не удалось обновить поисковый индекс"));
}
