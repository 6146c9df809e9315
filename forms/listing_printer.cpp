#include "listing_printer.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPrinter>
#include <algorithm>

#include "error.h"
#include "print_line.h"

QFont ListingPrinter::listingFont() {
    QFont font(QStringLiteral("DejaVu Sans Mono"), 10);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    return font;
}

ListingPrinter::ListingPrinter(QPrinter& printer, const DirectoryTable& table)
    : m_printer(printer), m_table(table) {
    if (!m_painter.begin(&printer)) {
        if (!printer.outputFileName().isEmpty())
            throw Error(QStringLiteral("Не удалось начать печать в файл «%1».")
                            .arg(QDir::toNativeSeparators(printer.outputFileName())));
        throw Error(QStringLiteral("Не удалось начать печать на принтере «%1».")
                        .arg(printer.printerName()));
    }
    m_painter.setFont(listingFont());
    // Metrics of the painter's device, not the screen's.
    const QFontMetrics metrics = m_painter.fontMetrics();
    m_lineHeight = metrics.lineSpacing();
    m_ascent = metrics.ascent();
    const int width = m_painter.viewport().width();
    m_charsPerLine = std::max(1, width / std::max(1, metrics.horizontalAdvance(u'0')));
}

ListingPrinter::~ListingPrinter() {
    if (m_painter.isActive())
        m_painter.end();
}

void ListingPrinter::abort() {
    m_printer.abort();
    if (m_painter.isActive())
        m_painter.end();
    // Printing to a file has no spooler to drop the job; the unfinished file goes instead.
    if (m_printer.outputFormat() == QPrinter::PdfFormat && !m_printer.outputFileName().isEmpty())
        QFile::remove(m_printer.outputFileName());
}

void ListingPrinter::printPiece(const QString& piece) {
    if (m_y > 0 && m_y + m_lineHeight > m_painter.viewport().height()) {
        if (!m_printer.newPage())
            throw Error(QStringLiteral("Не удалось начать новую страницу печати."));
        m_y = 0;
    }
    m_painter.drawText(0, m_y + m_ascent, piece);
    m_y += m_lineHeight;
}

void ListingPrinter::write(ListingEntry entry) {
    for (const QString& piece : printPieces(printLine(m_table, entry), m_charsPerLine))
        printPiece(piece);
}

void ListingPrinter::finish() {
    if (!m_painter.end())
        throw Error(QStringLiteral("Печать не завершена: принтер не принял задание."));
}
