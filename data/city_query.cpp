#include "city_query.h"

CityQuery::CityQuery(Connection& connection, QObject* parent)
    : DataSet(connection, kCityTable, parent) {
    setObjectName(QStringLiteral("tel"));
}

void CityQuery::load(StorageEngine& engine, RowStore& rows) {
    engine.loadCity(m_criteria, rows);
}

void CityQuery::reopenWith(CityCriteria criteria) {
    std::swap(m_criteria, criteria);
    try {
        reopen();
    } catch (...) {
        m_criteria = std::move(criteria);
        throw;
    }
}
