#include "server_schema.h"

#include <libpq-fe.h>

#include "columns.h"
#include "error.h"
#include "fold_sql.h"
#include "server_session.h"

namespace {

QByteArray indexName(const Column& column) {
    return QByteArray(kCityTable.name) + "_fold_" + column.name;
}

bool isKeyType(QByteArrayView type) {
    return type == "int8" || type == "int4" || type == "int2";
}

// A text column keeps every value as it was written; char(n) would pad it with spaces.
bool isTextType(QByteArrayView type) {
    return type == "text" || type == "varchar";
}

}  // namespace

QByteArrayList serverTablesSql() {
    QByteArrayList statements;
    for (const DirectoryTable* table : kDirectoryTables) {
        QByteArray sql = QByteArray("CREATE TABLE ") + table->name + " (" + kKeyColumn +
                         " bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
        for (const Column& c : table->columns)
            sql += QByteArray(", ") + c.name + " varchar(" + QByteArray::number(c.size) + ")";
        statements.append(sql + ")");
    }
    return statements;
}

QByteArrayList serverSearchIndexSql() {
    QByteArrayList statements;
    for (const Column& c : kCityTable.columns)
        statements.append("CREATE INDEX " + indexName(c) + " ON " + kCityTable.name + " ((" +
                          foldSql(c.name) + ") COLLATE \"C\")");
    return statements;
}

void createServerTables(ServerSession& session) {
    for (const DirectoryTable* table : kDirectoryTables) {
        ServerParameters parameters;
        const QByteArray name = parameters.text(QByteArrayView(table->name));
        const ServerResult found =
            session.run("SELECT to_regclass(" + name + ") IS NOT NULL", parameters,
                        QStringLiteral("Не удалось прочитать устройство базы данных"));
        if (ServerSession::boolean(found.get(), 0, 0))
            throw DirectoryTablesExist(
                QStringLiteral("В базе данных (%1) уже есть таблица «%2»; справочник не создан, "
                               "в базе ничего не изменено.")
                    .arg(session.describe(), QLatin1StringView(table->name)));
    }
    for (const QByteArray& sql : serverTablesSql())
        session.run(sql, QStringLiteral("Не удалось создать таблицы справочника"));
}

void createServerSearchIndex(ServerSession& session) {
    for (const QByteArray& sql : serverSearchIndexSql())
        session.run(sql, QStringLiteral("Не удалось построить поисковый индекс"));
}

std::vector<FoundColumn> serverColumns(ServerSession& session, const DirectoryTable& table) {
    ServerParameters parameters;
    const QByteArray name = parameters.text(QByteArrayView(table.name));
    const ServerResult result = session.run(
        "SELECT a.attname, t.typname FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
        "WHERE a.attrelid = to_regclass(" +
            name + ") AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
        parameters, QStringLiteral("Не удалось прочитать устройство базы данных"));
    std::vector<FoundColumn> found;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        const QByteArrayView type = ServerSession::text(result.get(), row, 1);
        found.push_back({QString::fromUtf8(ServerSession::text(result.get(), row, 0)),
                         QString::fromUtf8(type), isKeyType(type), isTextType(type)});
    }
    return found;
}

bool serverHasSearchIndex(ServerSession& session) {
    QByteArray sql = "SELECT true";
    for (const Column& c : kCityTable.columns)
        sql += " AND to_regclass('" + indexName(c) + "') IS NOT NULL";
    const ServerResult indexed =
        session.run(sql, QStringLiteral("Не удалось прочитать устройство базы данных"));
    return ServerSession::boolean(indexed.get(), 0, 0);
}
