#include "server_load.h"

#include <libpq-fe.h>

#include "copy_binary.h"
#include "error.h"
#include "server_session.h"
#include "storage_engine.h"
#include "stored_table.h"

namespace {

// About half a megabyte of rows per message to the server.
constexpr int kRowsPerChunk = 10000;

QString tableName(const StoredTable& table) {
    return QString::fromLatin1(table.shape->name);
}

}  // namespace

qint64 copyServerEntries(ServerSession& session, const StoredTable& table, EntrySource& entries) {
    const QString doing =
        QStringLiteral("Не удалось загрузить записи в таблицу «%1»").arg(tableName(table));
    // An administrator's \copy of a CSV file with its keys leaves the sequence behind them,
    // and the next key it gives would be taken. It is moved only when it must be: reading
    // it needs no more than the USAGE an operator has, moving it the owner's UPDATE.
    ServerParameters parameters;
    const QByteArray name = parameters.text(QByteArrayView(table.table));
    const QByteArray key = parameters.text(QByteArrayView(table.keyName));
    const ServerResult behind = session.run(
        "SELECT sequence, top, has_sequence_privilege(sequence, 'UPDATE') FROM "
        "(SELECT pg_get_serial_sequence(" +
            name + ", " + key + ") AS sequence, (SELECT max(" + table.key + ") FROM " +
            table.table +
            ") AS top) AS found WHERE top >= "
            "COALESCE(pg_sequence_last_value(sequence::regclass) + 1, 1)",
        parameters, doing);
    if (PQntuples(behind.get()) == 1) {
        if (!ServerSession::boolean(behind.get(), 0, 2))
            throw Error(QStringLiteral("%1 (%2): в таблице «%3» есть ключи, записанные другой "
                                       "программой, выше тех, что выдаёт её последовательность "
                                       "ключей, а передвинуть последовательность может только "
                                       "владелец таблицы. Загрузите записи от его имени.")
                            .arg(doing, session.address().describe(), tableName(table)));
        ServerParameters move;
        const QByteArray sequence = move.text(ServerSession::text(behind.get(), 0, 0));
        const QByteArray top = move.key(ServerSession::integer(behind.get(), 0, 1));
        session.run("SELECT setval(" + sequence + "::regclass, " + top + ")", move, doing);
    }

    std::vector<RowStore::Field> fields(table.columns.size());
    qint64 count = 0;
    bool started = false;
    session.copyIn(
        "COPY " + table.table + " (" + table.columnList() + ") FROM STDIN (FORMAT binary)",
        [&](QByteArray& out) {
            if (!started) {
                appendCopyHeader(out);
                started = true;
            }
            for (int row = 0; row < kRowsPerChunk; ++row) {
                if (!entries.next(fields)) {
                    appendCopyEnd(out);
                    return false;
                }
                appendCopyRow(out, fields);
                ++count;
            }
            return true;
        },
        doing);
    return count;
}

bool serverUserCanWrite(ServerSession& session, const StoredTable& table) {
    ServerParameters parameters;
    const QByteArray name = parameters.text(QByteArrayView(table.table));
    const QByteArray key = parameters.text(QByteArrayView(table.keyName));
    // A key without a sequence of its own (a table another tool made) is not asked about.
    const ServerResult rights = session.run(
        "SELECT has_table_privilege(" + name + ", 'INSERT') AND has_table_privilege(" + name +
            ", 'UPDATE') AND has_table_privilege(" + name +
            ", 'DELETE') AND COALESCE(has_sequence_privilege(pg_get_serial_sequence(" + name +
            ", " + key + "), 'USAGE'), true) AND current_setting('transaction_read_only') = 'off'",
        parameters, QStringLiteral("Не удалось узнать права пользователя на справочник"));
    return ServerSession::boolean(rights.get(), 0, 0);
}
