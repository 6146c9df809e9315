#pragma once

#include <QByteArrayView>
#include <optional>
#include <span>
#include <vector>

#include "matching.h"
#include "row_store.h"

// A LIKE pattern of wildcards alone asks only for a value's length: "_____" (what the phone
// input sends when nothing was typed) five characters, "%" any value, "__%" two or more.
struct LengthTest {
    int column = 0;  // in field order
    qsizetype characters = 0;
    bool orLonger = false;        // the pattern holds a '%'
    bool orWithoutValue = false;  // see LikeParameter

    // A value's characters are its UTF-8 sequences, as the server's LIKE counts them.
    bool passes(const RowStore::Field& value) const;
    // The test the pattern makes, or none when it asks for more than a length.
    static std::optional<LengthTest> of(int column, const LikeShape& like, bool orWithoutValue);
};

// Reads the rows of a COPY ... TO STDOUT in text format as they arrive, one row a call (the
// server sends each row as a message of its own): the key, then `fieldCount` texts, separated
// by tabs, "\N" for no value, and a backslash before a tab, a line break, a backslash or
// another control character the text holds. Rows that fail one of `tests` are left out.
//
// COPY earns this reader: every entry with a house (997,007 rows) loaded in 515-554 ms by COPY
// and 743-890 ms by SELECT. Text, not binary: the server sends a quarter less (62 instead of
// 83 MB for a million entries) and builds no buffer for every value, so they stream in 391
// instead of 418 ms (`bash bench/run_bench.sh --server --only search`, 2 cores).
class CopyTextReader {
public:
    CopyTextReader(int fieldCount, RowStore& rows, std::span<const LengthTest> tests = {});

    void take(QByteArrayView row);

private:
    // `rowEscaped`: the row holds a backslash somewhere.
    RowStore::Field field(size_t column, const char* begin, const char* end, bool rowEscaped);

    std::vector<RowStore::Field> m_fields;
    std::vector<QByteArray> m_unescaped;  // a field's text when it held escapes
    RowStore& m_rows;
    std::span<const LengthTest> m_tests;
};
