#include "server_schema.h"

#include <libpq-fe.h>

#include <QHash>

#include "columns.h"
#include "error.h"
#include "fold_sql.h"
#include "server_session.h"

namespace {

QByteArray indexName(const Column& column) {
    return QByteArray(kCityTable.name) + "_fold_" + column.name;
}

bool isKeyType(const QByteArray& type) {
    return type == "int8" || type == "int4" || type == "int2";
}

// A text column keeps every value as it was written; char(n) would pad it with spaces.
bool isTextType(const QByteArray& type) {
    return type == "text" || type == "varchar";
}

QByteArray bytesAt(const pg_result* result, int row, int column) {
    return ServerSession::text(result, row, column).toByteArray();
}

void checkTable(ServerSession& session, const DirectoryTable& shape) {
    const QString where = session.describe();
    const QString table = QString::fromLatin1(shape.name);
    ServerParameters parameters;
    const QByteArray name = parameters.text(QByteArrayView(shape.name));
    const ServerResult columns = session.run(
        "SELECT a.attname, t.typname FROM pg_attribute a JOIN pg_type t ON t.oid = a.atttypid "
        "WHERE a.attrelid = to_regclass(" +
            name + ") AND a.attnum > 0 AND NOT a.attisdropped",
        parameters, QStringLiteral("Не удалось прочитать устройство базы данных"));
    QHash<QByteArray, QByteArray> types;
    for (int row = 0; row < PQntuples(columns.get()); ++row)
        types.insert(bytesAt(columns.get(), row, 0), bytesAt(columns.get(), row, 1));
    if (types.isEmpty())
        throw Error(QStringLiteral("В базе данных (%1) нет таблицы «%2»: это не база данных "
                                   "телефонного справочника.")
                        .arg(where, table));
    if (!isKeyType(types.value(kKeyColumn)))
        throw Error(QStringLiteral("В таблице «%2» (%1) столбец «%3» должен быть целочисленным "
                                   "ключом, который назначает сервер.")
                        .arg(where, table, QLatin1StringView(kKeyColumn)));
    for (const Column& c : shape.columns) {
        // The schema names columns without quotes, so the server keeps them in lower case.
        const QByteArray column = QByteArray(c.name).toLower();
        if (!types.contains(column))
            throw Error(QStringLiteral("В таблице «%2» (%1) нет столбца «%3».")
                            .arg(where, table, QString::fromLatin1(column)));
        if (!isTextType(types.value(column)))
            throw Error(QStringLiteral("Столбец «%3» таблицы «%2» (%1) имеет тип %4, а должен "
                                       "быть текстовым (varchar или text).")
                            .arg(where, table, QString::fromLatin1(column),
                                 QString::fromLatin1(types.value(column))));
    }
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

bool checkServerSchema(ServerSession& session) {
    for (const DirectoryTable* table : kDirectoryTables)
        checkTable(session, *table);
    QByteArray sql = "SELECT true";
    for (const Column& c : kCityTable.columns)
        sql += " AND to_regclass('" + indexName(c) + "') IS NOT NULL";
    const ServerResult indexed =
        session.run(sql, QStringLiteral("Не удалось прочитать устройство базы данных"));
    return ServerSession::boolean(indexed.get(), 0, 0);
}
