#pragma once

#include "city_criteria.h"
#include "dataset.h"

// The city directory `tel`: the statement
//     select* from tel
//     where tel like:kalvex and dom like:dom and kv like:kv
// with its three parameters, and the filter applied to the rows it returns, held as typed
// criteria. The criteria stay from one opening to the next.
class CityQuery : public DataSet {
    Q_OBJECT
public:
    explicit CityQuery(Connection& connection, QObject* parent = nullptr);

    const CityCriteria& criteria() const { return m_criteria; }
    void setCriteria(CityCriteria criteria) { m_criteria = std::move(criteria); }
    // Reads the rows of new criteria in place of those shown; should that fail, the rows and
    // the criteria stay as they were.
    void reopenWith(CityCriteria criteria);

protected:
    void load(StorageEngine& engine, RowStore& rows) override;

private:
    CityCriteria m_criteria;
};
