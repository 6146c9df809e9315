#include "server_search.h"

#include <QList>

#include "columns.h"
#include "fold_sql.h"
#include "matching.h"

namespace {

// LIKE's default escape character is the backslash; a typed one must stand for itself.
QString escapeBackslashes(QString pattern) {
    return pattern.replace(u'\\', QStringLiteral("\\\\"));
}

}  // namespace

std::optional<QString> prefixSuccessor(const QString& prefix) {
    QList<uint> points = prefix.toUcs4();
    while (!points.isEmpty()) {
        uint& last = points.last();
        if (last < 0x10FFFF) {
            ++last;
            if (last == 0xD800)  // a surrogate is no character: skip to the next one
                last = 0xE000;
            return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()),
                                     points.size());
        }
        points.removeLast();
    }
    return std::nullopt;
}

ServerSearch ServerSearch::plan(const CityCriteria& criteria) {
    ServerSearch search;
    QByteArrayList where;

    const std::pair<Field, const std::optional<LikeParameter>*> parameters[] = {
        {Field::Phone, &criteria.kalvex},
        {Field::House, &criteria.dom},
        {Field::Apartment, &criteria.kv}};
    for (const auto& [field, parameter] : parameters) {
        if (!*parameter) {
            search.selectsNothing = true;
            return search;
        }
        const LikeShape like = LikeShape::of((*parameter)->pattern);
        if (like.matchesNothing) {
            search.selectsNothing = true;
            return search;
        }
        const char* column = kCityTable.column(field).name;
        const bool orNull = (*parameter)->orWithoutValue;
        if (like.anyValue) {
            if (!orNull)
                where << QByteArray(column) + " IS NOT NULL";
            continue;
        }
        // The fold where it matters or where the index can lead with the pattern's start.
        const bool folded = foldMatters((*parameter)->pattern) || !like.literalPrefix.isEmpty();
        const QByteArray value = folded ? foldedSql(column) : QByteArray(column);
        const QByteArray condition =
            value + " LIKE " + search.parameters.text(escapeBackslashes(like.folded));
        where << (orNull ? "(" + QByteArray(column) + " IS NULL OR " + condition + ")" : condition);
    }

    const std::pair<Field, const QString*> prefixes[] = {{Field::Surname, &criteria.filter.fam},
                                                         {Field::Street, &criteria.filter.ul}};
    for (const auto& [field, text] : prefixes) {
        if (text->isEmpty())
            continue;
        if (text->contains(QChar(0))) {
            search.selectsNothing = true;
            return search;
        }
        const QByteArray value = foldedSql(kCityTable.column(field).name);
        const QString low = foldText(*text);
        where << value + " >= " + search.parameters.text(low);
        if (const std::optional<QString> high = prefixSuccessor(low))
            where << value + " < " + search.parameters.text(*high);
    }

    search.sql = QByteArray("SELECT ") + kKeyColumn + "::int8";
    for (const Column& c : kCityTable.columns)
        search.sql += QByteArray(", ") + c.name;
    search.sql += QByteArray(" FROM ") + kCityTable.name;
    if (!where.isEmpty())
        search.sql += " WHERE " + where.join(" AND ");
    return search;
}
