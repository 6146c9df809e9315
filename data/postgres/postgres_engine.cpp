#include "postgres_engine.h"

#include <libpq-fe.h>

#include "copy_rows.h"
#include "error.h"
#include "server_load.h"
#include "server_schema.h"
#include "server_search.h"

namespace {

// "key::int8, tel, fam, ...": the key always eight bytes, whatever integer type another tool
// gave it.
QByteArray columnList(const DirectoryTable& table) {
    QByteArray list = QByteArray(kKeyColumn) + "::int8";
    for (const Column& c : table.columns)
        list += QByteArray(", ") + c.name;
    return list;
}

// " AND tel IS NOT DISTINCT FROM $2 AND ...": the row still holds what was read.
QByteArray unchangedSince(const DirectoryTable& table, std::span<const RowStore::Field> original,
                          ServerParameters& parameters) {
    QByteArray where;
    for (size_t c = 0; c < table.columns.size(); ++c)
        where += QByteArray(" AND ") + table.columns[c].name + " IS NOT DISTINCT FROM " +
                 parameters.field(original[c]);
    return where;
}

// Appends the rows of a result: the key, then `fieldCount` texts.
void readRows(const pg_result* result, int fieldCount, RowStore& rows) {
    const int count = PQntuples(result);
    std::vector<RowStore::Field> fields(size_t(fieldCount), std::nullopt);
    for (int row = 0; row < count; ++row) {
        for (int c = 0; c < fieldCount; ++c) {
            if (PQgetisnull(result, row, c + 1))
                fields[size_t(c)] = std::nullopt;
            else
                fields[size_t(c)] = ServerSession::text(result, row, c + 1);
        }
        rows.append(ServerSession::integer(result, row, 0), fields);
    }
}

qint64 affected(const pg_result* result) {
    return QByteArray(PQcmdTuples(const_cast<pg_result*>(result))).toLongLong();
}

}  // namespace

void PostgresEngine::copyRows(const QByteArray& select, int fieldCount, RowStore& rows,
                              const QString& doing, std::span<const LengthTest> tests) {
    CopyTextReader reader(fieldCount, rows, tests);
    m_session.copyOut("COPY (" + select + ") TO STDOUT", doing,
                      [&](QByteArrayView data) { reader.take(data); });
}

PostgresEngine::PostgresEngine(ServerAddress address) : m_session(std::move(address)) {}

void PostgresEngine::open() {
    m_session.connect();
    if (m_checked)
        return;
    try {
        m_hasSearchIndex = checkServerSchema(m_session);
        for (size_t t = 0; t < m_writable.size(); ++t)
            m_writable[t] = serverUserCanWrite(m_session, *kDirectoryTables[t]);
    } catch (...) {
        m_session.disconnect();
        throw;
    }
    m_checked = true;
}

void PostgresEngine::close() {
    m_session.disconnect();
}

template <typename Read>
void PostgresEngine::readAgainIfLost(RowStore& rows, const Read& read) {
    // Inside a transaction the lost connection took the transaction with it: a read run
    // again outside it would hide that from the writes that follow.
    const bool inTransaction = m_session.inTransaction();
    try {
        read();
    } catch (const ServerConnectionLost&) {
        if (inTransaction)
            throw;
        rows.clear();
        read();
    }
}

void PostgresEngine::loadCity(const CityCriteria& criteria, RowStore& rows) {
    readAgainIfLost(rows, [&] { readCity(criteria, rows); });
}

void PostgresEngine::loadTable(const DirectoryTable& table, RowStore& rows) {
    readAgainIfLost(rows, [&] { readTable(table, rows); });
}

void PostgresEngine::readCity(const CityCriteria& criteria, RowStore& rows) {
    // A parameter without a value selects nothing; the grid starts empty this way.
    if (criteria.selectsNothing())
        return;
    const ServerSearch search = ServerSearch::plan(criteria);
    if (search.selectsNothing)
        return;
    const QString doing = QStringLiteral("Не удалось выполнить поиск");
    if (search.readsEverything) {
        m_session.run(search.settingsSql(), search.parameters, doing);
        copyRows(search.copySql(), int(kCityTable.columns.size()), rows, doing, search.lengthTests);
        return;
    }
    const ServerResult result = m_session.run(search.sql, search.parameters, doing);
    readRows(result.get(), int(kCityTable.columns.size()), rows);
}

void PostgresEngine::readTable(const DirectoryTable& table, RowStore& rows) {
    copyRows(
        "SELECT " + columnList(table) + " FROM " + table.name, int(table.columns.size()), rows,
        QStringLiteral("Не удалось прочитать таблицу «%1»").arg(QLatin1StringView(table.name)));
}

qint64 PostgresEngine::insert(const DirectoryTable& table,
                              std::span<const std::optional<QString>> values) {
    ServerParameters parameters;
    QByteArray sql = QByteArray("INSERT INTO ") + table.name + " (";
    QByteArray placeholders;
    for (size_t c = 0; c < table.columns.size(); ++c) {
        sql += QByteArray(c ? ", " : "") + table.columns[c].name;
        placeholders += (c ? ", " : "") + parameters.text(values[c]);
    }
    sql += ") VALUES (" + placeholders + ") RETURNING " + kKeyColumn;
    const ServerResult result =
        m_session.run(sql, parameters, QStringLiteral("Не удалось сохранить новую запись"));
    return ServerSession::integer(result.get(), 0, 0);
}

StorageEngine::Outcome PostgresEngine::update(const DirectoryTable& table, qint64 key,
                                              std::span<const RowStore::Field> original,
                                              std::span<const FieldWrite> writes) {
    if (writes.empty())
        return Outcome::Done;
    ServerParameters parameters;
    QByteArray sql = QByteArray("UPDATE ") + table.name + " SET ";
    for (size_t i = 0; i < writes.size(); ++i)
        sql += QByteArray(i ? ", " : "") + table.columns[size_t(writes[i].column)].name + " = " +
               parameters.text(writes[i].value);
    sql += QByteArray(" WHERE ") + kKeyColumn + " = " + parameters.key(key) +
           unchangedSince(table, original, parameters);
    const ServerResult result =
        m_session.run(sql, parameters, QStringLiteral("Не удалось сохранить запись"));
    return affected(result.get()) == 0 ? missedBecause(table, key) : Outcome::Done;
}

StorageEngine::Outcome PostgresEngine::remove(const DirectoryTable& table, qint64 key,
                                              std::span<const RowStore::Field> original) {
    ServerParameters parameters;
    const QByteArray sql = QByteArray("DELETE FROM ") + table.name + " WHERE " + kKeyColumn +
                           " = " + parameters.key(key) +
                           unchangedSince(table, original, parameters);
    const ServerResult result =
        m_session.run(sql, parameters, QStringLiteral("Не удалось удалить запись"));
    return affected(result.get()) == 0 ? missedBecause(table, key) : Outcome::Done;
}

// Why an optimistic write found no row to change: the row is gone, or it holds other values.
StorageEngine::Outcome PostgresEngine::missedBecause(const DirectoryTable& table, qint64 key) {
    ServerParameters parameters;
    const QByteArray sql = QByteArray("SELECT EXISTS (SELECT 1 FROM ") + table.name + " WHERE " +
                           kKeyColumn + " = " + parameters.key(key) + ")";
    const ServerResult result =
        m_session.run(sql, parameters, QStringLiteral("Не удалось проверить запись"));
    return ServerSession::boolean(result.get(), 0, 0) ? Outcome::Changed : Outcome::Deleted;
}

void PostgresEngine::begin() {
    m_session.run("BEGIN", QStringLiteral("Не удалось начать запись"));
}

void PostgresEngine::commit() {
    m_session.run("COMMIT", QStringLiteral("Не удалось завершить запись"));
}

void PostgresEngine::rollback() noexcept {
    // A lost connection has rolled the transaction back already.
    if (m_session.isConnected())
        PQclear(PQexec(m_session.handle(), "ROLLBACK"));
}

bool PostgresEngine::canWrite(const DirectoryTable& table) const {
    for (size_t t = 0; t < m_writable.size(); ++t)
        if (kDirectoryTables[t] == &table)
            return !m_checked || m_writable[t];
    return false;
}

bool PostgresEngine::holdsEntries(const DirectoryTable& table) {
    return serverTableHoldsEntries(m_session, table);
}

qint64 PostgresEngine::removeAll(const DirectoryTable& table) {
    return removeServerEntries(m_session, table);
}

qint64 PostgresEngine::insertAll(const DirectoryTable& table, EntrySource& entries) {
    return copyServerEntries(m_session, table, entries);
}
