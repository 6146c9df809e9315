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

void appendPadded(QString& line, const std::optional<QByteArrayView>& value, qsizetype width) {
    const QString text = value ? QString::fromUtf8(*value) : QString();
    line += text;
    const qsizetype missing = width - characterCount(text);
    if (missing > 0) {
        line += QString(missing, QLatin1Char(' '));
    }
}

}  // namespace

QString printLine(const OutputEntry& entry) {
    const auto& fields = entry.fields;
    QString line = fields[0] ? QString::fromUtf8(*fields[0]) : QString();
    line += QLatin1String("  ");
    appendPadded(line, fields[1], 30);
    appendPadded(line, fields[2], 30);
    appendPadded(line, fields[3], 5);
    appendPadded(line, fields[4], 5);
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
