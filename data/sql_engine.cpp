#include "sql_engine.h"

#include "error.h"

namespace {

QString tableName(const DirectoryTable& table) {
    return QString::fromLatin1(table.name);
}

}  // namespace

SqlEngine::SqlEngine(const SqlDialect& dialect) : m_dialect(dialect) {
    for (size_t t = 0; t < m_stored.size(); ++t)
        m_stored[t] = StoredTable::declared(*kDirectoryTables[t]);
}

void SqlEngine::checkTables(
    const StoreWords& words,
    const std::function<std::vector<FoundColumn>(const DirectoryTable&)>& columns) {
    for (size_t t = 0; t < m_stored.size(); ++t)
        m_stored[t] =
            StoredTable::check(*kDirectoryTables[t], columns(*kDirectoryTables[t]), words);
}

const StoredTable& SqlEngine::stored(const DirectoryTable& table) const {
    for (const StoredTable& t : m_stored)
        if (t.shape == &table)
            return t;
    throw Error(QStringLiteral("Таблицы «%1» нет в справочнике.").arg(tableName(table)));
}

QByteArray SqlEngine::insertSql(const StoredTable& table, int rows) const {
    const int n = int(table.columns.size());
    QByteArray sql = "INSERT INTO " + table.table + " (" + table.columnList() + ") VALUES ";
    for (int r = 0; r < rows; ++r) {
        sql += r ? ", (" : "(";
        for (int c = 0; c < n; ++c)
            sql += (c ? ", " : "") + statement().placeholder(r * n + c + 1);
        sql += ')';
    }
    return sql;
}

void SqlEngine::loadTable(const DirectoryTable& table, RowStore& rows) {
    const StoredTable& t = stored(table);
    const QByteArray key = QByteArray(m_dialect.keyRead).replace("%1", t.key);
    read(statement("SELECT " + key + ", " + t.columnList() + " FROM " + t.table),
         int(t.columns.size()), rows,
         QStringLiteral("Не удалось прочитать таблицу «%1»").arg(tableName(table)));
}

qint64 SqlEngine::insert(const DirectoryTable& table,
                         std::span<const std::optional<QString>> values) {
    const StoredTable& t = stored(table);
    SqlStatement insert = statement(insertSql(t, 1) + " RETURNING " + t.key);
    for (const std::optional<QString>& value : values)
        insert.text(value);
    const QString doing = QStringLiteral("Не удалось сохранить новую запись");
    const std::optional<qint64> key = run(insert, doing).first;
    if (!key)
        throw Error(doing + u'.');
    return *key;
}

StorageEngine::Outcome SqlEngine::update(const DirectoryTable& table, qint64 key,
                                         std::span<const RowStore::Field> original,
                                         std::span<const FieldWrite> writes) {
    if (writes.empty())
        return Outcome::Done;
    const StoredTable& t = stored(table);
    SqlStatement update = statement("UPDATE " + t.table + " SET ");
    for (size_t i = 0; i < writes.size(); ++i) {
        const QByteArray value = update.text(writes[i].value);
        update.sql += (i ? ", " : "") + t.columns[size_t(writes[i].column)] + " = " + value;
    }
    update.sql += " WHERE " + asRead(t, key, original, update);
    return checked(update, t, key, QStringLiteral("Не удалось сохранить запись"));
}

StorageEngine::Outcome SqlEngine::remove(const DirectoryTable& table, qint64 key,
                                         std::span<const RowStore::Field> original) {
    const StoredTable& t = stored(table);
    SqlStatement remove = statement("DELETE FROM " + t.table + " WHERE ");
    remove.sql += asRead(t, key, original, remove);
    return checked(remove, t, key, QStringLiteral("Не удалось удалить запись"));
}

// "key = ?1 AND <each column holds what was read>".
QByteArray SqlEngine::asRead(const StoredTable& table, qint64 key,
                             std::span<const RowStore::Field> original,
                             SqlStatement& statement) const {
    QByteArray where = table.key + " = " + statement.key(key);
    for (size_t c = 0; c < table.columns.size(); ++c) {
        const QByteArray value = statement.field(original[c]);
        where += " AND " +
                 QByteArray(m_dialect.holds).replace("%1", table.columns[c]).replace("%2", value);
    }
    return where;
}

StorageEngine::Outcome SqlEngine::checked(const SqlStatement& write, const StoredTable& table,
                                          qint64 key, const QString& doing) {
    if (run(write, doing).changed != 0)
        return Outcome::Done;
    // The row is gone, or it holds other values.
    SqlStatement exists = statement("SELECT 1 FROM " + table.table + " WHERE " + table.key + " = ");
    exists.sql += exists.key(key);
    return run(exists, QStringLiteral("Не удалось проверить запись")).first ? Outcome::Changed
                                                                            : Outcome::Deleted;
}

bool SqlEngine::holdsEntries(const DirectoryTable& table) {
    return run(statement("SELECT 1 FROM " + stored(table).table + " LIMIT 1"),
               QStringLiteral("Не удалось прочитать таблицу «%1»").arg(tableName(table)))
        .first.has_value();
}

qint64 SqlEngine::removeAll(const DirectoryTable& table) {
    // DELETE rather than TRUNCATE: other programs go on reading the old entries until the
    // transaction ends, and deleting entries is a right every operator has. (The file's
    // search index drops their folded copies by its trigger.)
    return run(statement("DELETE FROM " + stored(table).table),
               QStringLiteral("Не удалось удалить записи таблицы «%1»").arg(tableName(table)))
        .changed;
}
