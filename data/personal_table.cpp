#include "personal_table.h"

PersonalTable::PersonalTable(Connection& connection, QObject* parent)
    : DataSet(connection, kPersonalTable, parent) {
    setObjectName(QStringLiteral("licht"));
}

void PersonalTable::load(StorageEngine& engine, RowStore& rows) {
    engine.loadTable(kPersonalTable, rows);
}
