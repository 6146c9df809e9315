#pragma once

#include <QFont>
#include <QPainter>
#include <QString>

class QPrinter;

// Prints lines of text on a printer in a fixed-pitch font, one after the other: a new page
// when the next line no longer fits, and a line wider than the page continued on the next.
// Opening starts the job; the destructor ends it in every case, failure included.
class ListingPrinter {
public:
    explicit ListingPrinter(QPrinter& printer);
    ~ListingPrinter();
    ListingPrinter(const ListingPrinter&) = delete;
    ListingPrinter& operator=(const ListingPrinter&) = delete;

    void printLine(const QString& line);
    void finish();

    static QFont listingFont();

private:
    void printPiece(const QString& piece);

    QPrinter& m_printer;
    QPainter m_painter;
    int m_lineHeight = 0;
    int m_ascent = 0;
    int m_charsPerLine = 0;
    int m_y = 0;
};
