#include "cp1251_batch.h"

#include <charconv>
#include <cstring>

#include "error.h"

namespace {

constexpr auto kCodePage = "windows-1251";

// Made in place: the ICU-backed encoder keeps the address of its own state for its error
// count, so a moved encoder would count errors into the old object.
void startCp1251Encoder(std::optional<QStringEncoder>& encoder) {
    encoder.emplace(kCodePage, QStringConverter::Flag::Stateless);
    if (!encoder->isValid()) {
        throw Error(QStringLiteral("Кодировка windows-1251 недоступна в этой системе."));
    }
}

void appendAscii(GrowBuffer<char16_t>& text, const char* ascii) {
    for (; *ascii != '\0'; ++ascii) {
        text.append(char16_t(*ascii));
    }
}

}  // namespace

Cp1251Batch::Cp1251Batch()
    // Stateless: values are independent texts, a broken sequence must not reach into the
    // next one. ConvertInitialBom: a value starting with U+FEFF keeps it.
    : m_utf8(QStringConverter::Utf8,
             QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom),
      m_cp1251Back(kCodePage, QStringConverter::Flag::Stateless) {
    startCp1251Encoder(m_cp1251);
}

void Cp1251Batch::add(GrowBuffer<char>& out, QByteArrayView utf8, bool escape) {
    const qsizetype begin = m_text.size();
    auto* start = reinterpret_cast<QChar*>(m_text.reserveMore(m_utf8.requiredSpace(utf8.size())));
    m_text.setEnd(reinterpret_cast<char16_t*>(m_utf8.appendToBuffer(start, utf8)));
    if (escape) {
        escapeFrom(begin);
    }
    const qsizetype length = m_text.size() - begin;
    m_gaps.push_back({out.size(), length});
    out.setEnd(out.reserveMore(length) + length);
}

void Cp1251Batch::escapeFrom(qsizetype begin) {
    m_scratch.clear();
    m_scratch.append(m_text.data() + begin, m_text.size() - begin);
    m_text.setEnd(m_text.data() + begin);
    for (qsizetype i = 0; i < m_scratch.size(); ++i) {
        const char16_t c = m_scratch.data()[i];
        switch (c) {
            case u'&':
                appendAscii(m_text, "&amp;");
                break;
            case u'<':
                appendAscii(m_text, "&lt;");
                break;
            case u'>':
                appendAscii(m_text, "&gt;");
                break;
            default:
                m_text.append(c);
        }
    }
}

void Cp1251Batch::fill(GrowBuffer<char>& out) {
    if (m_gaps.empty()) {
        return;
    }
    const QStringView text(m_text.data(), m_text.size());
    m_encoded.clear();
    char* encoded = m_encoded.reserveMore(m_cp1251->requiredSpace(text.size()));
    const char* end = m_cp1251->appendToBuffer(encoded, text);
    if (!m_cp1251->hasError() && end - encoded == text.size()) {
        qsizetype from = 0;
        for (const Gap& gap : m_gaps) {
            std::memcpy(out.data() + gap.at, encoded + from, std::size_t(gap.length));
            from += gap.length;
        }
    } else {
        rewrite(out);
        startCp1251Encoder(m_cp1251);
    }
    m_gaps.clear();
    m_text.clear();
}

// Copies `out` around the gaps into a new buffer, with each value encoded one character at
// a time so that the unmappable ones can be told apart.
void Cp1251Batch::rewrite(GrowBuffer<char>& out) {
    m_rewritten.clear();
    qsizetype copied = 0;
    qsizetype from = 0;
    for (const Gap& gap : m_gaps) {
        m_rewritten.append(out.data() + copied, gap.at - copied);
        encodeByCharacter(QStringView(m_text.data() + from, gap.length), m_rewritten);
        copied = gap.at + gap.length;
        from += gap.length;
    }
    m_rewritten.append(out.data() + copied, out.size() - copied);
    out.swap(m_rewritten);
}

// A character is kept when its code page 1251 bytes decode back to the same character;
// otherwise (a substitute was written) it becomes "&#N;" with its Unicode code point.
void Cp1251Batch::encodeByCharacter(QStringView value, GrowBuffer<char>& out) {
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
