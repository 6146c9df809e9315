#include "sheet_rows.h"

#include <xlsxwriter.h>

#include <cctype>
#include <cstring>

namespace {

constexpr qsizetype kMaxCharacters = 32767;   // Excel's limit for a cell's text
constexpr std::uint32_t kRowLimit = 1048576;  // rows of a sheet, LXW_ROW_MAX

constexpr char kCellStart[] = "\" t=\"inlineStr\"><is><t";
constexpr char kPreserve[] = " xml:space=\"preserve\"";
constexpr char kCellEnd[] = "</t></is></c>";
// The most a cell's markup takes besides its text, and a row's besides its cells.
constexpr qsizetype kCellMarkup =
    6 + 2 + 10 + sizeof kCellStart + sizeof kPreserve + 1 + sizeof kCellEnd;
constexpr qsizetype kRowMarkup = 8 + 10 + 2 + 6;
constexpr qsizetype kMostPerByte = 7;  // a control character becomes _xHHHH_

// The control characters libxlsxwriter writes as _xHHHH_: all below 0x20 but tab and LF.
bool isEscapedControl(unsigned char c) {
    return c < 0x20 && c != '\t' && c != '\n';
}

bool needsEscape(unsigned char c) {
    return isEscapedControl(c) || c == '&' || c == '<' || c == '>';
}

char* put(char* out, const char* text, std::size_t size) {
    std::memcpy(out, text, size);
    return out + size;
}

template <std::size_t N>
char* put(char* out, const char (&text)[N]) {
    return put(out, text, N - 1);
}

char* putNumber(char* out, std::uint32_t n) {
    char digits[10];
    int count = 0;
    do {
        digits[count++] = char('0' + n % 10);
        n /= 10;
    } while (n > 0);
    while (count > 0)
        *out++ = digits[--count];
    return out;
}

char* putEscaped(char* out, QByteArrayView text) {
    static const char hex[] = "0123456789ABCDEF";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (!needsEscape(c)) {
            *out++ = ch;
        } else if (c == '&') {
            out = put(out, "&amp;");
        } else if (c == '<') {
            out = put(out, "&lt;");
        } else if (c == '>') {
            out = put(out, "&gt;");
        } else {
            out = put(out, "_x00");
            *out++ = hex[c >> 4];
            *out++ = hex[c & 0xF];
            *out++ = '_';
        }
    }
    return out;
}

// Characters as libxlsxwriter counts them: every byte that is not a UTF-8 continuation.
qsizetype utf8Length(QByteArrayView text) {
    qsizetype n = 0;
    for (const char c : text)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

// Whether the escaped text starts (or ends) with white space: an escaped byte never does.
bool spaceAtEdge(unsigned char c) {
    return !needsEscape(c) && std::isspace(c);
}

}  // namespace

int SheetRows::append(QByteArray& xml, std::uint32_t row, const OutputEntry& entry) {
    qsizetype room = kRowMarkup;
    for (int c = 0; c < m_columns; ++c)
        if (entry.fields[c])
            room += kCellMarkup + kMostPerByte * entry.fields[c]->size();
    const qsizetype start = xml.size();
    xml.resize(start + room);  // new bytes are not initialised; the unused end is cut below
    char* const begin = xml.data() + start;
    char* out = begin;
    bool rowOpen = false;
    for (int c = 0; c < m_columns; ++c) {
        if (!entry.fields[c])
            continue;
        const QByteArrayView whole = *entry.fields[c];
        const void* nul = std::memchr(whole.data(), 0, std::size_t(whole.size()));
        const QByteArrayView value =
            nul ? whole.first(static_cast<const char*>(nul) - whole.data()) : whole;
        if (value.isEmpty())
            continue;
        if (row >= kRowLimit) {
            xml.resize(start);
            return LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE;
        }
        if (value.size() > kMaxCharacters && utf8Length(value) > kMaxCharacters) {
            xml.resize(start);
            return LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED;
        }
        if (!rowOpen) {
            out = put(out, "<row r=\"");
            out = putNumber(out, row + 1);
            out = put(out, "\">");
            rowOpen = true;
        }
        out = put(out, "<c r=\"");
        *out++ = char('A' + c);
        out = putNumber(out, row + 1);
        out = put(out, kCellStart);
        const auto first = static_cast<unsigned char>(value.front());
        const auto last = static_cast<unsigned char>(value.back());
        if (spaceAtEdge(first) || spaceAtEdge(last))
            out = put(out, kPreserve);
        *out++ = '>';
        out = putEscaped(out, value);
        out = put(out, kCellEnd);
    }
    if (rowOpen) {
        out = put(out, "</row>");
        m_lastRow = row;
    }
    xml.resize(start + (out - begin));
    return 0;
}
