#pragma once

#include <QByteArray>
#include <QString>

#include "output_entry.h"

struct lxw_workbook;
struct lxw_worksheet;

// The shown listing as an Excel workbook with one sheet, streamed row by row (libxlsxwriter
// in constant-memory mode). Row 1 holds the bold headers, then one row per entry with
// every value a text cell exactly as stored. The constructor makes the file empty, to
// learn at once whether it can be written; finish() writes it. A sheet dropped before
// finish() or failing in it takes its file away.
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
    void abandon();
    void check(int error) const;
    void writeText(int column, QByteArrayView text);

    QString m_path;
    int m_fieldCount;
    lxw_workbook* m_workbook = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    unsigned m_row = 0;
    bool m_finished = false;
    QByteArray m_text;  // the value being written, NUL-terminated for libxlsxwriter
};
