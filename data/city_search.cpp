#include "city_search.h"

#include "error.h"
#include "like_pattern.h"
#include "statement.h"
#include "text_fold.h"

namespace {

const QByteArrayList kCityColumns = {"tel", "fam", "ul", "dom", "kv"};

// A byte above every byte of UTF-8 text: [p, p + kAbove) holds exactly the texts beginning with p.
const char kAbove = '\xFF';
// The byte just above NUL: [p, p + kJustAbove) holds p and the texts that go on from p with a
// NUL, which GLOB, reading up to a NUL, takes for p too. A pattern without wildcards needs
// no wider range, which spares the search every longer text that begins the same way.
const char kJustAbove = '\x01';

struct Condition {
    QByteArray column;
    std::optional<QByteArray> glob;  // a pattern to match; none for a prefix condition
    QByteArray rangeLow;             // every match lies in [rangeLow, rangeHigh); empty: no range
    QByteArray rangeHigh;
    bool folded = false;  // must be matched against the folded text
};

class SqlBuilder {
public:
    QByteArray bind(const QByteArray& text) {
        bindings.append(text);
        return '?' + QByteArray::number(bindings.size());
    }
    QList<QByteArray> bindings;
};

// How many entries the condition's index range holds, counting no further than the limit.
qint64 boundedCount(sqlite3* db, const Condition& c) {
    constexpr int kLimit = 1000;
    Statement count(db,
                    "SELECT count(*) FROM (SELECT 1 FROM tel_fold WHERE " + c.column +
                        " >= ?1 AND " + c.column + " < ?2 LIMIT " + QByteArray::number(kLimit) +
                        ")",
                    QStringLiteral("Не удалось выполнить поиск"));
    count.bindText(1, c.rangeLow);
    count.bindText(2, c.rangeHigh);
    count.step();
    return count.int64(0);
}

}  // namespace

CitySearch CitySearch::plan(sqlite3* db, bool indexed, const Criteria& criteria) {
    CitySearch search;
    QList<Condition> conditions;

    const std::pair<QByteArray, const std::optional<QString>*> patterns[] = {
        {"tel", &criteria.phone}, {"dom", &criteria.house}, {"kv", &criteria.apartment}};
    for (const auto& [column, value] : patterns) {
        if (!*value) {
            search.selectsNothing = true;
            return search;
        }
        const LikePattern like = LikePattern::fromLike(**value);
        if (like.matchesNothing) {
            search.selectsNothing = true;
            return search;
        }
        if (like.matchesEverything)
            continue;
        conditions.append({column, like.glob, like.literalPrefix,
                           like.literalPrefix + (like.literal ? kJustAbove : kAbove),
                           like.needsFolding});
    }
    for (const PrefixRange& range : criteria.filter) {
        if (range.prefix.isEmpty())
            continue;
        const QByteArray column = range.field.toLower().toUtf8();
        if (!kCityColumns.contains(column))
            throw Error(QStringLiteral("Поиск по полю «%1» невозможен.").arg(range.field));
        const QByteArray prefix = foldText(range.prefix).toUtf8();
        conditions.append(
            {column, std::nullopt, prefix, prefix + kAbove, foldMatters(range.prefix)});
    }

    // With the index, lead with the condition whose range holds the fewest entries.
    int lead = -1;
    if (indexed) {
        qint64 fewest = 0;
        for (int i = 0; i < conditions.size(); ++i) {
            if (conditions[i].rangeLow.isEmpty())
                continue;
            const qint64 count = boundedCount(db, conditions[i]);
            if (lead < 0 || count < fewest) {
                lead = i;
                fewest = count;
            }
        }
    }
    bool needsFold = false;
    for (const Condition& c : conditions)
        needsFold |= c.folded;

    SqlBuilder sql;
    QByteArrayList where;
    auto expression = [&](const Condition& c, bool leading) -> QByteArray {
        if (leading)
            return "f." + c.column;
        if (!c.folded)
            return "t." + c.column;
        if (indexed)
            return "+f." + c.column;  // the plus keeps SQLite on the leading index
        return "fold(t." + c.column + ")";
    };
    for (int i = 0; i < conditions.size(); ++i) {
        const Condition& c = conditions[i];
        const QByteArray column = expression(c, i == lead);
        if (!c.glob || i == lead) {
            where << column + " >= " + sql.bind(c.rangeLow)
                  << column + " < " + sql.bind(c.rangeHigh);
        }
        if (c.glob)
            where << column + " GLOB " + sql.bind(*c.glob);
    }

    QByteArray from = " FROM tel AS t";
    if (lead >= 0)
        from = " FROM tel_fold AS f CROSS JOIN tel AS t ON t.key = f.key";
    else if (indexed && needsFold)
        from = " FROM tel AS t CROSS JOIN tel_fold AS f ON f.key = t.key";
    search.sql = "SELECT t.key, t.tel, t.fam, t.ul, t.dom, t.kv" + from;
    if (!where.isEmpty())
        search.sql += " WHERE " + where.join(" AND ");
    search.bindings = sql.bindings;
    return search;
}
