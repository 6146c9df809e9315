// The HTML document over entries of any bytes (invalid UTF-8, NUL, markup, characters
// outside code page 1251), written to a QBuffer. Every cell read back (code page 1251, then
// &amp; &lt; &gt; and &#N;) must give the value exactly as UTF-8 decodes it, the rows must be
// the entries in order, and the document must end as it should.
#include <QBuffer>
#include <QStringDecoder>
#include <cstdio>
#include <cstdlib>

#include "fuzz_input.h"
#include "html_document.h"

namespace {

const QByteArray kCellOpen = "<th><span class=\"style4\">";
const QByteArray kCellClose = "</span></th>\r\n";

// Names the line of the broken expectation, for whoever reads the crash report.
[[noreturn]] void failAt(int line) {
    std::fprintf(stderr, "fuzz_html_document: expectation at line %d not met\n", line);
    std::abort();
}

// A cell's bytes back to text; a reference to no character or to half of a pair fails.
QString readCell(QByteArrayView bytes) {
    static QStringDecoder cp1251("windows-1251", QStringDecoder::Flag::Stateless);
    const QString text = cp1251.decode(bytes);
    QString value;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            value += text[i];
            continue;
        }
        const qsizetype end = text.indexOf(u';', i);
        if (end < 0)
            failAt(__LINE__);
        const QStringView entity = QStringView(text).mid(i + 1, end - i - 1);
        if (entity == u"amp") {
            value += u'&';
        } else if (entity == u"lt") {
            value += u'<';
        } else if (entity == u"gt") {
            value += u'>';
        } else if (entity.startsWith(u'#')) {
            bool ok = false;
            const uint code = entity.mid(1).toUInt(&ok);
            if (!ok || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000))
                failAt(__LINE__);
            value += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else {
            failAt(__LINE__);
        }
        i = end;
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const DirectoryTable& table = data[0] & 1 ? kPersonalTable : kCityTable;
    const int fields = int(table.columns.size());
    // Now and then the entries repeat, so that a document spans several chunks.
    const int repeats = (data[0] & 0x1E) == 0x1E ? 400 : 1;
    const QList<QByteArrayView> parts = pieces(data + 1, size - 1, 64 * fields);
    std::vector<std::vector<RowStore::Field>> entries;
    for (qsizetype i = 0; i < parts.size(); i += fields) {
        std::vector<RowStore::Field> entry(static_cast<size_t>(fields));
        for (int f = 0; f < fields; ++f)
            if (piece(parts, i + f) != "\xFE")  // stands for a field without a value
                entry[size_t(f)] = piece(parts, i + f);
        entries.push_back(entry);
    }

    QByteArray document;
    {
        QBuffer buffer(&document);
        buffer.open(QIODevice::WriteOnly);
        HtmlDocument html(buffer, table);
        for (int r = 0; r < repeats; ++r)
            for (const auto& entry : entries)
                html.write(entry);
        html.finish();
    }

    if (!document.startsWith("<html>\r\n") ||
        !document.endsWith("</table>\r\n</body>\r\n</html>\r\n"))
        failAt(__LINE__);
    const QByteArrayView doc(document);
    qsizetype at = doc.indexOf("</tr>\r\n") + 7;  // after the header row
    qsizetype secondStart = 0;
    for (int r = 0; r < repeats; ++r) {
        const qsizetype start = at;
        if (r >= 2) {
            // Repeats after the second are byte for byte the second.
            const qsizetype length = (at - secondStart) / (r - 1);
            if (doc.sliced(secondStart, length) != doc.sliced(start, length))
                failAt(__LINE__);
            at += length;
            continue;
        }
        if (r == 1)
            secondStart = start;
        for (qsizetype e = 0; e < entries.size(); ++e) {
            if (!doc.sliced(at).startsWith("<tr>\r\n"))
                failAt(__LINE__);
            at += 6;
            for (int f = 0; f < fields; ++f) {
                if (!doc.sliced(at).startsWith(kCellOpen))
                    failAt(__LINE__);
                at += kCellOpen.size();
                const qsizetype end = doc.indexOf(kCellClose, at);
                if (end < 0)
                    failAt(__LINE__);
                const auto& value = entries[size_t(e)][size_t(f)];
                QString expected = value ? QString::fromUtf8(*value) : QString();
                if (r == 0 && e == 0 && f < 5)
                    expected += u' ';
                if (readCell(doc.sliced(at, end - at)) != expected)
                    failAt(__LINE__);
                at = end + kCellClose.size();
            }
            if (!doc.sliced(at).startsWith("</tr>\r\n"))
                failAt(__LINE__);
            at += 7;
        }
    }
    if (doc.sliced(at) != "</table>\r\n</body>\r\n</html>\r\n")
        failAt(__LINE__);
    return 0;
}
