#include "value_decoder.h"

namespace {

void appendAscii(GrowBuffer<char16_t>& text, const char* ascii) {
    for (; *ascii != '\0'; ++ascii) {
        text.append(char16_t(*ascii));
    }
}

}  // namespace

// Stateless: values are separate texts, a broken sequence must not reach into the next one.
// ConvertInitialBom: a value that starts with U+FEFF keeps it.
ValueDecoder::ValueDecoder()
    : m_utf8(QStringConverter::Utf8,
             QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom) {}

void ValueDecoder::add(HtmlChunk& chunk, QByteArrayView utf8, bool escape) {
    GrowBuffer<char16_t>& text = chunk.text;
    const qsizetype begin = text.size();
    auto* start = reinterpret_cast<QChar*>(text.reserveMore(m_utf8.requiredSpace(utf8.size())));
    text.setEnd(reinterpret_cast<char16_t*>(m_utf8.appendToBuffer(start, utf8)));
    if (escape) {
        escapeFrom(text, begin);
    }
    const qsizetype length = text.size() - begin;
    chunk.gaps.push_back({chunk.bytes.size(), length});
    chunk.bytes.setEnd(chunk.bytes.reserveMore(length) + length);
}

void ValueDecoder::escapeFrom(GrowBuffer<char16_t>& text, qsizetype begin) {
    m_scratch.clear();
    m_scratch.append(text.data() + begin, text.size() - begin);
    text.setEnd(text.data() + begin);
    for (qsizetype i = 0; i < m_scratch.size(); ++i) {
        const char16_t c = m_scratch.data()[i];
        switch (c) {
            case u'&':
                appendAscii(text, "&amp;");
                break;
            case u'<':
                appendAscii(text, "&lt;");
                break;
            case u'>':
                appendAscii(text, "&gt;");
                break;
            default:
                text.append(c);
        }
    }
}
