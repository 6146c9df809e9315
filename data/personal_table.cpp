#include "personal_table.h"

#include "directory_fields.h"
#include "statement.h"

PersonalTable::PersonalTable(Connection& connection, QObject* parent)
    : DataSet(connection, QStringLiteral("lich"), personalFields(), parent) {
    setObjectName(QStringLiteral("licht"));
}

void PersonalTable::load(sqlite3* db, RowStore& rows) {
    Statement select(db, "SELECT " + columnList() + " FROM lich",
                     QStringLiteral("Не удалось прочитать личный справочник"));
    readRows(select, rows);
}
