#include "server_search.h"

#include <QList>

#include "columns.h"
#include "fold_sql.h"
#include "matching.h"
#include "stored_table.h"

namespace {

// LIKE's default escape character is the backslash; a typed one must stand for itself.
QString escapeBackslashes(QString pattern) {
    return pattern.replace(u'\\', QStringLiteral("\\\\"));
}

QByteArray setting(int parameter) {
    return "'telspr.p" + QByteArray::number(parameter) + "'";
}

}  // namespace

QByteArray ServerSearch::settingsSql() const {
    QByteArray sql = "SELECT true";
    for (int i = 1; i <= parameters.size(); ++i)
        sql += ", set_config(" + setting(i) + ", $" + QByteArray::number(i) + ", false)";
    return sql;
}

QByteArray ServerSearch::copySql() const {
    // A subquery, so that the setting is read once and not again for every row: read per row,
    // the settings held the search for every entry with a house at 554 instead of 475 ms
    // (a million entries, `bash bench/run_bench.sh --server --only search`).
    QByteArray copy = sql;
    // From the last placeholder down, so that $1 is not taken for the start of $12.
    for (int i = parameters.size(); i >= 1; --i)
        copy.replace("$" + QByteArray::number(i), "(SELECT current_setting(" + setting(i) + "))");
    return copy;
}

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

ServerSearch ServerSearch::plan(const StoredTable& tel, const CityCriteria& criteria) {
    ServerSearch search;
    const auto conditions = searchConditions(criteria);
    if (!conditions) {
        search.selectsNothing = true;
        return search;
    }
    search.readsEverything =
        std::none_of(conditions->begin(), conditions->end(), [](const SearchCondition& c) {
            return !c.orWithoutValue && !c.like.literalPrefix.isEmpty();
        });

    QByteArrayList where;
    for (const SearchCondition& c : *conditions) {
        const QByteArray& column = tel.column(c.field);
        if (c.prefix) {
            const QByteArray value = foldedSql(column);
            where << value + " >= " + search.parameters.text(c.like.folded);
            if (const std::optional<QString> high = prefixSuccessor(c.like.folded))
                where << value + " < " + search.parameters.text(*high);
            continue;
        }
        // Streaming every entry, the server spent an eighth of its time on such tests (446
        // instead of 391 ms for every entry with a house, `bash bench/run_bench.sh --server
        // --only search`); the program does them as the rows arrive, on the other core.
        if (search.readsEverything) {
            if (auto test = LengthTest::of(kCityTable.indexOf(c.field), c.like, c.orWithoutValue)) {
                search.lengthTests.push_back(*test);
                continue;
            }
        }
        if (c.like.anyValue) {
            where << column + " IS NOT NULL";
            continue;
        }
        // The fold where it matters or where the index can lead with the pattern's start.
        const bool folded = c.like.foldMatters || !c.like.literalPrefix.isEmpty();
        const QByteArray value = folded ? foldedSql(column) : column;
        const QByteArray condition =
            value + " LIKE " + search.parameters.text(escapeBackslashes(c.like.folded));
        where << (c.orWithoutValue ? "(" + column + " IS NULL OR " + condition + ")" : condition);
    }

    search.sql = "SELECT " + tel.key + "::int8, " + tel.columnList() + " FROM " + tel.table;
    if (!where.isEmpty())
        search.sql += " WHERE " + where.join(" AND ");
    return search;
}
