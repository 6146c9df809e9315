#include "schema.h"

#include <sqlite3.h>

#include <QFile>

#include "columns.h"
#include "error.h"
#include "fold_function.h"
#include "search_index.h"
#include "sql_statement.h"
#include "statement.h"

namespace {

// SQLite's column affinity rules: a text column must keep texts as they are ("007" stays
// "007"), which TEXT affinity and no affinity (BLOB) do and the numeric ones do not.
bool keepsTextAsIs(const QString& declaredType) {
    const QString type = declaredType.toUpper();
    if (type.contains(u"INT"))
        return false;
    if (type.contains(u"CHAR") || type.contains(u"CLOB") || type.contains(u"TEXT"))
        return true;
    return type.isEmpty() || type.contains(u"BLOB");
}

}  // namespace

QByteArray createTablesSql() {
    QByteArray sql;
    for (const DirectoryTable* table : kDirectoryTables) {
        sql += QByteArray("CREATE TABLE ") + table->name + " (" + kKeyColumn +
               " INTEGER PRIMARY KEY AUTOINCREMENT";
        for (const Column& c : table->columns)
            sql += QByteArray(", ") + c.name + " VARCHAR(" + QByteArray::number(c.size) + ")";
        sql += ");";
    }
    return sql;
}

void createTables(sqlite3* db) {
    execute(db, createTablesSql().constData(),
            QStringLiteral("Не удалось создать таблицы справочника"));
}

void initDatabase(const QString& path) {
    if (QFile::exists(path))
        throw Error(
            QStringLiteral("Файл «%1» уже существует; новый справочник не создан.").arg(path));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throwSqliteError(db, rc, QStringLiteral("Не удалось создать файл «%1»").arg(path));
        registerFoldFunction(db);
        Transaction transaction(db);
        createTables(db);
        createSearchIndex(db);
        transaction.commit();
    } catch (...) {
        sqlite3_close_v2(db);
        QFile::remove(path);
        throw;
    }
    sqlite3_close_v2(db);
}

std::vector<FoundColumn> fileColumns(sqlite3* db, const DirectoryTable& table,
                                     const QString& doing) {
    Statement info(db, "PRAGMA table_info(" + quoted(table.name) + ")", doing);
    std::vector<FoundColumn> found;
    while (info.step()) {
        const QString type = info.text(2).value_or(QString());
        found.push_back({info.text(1).value_or(QString()), type,
                         type.compare(u"INTEGER", Qt::CaseInsensitive) == 0 && info.int64(5) == 1,
                         keepsTextAsIs(type)});
    }
    return found;
}
