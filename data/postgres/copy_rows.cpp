#include "copy_rows.h"

#include <charconv>
#include <cstring>

#include "columns.h"
#include "error.h"

namespace {

[[noreturn]] void malformed() {
    throw Error(QStringLiteral("Сервер прислал записи не в том виде, в каком их ждёт программа."));
}

// What a backslash and the character after it stand for in COPY's text format.
char unescaped(char c) {
    switch (c) {
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        default:
            return c;  // the backslash itself, and any other character
    }
}

}  // namespace

bool LengthTest::passes(const RowStore::Field& value) const {
    if (!value)
        return orWithoutValue;
    if (orLonger && characters == 0)
        return true;  // "%": any value
    const qsizetype count = utf8Characters(*value);
    return orLonger ? count >= characters : count == characters;
}

std::optional<LengthTest> LengthTest::of(int column, const LikeShape& like, bool orWithoutValue) {
    LengthTest test{column, 0, false, orWithoutValue};
    for (QChar c : like.folded) {
        if (c == u'_')
            ++test.characters;
        else if (c == u'%')
            test.orLonger = true;
        else
            return std::nullopt;
    }
    return test;
}

CopyTextReader::CopyTextReader(int fieldCount, RowStore& rows, std::span<const LengthTest> tests)
    : m_fields(size_t(fieldCount)), m_unescaped(size_t(fieldCount)), m_rows(rows), m_tests(tests) {}

RowStore::Field CopyTextReader::field(size_t column, const char* begin, const char* end,
                                      bool rowEscaped) {
    const size_t size = size_t(end - begin);
    if (!rowEscaped || !std::memchr(begin, '\\', size))
        return QByteArrayView(begin, qsizetype(size));
    if (size == 2 && begin[1] == 'N')
        return std::nullopt;
    QByteArray& text = m_unescaped[column];
    text.clear();
    for (const char* p = begin; p < end; ++p) {
        if (*p != '\\') {
            text += *p;
            continue;
        }
        if (++p == end)
            malformed();
        text += unescaped(*p);
    }
    return QByteArrayView(text);
}

void CopyTextReader::take(QByteArrayView row) {
    if (row.isEmpty() || row.back() != '\n')
        malformed();
    const char* p = row.data();
    const char* const end = p + row.size() - 1;  // the line break
    const auto nextTab = [&] {
        return static_cast<const char*>(std::memchr(p, '\t', size_t(end - p)));
    };

    // Rows without a backslash, nearly all, are not searched for one field by field.
    const bool escaped = std::memchr(p, '\\', size_t(end - p));
    const char* stop = nextTab();
    if (!stop)
        malformed();
    qint64 key = 0;
    const auto [last, error] = std::from_chars(p, stop, key);
    if (error != std::errc() || last != stop)
        malformed();
    for (size_t c = 0; c < m_fields.size(); ++c) {
        p = stop + 1;
        stop = nextTab();
        if (c + 1 == m_fields.size()) {
            if (stop)
                malformed();  // more fields than asked for
            stop = end;
        } else if (!stop) {
            malformed();
        }
        m_fields[c] = field(c, p, stop, escaped);
    }
    for (const LengthTest& test : m_tests)
        if (!test.passes(m_fields[size_t(test.column)]))
            return;
    m_rows.append(key, m_fields);
}
