#pragma once

#include <QStringDecoder>
#include <QStringEncoder>
#include <optional>

#include "html_chunk.h"

// Converts the waiting values of an HtmlChunk to code page 1251, all of them with one
// encoder call, and copies each into its gap. A character the code page lacks becomes a
// numeric character reference "&#N;"; that rare case rewrites the chunk's bytes around the
// affected values.
class Cp1251Filler {
public:
    Cp1251Filler();

    // Leaves the chunk's bytes complete; its text and gaps are spent.
    void fill(HtmlChunk& chunk);

private:
    void restartEncoder();
    void rewrite(HtmlChunk& chunk);
    void encodeByCharacter(QStringView value, GrowBuffer<char>& out);

    // The encoder's error mark survives resetState(), so a fresh one replaces it after
    // a chunk that had an unmappable character.
    std::optional<QStringEncoder> m_cp1251;
    QStringDecoder m_cp1251Back;  // tells whether a character came through unchanged
    GrowBuffer<char> m_encoded;
    GrowBuffer<char> m_rewritten;
};
