#pragma once

#include <QByteArray>
#include <QString>

#include "columns.h"
#include "listing_walk.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// The shown listing as an Excel workbook, streamed row by row (libxlsxwriter in
// constant-memory mode): a sheet "kalvex" with the six column widths, a bold header row and
// one row per entry, every value a text cell exactly as stored. A listing longer than a
// sheet goes on in sheets "kalvex (2)", "kalvex (3)" and so on, each with the same header.
// The constructor makes the file empty, to learn at once whether it can be written;
// finish() writes it. A workbook dropped before finish() or failing in it takes its file
// away.
class XlsxWorkbook : public ListingWriter {
public:
    // The rows a worksheet holds, header included.
    static constexpr unsigned kSheetRows = 1048576;

    // `sheetRows` lets tests see the next sheet begin without a million entries.
    XlsxWorkbook(const QString& path, const DirectoryTable& table, unsigned sheetRows = kSheetRows);
    ~XlsxWorkbook() override;
    XlsxWorkbook(const XlsxWorkbook&) = delete;
    XlsxWorkbook& operator=(const XlsxWorkbook&) = delete;

    void write(ListingEntry entry) override;
    void finish();

private:
    void start();
    void addSheet();
    void abandon();
    void check(int error, const char* doing) const;
    void writeText(unsigned row, int column, QByteArrayView text);

    QString m_path;
    const DirectoryTable& m_table;
    unsigned m_sheetRows;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    lxw_format* m_bold = nullptr;
    int m_sheets = 0;
    unsigned m_row = 0;  // the sheet's last row written
    bool m_finished = false;
    QByteArray m_text;  // the value being written, NUL-terminated for libxlsxwriter
};
