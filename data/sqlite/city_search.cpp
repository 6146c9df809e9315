#include "city_search.h"

#include <QByteArrayList>

#include "columns.h"
#include "matching.h"
#include "statement.h"
#include "stored_table.h"

namespace {

// A byte above every byte of UTF-8 text: [p, p + kAbove) holds exactly the texts beginning with p.
const char kAbove = '\xFF';
// The byte just above NUL: [p, p + kJustAbove) holds p and the texts that go on from p with a
// NUL, which GLOB, reading up to a NUL, takes for p too. A pattern without wildcards needs
// no wider range, which spares the search every longer text that begins the same way.
const char kJustAbove = '\x01';

// Every match of the condition lies in [low, high) of the folded texts' UTF-8 bytes.
QByteArray rangeLow(const SearchCondition& c) {
    return c.like.literalPrefix.toUtf8();
}
QByteArray rangeHigh(const SearchCondition& c) {
    return rangeLow(c) + (c.like.literal ? kJustAbove : kAbove);
}

// The column of the search index that holds a field folded (the index's own name for it).
QByteArray indexColumn(Field field) {
    return QByteArray("f.") + kCityTable.column(field).name;
}

// How many entries the condition's index range holds, counting no further than the limit.
qint64 boundedCount(sqlite3* db, const SearchCondition& c) {
    constexpr int kLimit = 1000;
    const QByteArray column = kCityTable.column(c.field).name;
    Statement count(db,
                    "SELECT count(*) FROM (SELECT 1 FROM tel_fold WHERE " + column + " >= ?1 AND " +
                        column + " < ?2 LIMIT " + QByteArray::number(kLimit) + ")",
                    QStringLiteral("Не удалось выполнить поиск"));
    count.bindText(1, rangeLow(c));
    count.bindText(2, rangeHigh(c));
    count.step();
    return count.int64(0);
}

// The condition whose range holds the fewest entries, to lead through the index; -1 when no
// range narrows the search without also taking entries that have no value.
int leadingCondition(sqlite3* db, const std::vector<SearchCondition>& conditions) {
    int lead = -1;
    qint64 fewest = 0;
    for (int i = 0; i < int(conditions.size()); ++i) {
        const SearchCondition& c = conditions[size_t(i)];
        if (c.like.literalPrefix.isEmpty() || c.orWithoutValue)
            continue;
        const qint64 count = boundedCount(db, c);
        if (lead < 0 || count < fewest) {
            lead = i;
            fewest = count;
        }
    }
    return lead;
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

CitySearch CitySearch::plan(sqlite3* db, bool indexed, const StoredTable& tel,
                            const CityCriteria& criteria) {
    CitySearch search;
    const auto conditions = searchConditions(criteria);
    if (!conditions) {
        search.selectsNothing = true;
        return search;
    }
    const int lead = indexed ? leadingCondition(db, *conditions) : -1;
    SqlStatement& select = search.select;
    QByteArrayList where;
    bool needsFold = false;
    for (int i = 0; i < int(conditions->size()); ++i) {
        const SearchCondition& c = (*conditions)[size_t(i)];
        const QByteArray stored = "t." + tel.column(c.field);
        // Where folding cannot change the outcome the stored text will do; the plus keeps
        // SQLite on the leading condition's index.
        const QByteArray column = i == lead             ? indexColumn(c.field)
                                  : !c.like.foldMatters ? stored
                                  : indexed             ? "+" + indexColumn(c.field)
                                                        : "fold(" + stored + ")";
        needsFold |= c.like.foldMatters;
        QByteArrayList terms;
        if (c.prefix || i == lead) {
            const QByteArray low = select.bytes(rangeLow(c));
            const QByteArray high = select.bytes(rangeHigh(c));
            terms << column + " >= " + low << column + " < " + high;
        }
        if (!c.prefix)
            terms << column + " GLOB " + select.bytes(globPattern(c.like.folded));
        if (c.orWithoutValue)
            where << "(" + stored + " IS NULL OR (" + terms.join(" AND ") + "))";
        else
            where << terms;
    }

    const QByteArray byKey = "f." + QByteArray(kKeyColumn) + " = t." + tel.key;
    QByteArray from = " FROM " + tel.table + " AS t";
    if (lead >= 0)
        from = " FROM tel_fold AS f CROSS JOIN " + tel.table + " AS t ON " + byKey;
    else if (indexed && needsFold)
        from += " CROSS JOIN tel_fold AS f ON " + byKey;
    select.sql = "SELECT t." + tel.key + ", " + tel.columnList("t.") + from;
    if (!where.isEmpty())
        select.sql += " WHERE " + where.join(" AND ");
    return search;
}
