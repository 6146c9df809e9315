#include "print_line.h"

namespace {

// Characters as a reader counts them: a surrogate pair is one.
qsizetype characterCount(QStringView text) {
    qsizetype count = text.size();
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i].isLowSurrogate() && text[i - 1].isHighSurrogate()) {
            --count;
        }
    }
    return count;
}

}  // namespace

QString printLine(const DirectoryTable& table, ListingEntry entry) {
    QString line;
    for (size_t c = 0; c < entry.size(); ++c) {
        const int width = table.columns[c].printWidth;
        if (width == kNotPrinted)
            continue;
        const QString text = entry[c] ? QString::fromUtf8(*entry[c]) : QString();
        line += text;
        // The phone is followed by two spaces whatever its length; the rest are filled out.
        if (width == kPrintedAsIs) {
            line += QLatin1String("  ");
            continue;
        }
        const qsizetype missing = width - characterCount(text);
        if (missing > 0)
            line += QString(missing, QLatin1Char(' '));
    }
    return line;
}

QStringList printPieces(const QString& line, qsizetype width) {
    if (line.isEmpty() || width < 1)
        return {line};
    QStringList pieces;
    qsizetype start = 0;
    qsizetype characters = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const bool secondHalf = i > 0 && line[i].isLowSurrogate() && line[i - 1].isHighSurrogate();
        if (secondHalf)
            continue;
        if (characters == width) {
            pieces << line.sliced(start, i - start);
            start = i;
            characters = 0;
        }
        ++characters;
    }
    pieces << line.sliced(start);
    return pieces;
}
