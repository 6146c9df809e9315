#pragma once

#include <QByteArrayView>
#include <QStringDecoder>

#include "html_chunk.h"

// Puts UTF-8 values into an HtmlChunk as UTF-16 text with a gap in the bytes, for
// Cp1251Filler to convert later.
class ValueDecoder {
public:
    ValueDecoder();

    // Decodes the value, escapes & < > when `escape` says it holds any, and reserves the
    // value's gap at the end of the chunk's bytes.
    void add(HtmlChunk& chunk, QByteArrayView utf8, bool escape);

private:
    void escapeFrom(GrowBuffer<char16_t>& text, qsizetype begin);

    QStringDecoder m_utf8;
    GrowBuffer<char16_t> m_scratch;
};
