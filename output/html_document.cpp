#include "html_document.h"

#include <QStringEncoder>
#include <array>
#include <cstring>

#include "error.h"
#include "value_scan.h"

namespace {

constexpr qsizetype kChunk = 256 * 1024;

constexpr QByteArrayView kRowOpen("<tr>\r\n");
constexpr QByteArrayView kRowClose("</tr>\r\n");
constexpr QByteArrayView kCellOpen("<th><span class=\"style4\">");
constexpr QByteArrayView kCellClose("</span></th>\r\n");
constexpr QByteArrayView kClosing("</table>\r\n</body>\r\n</html>\r\n");

// The document as the users' earlier exports had it: no <body> opening, and the header
// cells name a class that the style sheet does not define.
constexpr auto kHead =
    u"<html>\r\n"
    u"<head>\r\n"
    u"<title>Kalvex export</title>\r\n"
    u"<style type=\"text/css\">\r\n"
    u"<!--\r\n"
    u".style4 {font-size: 12px;font-family: \"Times New Roman\", Times, serif;"
    u"font-style: italic;}\r\n"
    u"-->\r\n"
    u"</style>\r\n"
    u"</head>\r\n"
    u"<table width=\"800\" border=\"1\" cellpadding=\"1\" cellspacing=\"1\" "
    u"bordercolor=\"#000000\" bgcolor=\"#FFFFFF\">\r\n"
    u"<tr>\r\n";

constexpr std::array<const char16_t*, 6> kHeaders = {
    u"Телефон", u"ФИО", u"Улица", u"№ дома", u"№ квартиры", u"Мобильник",
};

// The most an entry adds besides its values: row lines and, per field, the cell's
// markup and the first row's space.
constexpr qsizetype kEntryMarkup =
    kRowOpen.size() + kRowClose.size() + 6 * (kCellOpen.size() + 1 + kCellClose.size());
// An escaped or converted value takes at most five bytes per byte of UTF-8 ("&amp;").
constexpr qsizetype kValueGrowth = 5;

char* put(char* out, QByteArrayView bytes) {
    std::memcpy(out, bytes.data(), std::size_t(bytes.size()));
    return out + bytes.size();
}

QByteArray encodeHead(int fieldCount) {
    QString head = QString::fromUtf16(kHead);
    for (int i = 0; i < fieldCount; ++i) {
        head += QStringLiteral("<th scope=\"col\"><span class=\"style1\">") +
                QString::fromUtf16(kHeaders[i]) + QStringLiteral("</span></th>\r\n");
    }
    head += QStringLiteral("</tr>\r\n");
    QStringEncoder cp1251("windows-1251");
    QByteArray bytes = cp1251.encode(head);
    if (!cp1251.isValid() || cp1251.hasError()) {
        throw Error(QStringLiteral("Кодировка windows-1251 недоступна в этой системе."));
    }
    return bytes;
}

}  // namespace

HtmlDocument::HtmlDocument(QIODevice& out, DirectoryKind kind)
    : m_fieldCount(fieldCount(kind)), m_writer(out) {
    const QByteArray head = encodeHead(m_fieldCount);
    m_writer.chunk().bytes.append(head.constData(), head.size());
}

void HtmlDocument::writeEntry(const OutputEntry& entry) {
    qsizetype room = kEntryMarkup;
    for (int i = 0; i < m_fieldCount; ++i) {
        room += entry.fields[i] ? kValueGrowth * entry.fields[i]->size() : 0;
    }
    HtmlChunk& chunk = m_writer.chunk();
    char* out = put(chunk.bytes.reserveMore(room), kRowOpen);
    for (int i = 0; i < m_fieldCount; ++i) {
        out = put(out, kCellOpen);
        if (entry.fields[i]) {
            out = putValue(chunk, out, *entry.fields[i]);
        }
        // The first row has always carried a space after each value but the mobile number.
        if (m_firstEntry && i < 5) {
            *out++ = ' ';
        }
        out = put(out, kCellClose);
    }
    chunk.bytes.setEnd(put(out, kRowClose));
    m_firstEntry = false;
    if (chunk.bytes.size() >= kChunk) {
        m_writer.submit();
    }
}

// Writes the value at `out`, within the room writeEntry() reserved; returns its end.
char* HtmlDocument::putValue(HtmlChunk& chunk, char* out, QByteArrayView value) {
    if (value.isEmpty()) {
        return out;
    }
    const ValueScan scan = scanValue(value);
    if (scan.nonAscii) {
        chunk.bytes.setEnd(out);
        m_decoder.add(chunk, value, scan.markup);
        return chunk.bytes.data() + chunk.bytes.size();
    }
    if (!scan.markup) {
        return put(out, value);
    }
    for (const char c : value) {
        switch (c) {
            case '&':
                out = put(out, "&amp;");
                break;
            case '<':
                out = put(out, "&lt;");
                break;
            case '>':
                out = put(out, "&gt;");
                break;
            default:
                *out++ = c;
        }
    }
    return out;
}

void HtmlDocument::finish() {
    m_writer.chunk().bytes.append(kClosing.data(), kClosing.size());
    m_writer.finish();
}
