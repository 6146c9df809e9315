#pragma once

#include <QByteArray>
#include <cstdint>

#include "output_entry.h"

// The data rows of the sheet's XML exactly as libxlsxwriter writes them in constant-memory
// mode, so that a workbook made around them reads as one libxlsxwriter made whole: a row
// element only for a row with a cell; a cell only for a value that is not empty once cut at
// its first NUL (libxlsxwriter takes C strings); control characters as _xHHHH_, then & < >
// escaped; xml:space="preserve" when the escaped text begins or ends with white space.
class SheetRows {
public:
    explicit SheetRows(int columns) : m_columns(columns) {}

    // Appends row `row` (counted from 0, the header row) to `xml`. Returns 0, or the
    // lxw_error libxlsxwriter gives for such a value (too long, or a row past the last).
    int append(QByteArray& xml, std::uint32_t row, const OutputEntry& entry);

    // The last row that got a cell; 0 while there is none.
    std::uint32_t lastRow() const { return m_lastRow; }

private:
    int m_columns;
    std::uint32_t m_lastRow = 0;
};
