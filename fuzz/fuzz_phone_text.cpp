// PhoneToPattern and PhoneToDigits on any text: a pattern keeps every character but the
// hyphens, with each gap (space or '*') as '_'; the digits are the text without spaces and
// hyphens.
#include <cstdlib>

#include "fuzz_input.h"
#include "phone_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = utf16Text(QByteArrayView(data, qsizetype(size)));
    const QString pattern = PhoneToPattern(text);
    const QString digits = PhoneToDigits(text);

    QString expectedPattern, expectedDigits;
    for (QChar c : text) {
        if (c != u'-')
            expectedPattern += c == u' ' || c == u'*' ? QChar(u'_') : c;
        if (c != u'-' && c != u' ')
            expectedDigits += c;
    }
    if (pattern != expectedPattern || digits != expectedDigits)
        std::abort();
    return 0;
}
