#include "postgres_engine.h"

#include <libpq-fe.h>

#include "copy_rows.h"
#include "error.h"
#include "server_load.h"
#include "server_schema.h"
#include "server_search.h"

namespace {

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

}  // namespace

void PostgresEngine::copyRows(const QByteArray& select, int fieldCount, RowStore& rows,
                              const QString& doing, std::span<const LengthTest> tests) {
    CopyTextReader reader(fieldCount, rows, tests);
    m_session.copyOut("COPY (" + select + ") TO STDOUT", doing,
                      [&](QByteArrayView data) { reader.take(data); });
}

PostgresEngine::PostgresEngine(ServerAddress address)
    : SqlEngine({'$', "%1::int8", "%1 IS NOT DISTINCT FROM %2"}), m_session(std::move(address)) {}

void PostgresEngine::open() {
    m_session.connect();
    if (m_checked)
        return;
    try {
        const QString where = m_session.describe();
        checkTables(
            {QStringLiteral("В базе данных (%1)").arg(where), QStringLiteral("(%1)").arg(where),
             QStringLiteral("целочисленным ключом, который назначает сервер"),
             QStringLiteral("текстовым (varchar или text)")},
            [&](const DirectoryTable& table) { return serverColumns(m_session, table); });
        m_hasSearchIndex = serverHasSearchIndex(m_session);
        for (size_t t = 0; t < m_writable.size(); ++t)
            m_writable[t] = serverUserCanWrite(m_session, stored(*kDirectoryTables[t]));
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
    readAgainIfLost(rows, [&] { SqlEngine::loadTable(table, rows); });
}

void PostgresEngine::readCity(const CityCriteria& criteria, RowStore& rows) {
    // A parameter without a value selects nothing; the grid starts empty this way.
    if (criteria.selectsNothing())
        return;
    const ServerSearch search = ServerSearch::plan(stored(kCityTable), criteria);
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

void PostgresEngine::read(const SqlStatement& select, int fieldCount, RowStore& rows,
                          const QString& doing) {
    copyRows(select.sql, fieldCount, rows, doing);
}

SqlEngine::Ran PostgresEngine::run(const SqlStatement& statement, const QString& doing) {
    const ServerResult result =
        m_session.run(statement.sql, ServerParameters::of(statement), doing);
    Ran ran{QByteArray(PQcmdTuples(result.get())).toLongLong(), std::nullopt};
    if (PQntuples(result.get()) > 0)
        ran.first = ServerSession::integer(result.get(), 0, 0);
    return ran;
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
    // Programs adding entries meanwhile wait; searches do not.
    m_session.run(
        "LOCK TABLE " + stored(table).table + " IN SHARE ROW EXCLUSIVE MODE",
        QStringLiteral("Не удалось прочитать таблицу «%1»").arg(QLatin1StringView(table.name)));
    return SqlEngine::holdsEntries(table);
}

qint64 PostgresEngine::insertAll(const DirectoryTable& table, EntrySource& entries) {
    return copyServerEntries(m_session, stored(table), entries);
}
