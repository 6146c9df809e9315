#pragma once

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>
#include <vector>

#include "grow_buffer.h"

// Text values bound for a code page 1251 document, converted many at a time: the markup
// around them is written at once, each value leaves a gap of one byte per UTF-16 unit (its
// exact size in code page 1251 when every character has a place there), and fill() converts
// the whole lot with one encoder call and copies each value into its gap. A character the
// code page lacks becomes a numeric character reference "&#N;"; that rare case rewrites
// the output around the affected values.
class Cp1251Batch {
public:
    Cp1251Batch();

    // Decodes the UTF-8 value, escapes & < > when `escape` says the value holds any, and
    // reserves the value's gap at the end of `out`.
    void add(GrowBuffer<char>& out, QByteArrayView utf8, bool escape);
    // Puts every gathered value into its gap of `out` and starts a new batch.
    void fill(GrowBuffer<char>& out);

private:
    struct Gap {
        qsizetype at;
        qsizetype length;
    };

    void escapeFrom(qsizetype begin);
    void rewrite(GrowBuffer<char>& out);
    void encodeByCharacter(QStringView value, GrowBuffer<char>& out);

    QStringDecoder m_utf8;
    // The encoder's error mark survives resetState(), so a fresh one replaces it after a
    // batch that had an unmappable character.
    std::optional<QStringEncoder> m_cp1251;
    QStringDecoder m_cp1251Back;  // tells whether a character came through unchanged
    GrowBuffer<char16_t> m_text;  // the batch's values one after another
    GrowBuffer<char16_t> m_scratch;
    GrowBuffer<char> m_encoded;
    GrowBuffer<char> m_rewritten;
    std::vector<Gap> m_gaps;
};
