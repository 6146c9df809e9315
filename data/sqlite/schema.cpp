#include "schema.h"

#include <sqlite3.h>

#include <QFile>
#include <QHash>

#include "columns.h"
#include "error.h"
#include "fold_function.h"
#include "search_index.h"
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

void checkTable(sqlite3* db, const DirectoryTable& shape, const QString& fileName,
                const QString& doing) {
    const QString table = QString::fromLatin1(shape.name);
    Statement info(db, QByteArray("PRAGMA table_info(") + shape.name + ")", doing);
    QHash<QString, QString> types;
    bool integerKey = false;
    while (info.step()) {
        const QString name = info.text(1).value_or(QString()).toLower();
        const QString type = info.text(2).value_or(QString());
        types.insert(name, type);
        if (name == QLatin1StringView(kKeyColumn))
            integerKey = type.compare(u"INTEGER", Qt::CaseInsensitive) == 0 && info.int64(5) == 1;
    }
    if (types.isEmpty())
        throw Error(
            QStringLiteral(
                "В файле «%1» нет таблицы «%2»: это не база данных телефонного справочника.")
                .arg(fileName, table));
    if (!integerKey)
        throw Error(
            QStringLiteral("В таблице «%2» файла «%1» столбец «%3» должен быть целочисленным "
                           "первичным ключом (INTEGER PRIMARY KEY).")
                .arg(fileName, table, QLatin1StringView(kKeyColumn)));
    for (const Column& c : shape.columns) {
        const QString column = QString::fromLatin1(c.name).toLower();
        if (!types.contains(column))
            throw Error(QStringLiteral("В таблице «%2» файла «%1» нет столбца «%3».")
                            .arg(fileName, table, column));
        if (!keepsTextAsIs(types.value(column)))
            throw Error(
                QStringLiteral(
                    "Столбец «%3» таблицы «%2» в файле «%1» имеет тип %4, а должен быть текстовым.")
                    .arg(fileName, table, column, types.value(column)));
    }
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

bool checkSchema(sqlite3* db, const QString& fileName) {
    const QString doing = QStringLiteral("Не удалось открыть файл базы данных «%1»").arg(fileName);
    // The first read of the file: it tells a file that is not a database or is locked.
    Statement(db, "SELECT count(*) FROM sqlite_master", doing).step();
    for (const DirectoryTable* table : kDirectoryTables)
        checkTable(db, *table, fileName, doing);
    return hasSearchIndex(db);
}
