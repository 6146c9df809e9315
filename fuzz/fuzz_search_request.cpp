// The five search inputs holding any text, read into the city query's criteria
// and planned without the search index and without a database (a null handle: planning
// must not need one). The plan then runs on a small directory in memory, holding entries
// made from the same texts, unindexed and through the search index: both must prepare, run
// without error and find the same entries.
#include <sqlite3.h>

#include <QSet>
#include <cstdlib>

#include "error.h"
#include "fuzz_input.h"
#include "search_request.h"
#include "sqlite/city_search.h"
#include "sqlite/fold_function.h"
#include "sqlite/schema.h"
#include "sqlite/search_index.h"
#include "sqlite/statement.h"
#include "stored_table.h"

namespace {

sqlite3* directory() {
    static sqlite3* db = [] {
        sqlite3* opened = nullptr;
        sqlite3_open(":memory:", &opened);
        registerFoldFunction(opened);
        createTables(opened);
        createSearchIndex(opened);
        return opened;
    }();
    return db;
}

// Entries like the inputs, so that the filters have something to find or to miss.
void fill(sqlite3* db, const SearchInputs& in) {
    execute(db, "DELETE FROM tel");
    Statement insert(db, "INSERT INTO tel (tel, fam, ul, dom, kv) VALUES (?1, ?2, ?3, ?4, ?5)");
    const QString digits = in.phone;
    const std::optional<QString> rows[][5] = {
        {digits, in.surname, in.street, in.house, in.apartment},
        {digits + u'7', in.surname.toUpper() + u'я', in.street.toLower(), in.house + u'а',
         in.apartment},
        {digits.left(3), in.surname.left(1), in.street + QStringLiteral("ЁЁ"), in.house.left(1),
         in.apartment + u'1'},
        {std::nullopt, in.surname, std::nullopt, std::nullopt, std::nullopt},
        {QStringLiteral("12345"), QStringLiteral("Ёлкин"), QStringLiteral("Мира"),
         QStringLiteral("1"), QString()},
    };
    for (const auto& row : rows) {
        for (int c = 0; c < 5; ++c)
            insert.bindValue(c + 1, row[c]);
        insert.run();
        insert.reset();
    }
    catchUpSearchIndex(db, StoredTable::declared(kCityTable));
}

QSet<qint64> found(sqlite3* db, const CitySearch& search) {
    QSet<qint64> keys;
    if (search.selectsNothing)
        return keys;
    Statement select(db, search.select.sql);
    for (size_t i = 0; i < search.select.values().size(); ++i)
        select.bindText(int(i) + 1, std::get<QByteArray>(search.select.values()[i]));
    while (select.step())
        keys.insert(select.int64(0));
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArrayView> parts = pieces(data, size, 5);
    const SearchInputs inputs{utf16Text(piece(parts, 0)), utf16Text(piece(parts, 1)),
                              utf16Text(piece(parts, 2)), utf16Text(piece(parts, 3)),
                              utf16Text(piece(parts, 4))};
    (void)inputs.hasInput();
    const CityCriteria criteria = searchCriteria(inputs);
    try {
        const StoredTable tel = StoredTable::declared(kCityTable);
        const CitySearch unindexed = CitySearch::plan(nullptr, false, tel, criteria);
        sqlite3* db = directory();
        fill(db, inputs);
        const CitySearch indexed = CitySearch::plan(db, true, tel, criteria);
        if (unindexed.selectsNothing != indexed.selectsNothing)
            std::abort();
        if (found(db, unindexed) != found(db, indexed))
            std::abort();
    } catch (const Error&) {
        std::abort();  // a search must never fail
    }
    return 0;
}
