#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryFile>
#include <memory>

#include "output_entry.h"
#include "sheet_rows.h"
#include "zip_parts.h"

class DeflatePipeline;

// The shown listing as an Excel workbook with one sheet. Row 1 holds the bold headers,
// then one row per entry with every value a text cell exactly as stored. The constructor
// makes the file, to learn at once whether it can be written; finish() writes it. A sheet
// dropped before finish() or failing in it takes its file away.
//
// libxlsxwriter (in constant-memory mode) makes the workbook with the header row alone;
// the entries' rows are written the way it writes them (see SheetRows) and deflated on two
// threads as they come (see DeflatePipeline), and finish() puts the sheet together around
// them in libxlsxwriter's archive. A million rows take about a third of the time that
// libxlsxwriter, compressing on one thread at the end, would take.
class XlsxSheet {
public:
    XlsxSheet(const QString& path, DirectoryKind kind);
    ~XlsxSheet();
    XlsxSheet(const XlsxSheet&) = delete;
    XlsxSheet& operator=(const XlsxSheet&) = delete;

    void writeEntry(const OutputEntry& entry);
    void finish();

private:
    void start();
    void makeHeaderWorkbook();
    void splitSheet();
    void handOver();
    void assemble();
    void abandon();
    void check(int error) const;
    [[noreturn]] void failWriting(const QString& reason) const;

    QString m_path;
    int m_fieldCount;
    unsigned m_row = 0;
    bool m_finished = false;
    QList<ZipEntry> m_archive;  // libxlsxwriter's workbook with the header row only
    qsizetype m_sheetEntry = -1;
    QByteArray m_sheetStart;   // the sheet's XML up to the dimension's last row number
    QByteArray m_sheetMiddle;  // from after that number to the end of the header row
    QByteArray m_sheetEnd;     // from the end of the rows on
    SheetRows m_rows;
    QByteArray m_piece;         // rows not yet handed to the pipeline
    QTemporaryFile m_deflated;  // the rows, deflated
    std::unique_ptr<DeflatePipeline> m_deflate;
};
