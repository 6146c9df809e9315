#include "city_query.h"

CityQuery::CityQuery(Connection& connection, QObject* parent)
    : DataSet(connection, kCityTable, parent) {
    setObjectName(QStringLiteral("tel"));
}

void CityQuery::load(StorageEngine& engine, RowStore& rows) {
    engine.loadCity(m_criteria, rows);
}
