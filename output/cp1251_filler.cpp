#include "cp1251_filler.h"

#include <charconv>
#include <cstring>

#include "error.h"

namespace {

constexpr auto kCodePage = "windows-1251";

}  // namespace

Cp1251Filler::Cp1251Filler() : m_cp1251Back(kCodePage, QStringConverter::Flag::Stateless) {
    restartEncoder();
}

// Made in place: the ICU-backed encoder keeps the address of its own state for its error
// count, so a moved encoder would count errors into the old object.
void Cp1251Filler::restartEncoder() {
    m_cp1251.emplace(kCodePage, QStringConverter::Flag::Stateless);
    if (!m_cp1251->isValid() || !m_cp1251Back.isValid()) {
        throw Error(QStringLiteral("Кодировка windows-1251 недоступна в этой системе."));
    }
}

void Cp1251Filler::fill(HtmlChunk& chunk) {
    if (chunk.gaps.empty()) {
        return;
    }
    const QStringView text(chunk.text.data(), chunk.text.size());
    m_encoded.clear();
    char* encoded = m_encoded.reserveMore(m_cp1251->requiredSpace(text.size()));
    const char* end = m_cp1251->appendToBuffer(encoded, text);
    if (!m_cp1251->hasError() && end - encoded == text.size()) {
        qsizetype from = 0;
        for (const HtmlChunk::Gap& gap : chunk.gaps) {
            std::memcpy(chunk.bytes.data() + gap.at, encoded + from, std::size_t(gap.length));
            from += gap.length;
        }
    } else {
        rewrite(chunk);
        restartEncoder();
    }
    chunk.text.clear();
    chunk.gaps.clear();
}

// Copies the bytes around the gaps into a new buffer, with each value encoded one
// character at a time so that the unmappable ones can be told apart.
void Cp1251Filler::rewrite(HtmlChunk& chunk) {
    GrowBuffer<char>& bytes = chunk.bytes;
    m_rewritten.clear();
    qsizetype copied = 0;
    qsizetype from = 0;
    for (const HtmlChunk::Gap& gap : chunk.gaps) {
        m_rewritten.append(bytes.data() + copied, gap.at - copied);
        encodeByCharacter(QStringView(chunk.text.data() + from, gap.length), m_rewritten);
        copied = gap.at + gap.length;
        from += gap.length;
    }
    m_rewritten.append(bytes.data() + copied, bytes.size() - copied);
    bytes.swap(m_rewritten);
}

// A character is kept when its code page 1251 byte decodes back to the same character;
// otherwise (a substitute was written) it becomes "&#N;" with its Unicode code point.
void Cp1251Filler::encodeByCharacter(QStringView value, GrowBuffer<char>& out) {
    char bytes[64];
    QChar back[64];
    Q_ASSERT(m_cp1251->requiredSpace(2) <= qsizetype(sizeof bytes));
    for (qsizetype i = 0; i < value.size();) {
        const bool pair =
            value[i].isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate();
        const QStringView character = value.mid(i, pair ? 2 : 1);
        i += character.size();

        const char* end = m_cp1251->appendToBuffer(bytes, character);
        const QChar* backEnd = m_cp1251Back.appendToBuffer(back, QByteArrayView(bytes, end));
        if (QStringView(back, backEnd) == character) {
            out.append(bytes, end - bytes);
            continue;
        }
        const char32_t codePoint = pair ? QChar::surrogateToUcs4(character[0], character[1])
                                        : char32_t(character[0].unicode());
        char reference[16] = "&#";
        char* digits =
            std::to_chars(reference + 2, reference + sizeof reference - 1, std::uint32_t(codePoint))
                .ptr;
        *digits++ = ';';
        out.append(reference, digits - reference);
    }
}
