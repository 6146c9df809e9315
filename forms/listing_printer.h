#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

#include "columns.h"
#include "listing_walk.h"

class QPrinter;

// Prints the listing's lines on a printer in a fixed-pitch font, one after the other: a new
// page when the next line no longer fits, and a line wider than the page continued on the
// next. Constructing it starts the job; the destructor ends it in every case, so what was
// printed before a failure still goes to the printer. A cancelled job is aborted instead.
class ListingPrinter : public ListingWriter {
public:
    ListingPrinter(QPrinter& printer, const DirectoryTable& table);
    ~ListingPrinter() override;
    ListingPrinter(const ListingPrinter&) = delete;
    ListingPrinter& operator=(const ListingPrinter&) = delete;

    void write(ListingEntry entry) override;
    void finish();
    void abort();

    static QFont listingFont();

private:
    void printPiece(const QString& piece);

    QPrinter& m_printer;
    const DirectoryTable& m_table;
    QPainter m_painter;
    int m_lineHeight = 0;
    int m_ascent = 0;
    int m_charsPerLine = 0;
    int m_y = 0;
};
