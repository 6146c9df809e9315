#include "phone_text.h"

QString PhoneToPattern(const QString& text) {
    QString pattern;
    for (QChar c : text) {
        if (c == u' ' || c == u'*')
            pattern += u'_';
        else if (c != u'-')
            pattern += c;
    }
    return pattern;
}

QString PhoneToDigits(const QString& text) {
    QString digits = text;
    digits.remove(u' ');
    digits.remove(u'-');
    return digits;
}
