#pragma once

#include <QIODevice>

#include "cp1251_batch.h"
#include "grow_buffer.h"
#include "output_entry.h"

// The shown listing as an HTML table in code page 1251, written entry by entry to `out`
// through a large buffer. Every line ends in CR LF. Values are HTML-escaped; characters the
// code page lacks become numeric character references. A failed write throws Error.
class HtmlDocument {
public:
    // Writes the head of the document: title, style and the table's header row.
    HtmlDocument(QIODevice& out, DirectoryKind kind);
    HtmlDocument(const HtmlDocument&) = delete;
    HtmlDocument& operator=(const HtmlDocument&) = delete;

    void writeEntry(const OutputEntry& entry);
    // Writes the closing lines and hands everything to the device.
    void finish();

private:
    char* putValue(char* out, QByteArrayView value);
    void writeOut();

    QIODevice& m_out;
    int m_fieldCount;
    bool m_firstEntry = true;
    GrowBuffer<char> m_buffer;
    Cp1251Batch m_values;
};
