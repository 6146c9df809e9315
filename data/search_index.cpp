#include "search_index.h"

#include <sqlite3.h>

#include <QString>

#include "statement.h"

namespace {

const char kCreateSql[] =
    "CREATE TABLE tel_fold (key INTEGER PRIMARY KEY, tel TEXT, fam TEXT, ul TEXT, dom TEXT, kv "
    "TEXT);"
    "CREATE TABLE tel_fold_pending (key INTEGER PRIMARY KEY);"
    "INSERT INTO tel_fold SELECT key, fold(tel), fold(fam), fold(ul), fold(dom), fold(kv) FROM tel;"
    "CREATE INDEX tel_fold_tel ON tel_fold (tel);"
    "CREATE INDEX tel_fold_fam ON tel_fold (fam);"
    "CREATE INDEX tel_fold_ul ON tel_fold (ul);"
    "CREATE INDEX tel_fold_dom ON tel_fold (dom);"
    "CREATE INDEX tel_fold_kv ON tel_fold (kv);"
    "CREATE TRIGGER tel_fold_insert AFTER INSERT ON tel BEGIN"
    " INSERT OR IGNORE INTO tel_fold_pending (key) VALUES (new.key); END;"
    "CREATE TRIGGER tel_fold_update AFTER UPDATE ON tel BEGIN"
    " DELETE FROM tel_fold WHERE key = old.key;"
    " INSERT OR IGNORE INTO tel_fold_pending (key) VALUES (new.key); END;"
    "CREATE TRIGGER tel_fold_delete AFTER DELETE ON tel BEGIN"
    " DELETE FROM tel_fold WHERE key = old.key;"
    " DELETE FROM tel_fold_pending WHERE key = old.key; END;";

const char kCatchUpSql[] =
    "INSERT OR REPLACE INTO tel_fold SELECT key, fold(tel), fold(fam), fold(ul), fold(dom), "
    "fold(kv)"
    " FROM tel WHERE key IN (SELECT key FROM tel_fold_pending);"
    "DELETE FROM tel_fold_pending;";

}  // namespace

void createSearchIndex(sqlite3* db) {
    execute(db, kCreateSql, QStringLiteral("Не удалось создать поисковый индекс"));
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

void catchUpSearchIndex(sqlite3* db) {
    if (searchIndexCurrent(db))
        return;
    const QString doing = QStringLiteral("Не удалось обновить поисковый индекс");
    Transaction transaction(db);
    execute(db, kCatchUpSql, doing);
    transaction.commit();
}
