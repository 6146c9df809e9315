#pragma once

#include <QIODevice>

#include "chunk_writer.h"
#include "output_entry.h"
#include "value_decoder.h"

// The shown listing as an HTML table in code page 1251, written entry by entry. Every line
// ends in CR LF. Values are HTML-escaped; characters the code page lacks become numeric
// character references. The bytes go to `out` in large pieces from a thread of the
// document's own (see ChunkWriter), so `out` must not be touched until finish() returns or
// the document is gone. A failed write throws Error from writeEntry() or finish().
class HtmlDocument {
public:
    // Starts the document with its head: title, style and the table's header row.
    HtmlDocument(QIODevice& out, DirectoryKind kind);
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    void writeEntry(const OutputEntry& entry);
    // Writes the closing lines and returns once everything has reached the device.
    void finish();

private:
    char* putValue(HtmlChunk& chunk, char* out, QByteArrayView value);

    int m_fieldCount;
    bool m_firstEntry = true;
    ValueDecoder m_decoder;
    ChunkWriter m_writer;
};
