#include "prefix_bound.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr QChar kYa = u'я';
constexpr QChar kA = u'а';
constexpr int kLongestField = 30;

// The character that follows `c` in code page 1251; outside the code page, the next code point.
QChar nextCharacter(QChar c) {
    QStringEncoder encode("windows-1251", QStringEncoder::Flag::Stateless);
    const QByteArray byte = encode.encode(QStringView(&c, 1));
    if (!encode.hasError() && byte.size() == 1 && uchar(byte[0]) < 0xFF) {
        QStringDecoder decode("windows-1251", QStringDecoder::Flag::Stateless);
        const QString next = decode.decode(QByteArray(1, char(uchar(byte[0]) + 1)));
        if (next.size() == 1)
            return next[0];
    }
    return QChar(char16_t(c.unicode() + 1));
}

QString runOfYa(qsizetype length) {
    return QString(std::max<qsizetype>(length, 5), kYa);
}

}  // namespace

QString PrefixUpperBound(const QString& text) {
    if (text.isEmpty())
        return runOfYa(5);
    if (text.back() != kYa)
        return text.left(text.size() - 1) + nextCharacter(text.back());
    qsizetype trailing = 0;
    while (trailing < text.size() && text[text.size() - 1 - trailing] == kYa)
        ++trailing;
    if (trailing == text.size()) {
        // Only 'я's: one, two, or more than any field holds for longer runs.
        return trailing <= 2 ? runOfYa(5)
                             : runOfYa(std::max<qsizetype>(kLongestField, trailing) + 1);
    }
    const qsizetype head = text.size() - trailing;
    return text.left(head - 1) + nextCharacter(text[head - 1]) + QString(trailing, kA);
}
