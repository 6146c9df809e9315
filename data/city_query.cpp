#include "city_query.h"

#include "city_search.h"
#include "connection.h"
#include "directory_fields.h"
#include "error.h"
#include "search_index.h"
#include "statement.h"

CityQuery::CityQuery(Connection& connection, QObject* parent)
    : DataSet(connection, QStringLiteral("tel"), cityFields(), parent), m_connection(connection) {
    setObjectName(QStringLiteral("tel"));
    for (const QString& name : kParameters)
        m_parameters.insert(name, std::nullopt);
}

std::optional<QString> CityQuery::parameter(const QString& name) const {
    if (!m_parameters.contains(name))
        throw Error(QStringLiteral("У запроса «tel» нет параметра «%1».").arg(name));
    return m_parameters.value(name);
}

void CityQuery::setParameter(const QString& name, const std::optional<QString>& value) {
    if (!m_parameters.contains(name))
        throw Error(QStringLiteral("У запроса «tel» нет параметра «%1».").arg(name));
    m_parameters[name] = value;
}

void CityQuery::setFilter(CityFilter filter) {
    m_filter = std::move(filter);
}

void CityQuery::load(sqlite3* db, RowStore& rows) {
    const CitySearch::Criteria criteria{m_parameters.value(QStringLiteral("kalvex")),
                                        m_parameters.value(QStringLiteral("dom")),
                                        m_parameters.value(QStringLiteral("kv")), m_filter};
    // A parameter without a value selects nothing; the grid starts empty this way.
    if (!criteria.phone || !criteria.house || !criteria.apartment)
        return;
    bool indexed = m_connection.hasSearchIndex();
    if (indexed)
        catchUpSearchIndex(db);
    // The plan and the rows come from one view of the file. Should another program have
    // changed entries since the catch-up, their folded copies are missing from the index,
    // and this search reads the entries themselves.
    Transaction snapshot(db, "BEGIN");
    if (indexed && !searchIndexCurrent(db))
        indexed = false;
    const CitySearch search = CitySearch::plan(db, indexed, criteria);
    if (search.selectsNothing)
        return;
    Statement select(db, search.sql, QStringLiteral("Не удалось выполнить поиск"));
    for (int i = 0; i < search.bindings.size(); ++i)
        select.bindText(i + 1, search.bindings[i]);
    readRows(select, rows);
    select.reset();
    snapshot.commit();
}
