#include "html_document.h"

#include <fcntl.h>

#include <QFileDevice>
#include <algorithm>

#include "error.h"
#include "system_reason.h"

namespace {

// The piece written at once: large enough that a write costs nothing beside it, small
// enough to stay in the cache.
constexpr size_t kChunk = 256 * 1024;

constexpr QByteArrayView kRowOpen("<tr>\r\n");
constexpr QByteArrayView kRowClose("</tr>\r\n");
constexpr QByteArrayView kCellOpen("<th><span class=\"style4\">");
constexpr QByteArrayView kCellClose("</span></th>\r\n");
constexpr QByteArrayView kClosing("</table>\r\n</body>\r\n</html>\r\n");
constexpr QByteArrayView kHeaderOpen("<th scope=\"col\"><span class=\"style1\">");
constexpr QByteArrayView kHeaderClose("</span></th>\r\n");

// The document as the users' earlier exports had it: no <body> opening, and the header
// cells name a class that the style sheet does not define.
constexpr QByteArrayView kHead(
    "<html>\r\n"
    "<head>\r\n"
    "<title>Kalvex export</title>\r\n"
    "<style type=\"text/css\">\r\n"
    "<!--\r\n"
    ".style4 {font-size: 12px;font-family: \"Times New Roman\", Times, serif;"
    "font-style: italic;}\r\n"
    "-->\r\n"
    "</style>\r\n"
    "</head>\r\n"
    "<table width=\"800\" border=\"1\" cellpadding=\"1\" cellspacing=\"1\" "
    "bordercolor=\"#000000\" bgcolor=\"#FFFFFF\">\r\n"
    "<tr>\r\n");

}  // namespace

HtmlDocument::HtmlDocument(QIODevice& out, const DirectoryTable& table)
    : m_out(out), m_table(table) {
    m_chunk.reserve(kChunk + 4096);
    m_chunk.append(kHead.data(), size_t(kHead.size()));
    for (const Column& column : table.columns) {
        m_chunk.append(kHeaderOpen.data(), size_t(kHeaderOpen.size()));
        m_encoder.append(column.header.toUtf8(), m_chunk);
        m_chunk.append(kHeaderClose.data(), size_t(kHeaderClose.size()));
    }
    m_chunk += "</tr>\r\n";
}

void HtmlDocument::write(ListingEntry entry) {
    const auto put = [this](QByteArrayView bytes) {
        m_chunk.append(bytes.data(), size_t(bytes.size()));
    };
    put(kRowOpen);
    for (size_t i = 0; i < entry.size(); ++i) {
        put(kCellOpen);
        if (entry[i])
            appendValue(*entry[i]);
        // The first row has always carried a space after each value but the mobile number.
        if (m_firstEntry && m_table.columns[i].field != Field::Mobile)
            m_chunk += ' ';
        put(kCellClose);
    }
    put(kRowClose);
    m_firstEntry = false;
    if (m_chunk.size() >= kChunk)
        flush();
}

// Markup and ASCII values are the same bytes in code page 1251; only a value with other
// characters goes through the converter. Converting whole pieces instead, markup and all,
// made the converter the slowest part of an export.
void HtmlDocument::appendValue(QByteArrayView value) {
    const bool ascii =
        std::all_of(value.begin(), value.end(), [](char c) { return (c & 0x80) == 0; });
    std::string& escaped = ascii ? m_chunk : m_escaped;
    m_escaped.clear();
    // Bytes another program stored that are not UTF-8 are written as the grid shows them:
    // Qt's replacement characters, not the converter's own count of them.
    QByteArray repaired;
    if (!ascii && !value.isValidUtf8()) {
        repaired = QString::fromUtf8(value).toUtf8();
        value = repaired;
    }
    // Escaped before it is converted, so that the converter's own references stay as made.
    qsizetype plain = 0;  // the start of the run not yet appended
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char* escape = nullptr;
        switch (value[i]) {
            case '&':
                escape = "&amp;";
                break;
            case '<':
                escape = "&lt;";
                break;
            case '>':
                escape = "&gt;";
                break;
            default:
                continue;
        }
        escaped.append(value.data() + plain, size_t(i - plain));
        escaped += escape;
        plain = i + 1;
    }
    escaped.append(value.data() + plain, size_t(value.size() - plain));
    if (!ascii)
        m_encoder.append(QByteArrayView(m_escaped.data(), qsizetype(m_escaped.size())), m_chunk);
}

void HtmlDocument::flush() {
    const qint64 size = qint64(m_chunk.size());
    const bool written = m_out.write(m_chunk.data(), size) == size;
    m_chunk.clear();  // keeps its room for the next piece
    if (!written)
        throw Error(
            QStringLiteral("Не удалось записать файл: %1").arg(systemReason(m_out.errorString())));
#ifdef __linux__
    // A file that is saved to disk at its end (QSaveFile does) is handed to the disk as it
    // grows, so that little is left to wait for then. Only a hint: where the system cannot
    // take it, the final sync does all the work as before. On 1,000,000 entries (238 MB) the
    // wait at the end fell from 171-190 ms to 118-152 ms, the export from 452-457 ms to
    // 420-421 ms (`bench/run_bench.sh --only html`, 2 cores).
    constexpr qint64 kWriteBackStep = 8 * 1024 * 1024;
    auto* file = qobject_cast<QFileDevice*>(&m_out);
    if (file == nullptr || file->handle() < 0 || file->pos() - m_handedToDisk < kWriteBackStep)
        return;
    if (!file->flush())
        throw Error(
            QStringLiteral("Не удалось записать файл: %1").arg(systemReason(file->errorString())));
    const qint64 end = file->pos();
    sync_file_range(file->handle(), m_handedToDisk, end - m_handedToDisk, SYNC_FILE_RANGE_WRITE);
    m_handedToDisk = end;
#endif
}

void HtmlDocument::finish() {
    m_chunk.append(kClosing.data(), size_t(kClosing.size()));
    flush();
    if (auto* file = qobject_cast<QFileDevice*>(&m_out); file && !file->flush())
        throw Error(
            QStringLiteral("Не удалось записать файл: %1").arg(systemReason(file->errorString())));
}
