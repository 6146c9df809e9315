#pragma once

#include <QIODevice>
#include <string>

#include "columns.h"
#include "cp1251_encoder.h"
#include "listing_walk.h"

// The shown listing as an HTML table in code page 1251, written entry by entry: the head
// with the table's column headers, a row per entry, the closing lines. Every line ends in
// CR LF. Values are HTML-escaped; characters the code page lacks become numeric character
// references. The document goes to `out` in large pieces; a failed write throws Error.
class HtmlDocument : public ListingWriter {
public:
    // Starts the document with its head: title, style and the table's header row.
    HtmlDocument(QIODevice& out, const DirectoryTable& table);

    void write(ListingEntry entry) override;
    // Writes the closing lines and everything still held.
    void finish();

private:
    void appendValue(QByteArrayView value);
    void flush();

    QIODevice& m_out;
    const DirectoryTable& m_table;
    bool m_firstEntry = true;
    std::string m_chunk;    // the document's next bytes, in code page 1251
    std::string m_escaped;  // a value escaped, before it is converted
    Cp1251Encoder m_encoder;
    qint64 m_handedToDisk = 0;  // where the disk's write-back was started up to
};
