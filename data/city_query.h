#pragma once

#include <QHash>
#include <QList>

#include "dataset.h"

// Restricts the city directory to the entries whose field begins with `prefix`, ignoring
// letter case and Ё/Е. An empty prefix restricts nothing (entries without a value included).
struct PrefixRange {
    QString field;
    QString prefix;

    friend bool operator==(const PrefixRange&, const PrefixRange&) = default;
};
using CityFilter = QList<PrefixRange>;

// The city directory `tel`: the statement
//     select* from tel
//     where tel like:kalvex and dom like:dom and kv like:kv
// with its three parameters, and the filter applied to the rows it returns. A parameter
// without a value selects nothing; "%" also selects entries without a value in that field.
// Parameters and filter stay from one opening to the next.
class CityQuery : public DataSet {
    Q_OBJECT
public:
    static inline const QStringList kParameters = {QStringLiteral("kalvex"), QStringLiteral("dom"),
                                                   QStringLiteral("kv")};

    CityQuery(Connection& connection, QObject* parent = nullptr);

    std::optional<QString> parameter(const QString& name) const;
    void setParameter(const QString& name, const std::optional<QString>& value);
    const CityFilter& filter() const { return m_filter; }
    void setFilter(CityFilter filter);

protected:
    void load(sqlite3* db, RowStore& rows) override;

private:
    Connection& m_connection;
    QHash<QString, std::optional<QString>> m_parameters;
    CityFilter m_filter;
};
