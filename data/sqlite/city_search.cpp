#include "city_search.h"

#include "columns.h"
#include "matching.h"
#include "statement.h"

namespace {

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
    bool orNull = false;  // a field without a value matches too
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

QByteArray columnName(Field field) {
    return kCityTable.column(field).name;
}

}  // namespace

QByteArray globPattern(QStringView folded) {
    QString glob;
    glob.reserve(folded.size() + 8);
    for (qsizetype i = 0; i < folded.size(); ++i) {
        const QChar c = folded[i];
        // A surrogate without its other half has no UTF-8 form: toUtf8() writes '?' for it,
        // in the stored texts too, so here it must be that plain '?' and not GLOB's wildcard.
        const bool lone =
            (c.isHighSurrogate() && (i + 1 == folded.size() || !folded[i + 1].isLowSurrogate())) ||
            (c.isLowSurrogate() && (i == 0 || !folded[i - 1].isHighSurrogate()));
        if (lone) {
            glob += u"[?]";
            continue;
        }
        switch (c.unicode()) {
            case u'%':
                glob += u'*';
                break;
            case u'_':
                glob += u'?';
                break;
            case u'*':
                glob += u"[*]";
                break;
            case u'?':
                glob += u"[?]";
                break;
            case u'[':
                glob += u"[[]";
                break;
            default:
                glob += c;
        }
    }
    return glob.toUtf8();
}

CitySearch CitySearch::plan(sqlite3* db, bool indexed, const CityCriteria& criteria) {
    CitySearch search;
    QList<Condition> conditions;

    const auto shaped = shapedParameters(criteria);
    if (!shaped) {
        search.selectsNothing = true;
        return search;
    }
    for (const auto& [field, like, orNull] : *shaped) {
        if (like.anyValue && orNull)
            continue;
        const QByteArray prefix = like.literalPrefix.toUtf8();
        conditions.append({columnName(field), globPattern(like.folded), prefix,
                           prefix + (like.literal ? kJustAbove : kAbove), like.foldMatters,
                           orNull});
    }
    const std::pair<Field, const QString*> prefixes[] = {{Field::Surname, &criteria.filter.fam},
                                                         {Field::Street, &criteria.filter.ul}};
    for (const auto& [field, text] : prefixes) {
        if (text->isEmpty())
            continue;
        const QByteArray prefix = foldText(*text).toUtf8();
        conditions.append(
            {columnName(field), std::nullopt, prefix, prefix + kAbove, foldMatters(*text)});
    }

    // With the index, lead with the condition whose range holds the fewest entries.
    int lead = -1;
    if (indexed) {
        qint64 fewest = 0;
        for (int i = 0; i < conditions.size(); ++i) {
            if (conditions[i].rangeLow.isEmpty() || conditions[i].orNull)
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
        QByteArrayList terms;
        if (!c.glob || i == lead) {
            terms << column + " >= " + sql.bind(c.rangeLow)
                  << column + " < " + sql.bind(c.rangeHigh);
        }
        if (c.glob)
            terms << column + " GLOB " + sql.bind(*c.glob);
        if (c.orNull)
            where << "(t." + c.column + " IS NULL OR (" + terms.join(" AND ") + "))";
        else
            where << terms;
    }

    QByteArray from = " FROM tel AS t";
    const QByteArray key(kKeyColumn);
    if (lead >= 0)
        from = " FROM tel_fold AS f CROSS JOIN tel AS t ON t." + key + " = f." + key;
    else if (indexed && needsFold)
        from = " FROM tel AS t CROSS JOIN tel_fold AS f ON f." + key + " = t." + key;
    QByteArray select = "SELECT t." + key;
    for (const Column& c : kCityTable.columns)
        select += QByteArray(", t.") + c.name;
    search.sql = select + from;
    if (!where.isEmpty())
        search.sql += " WHERE " + where.join(" AND ");
    search.bindings = sql.bindings;
    return search;
}
