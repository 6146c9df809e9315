#include "cp1251_encoder.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ucnv_err.h>

#include <QString>
#include <cstdio>

#include "error.h"

namespace {

// ICU's own escape callback skips the "default ignorable" characters (U+034F, U+200B, ...)
// without a trace; here every character the code page lacks becomes its reference.
void escapeUnmappable(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t,
                      UChar32 codePoint, UConverterCallbackReason reason, UErrorCode* code) {
    if (reason > UCNV_IRREGULAR)
        return;  // reset, close, clone: nothing to write
    char reference[16];
    const int length = std::snprintf(reference, sizeof reference, "&#%d;", int(codePoint));
    *code = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, reference, length, 0, code);
}

[[noreturn]] void fail(UErrorCode code) {
    throw Error(QStringLiteral("Не удалось перевести текст в кодировку windows-1251 (%1).")
                    .arg(QString::fromLatin1(u_errorName(code))));
}

}  // namespace

Cp1251Encoder::Cp1251Encoder() {
    UErrorCode code = U_ZERO_ERROR;
    m_utf8 = ucnv_open("UTF-8", &code);
    m_cp1251 = ucnv_open("windows-1251", &code);
    ucnv_setFromUCallBack(m_cp1251, escapeUnmappable, nullptr, nullptr, nullptr, &code);
    if (U_FAILURE(code)) {
        ucnv_close(m_utf8);
        ucnv_close(m_cp1251);
        throw Error(QStringLiteral("Кодировка windows-1251 недоступна в этой системе (%1).")
                        .arg(QString::fromLatin1(u_errorName(code))));
    }
}

Cp1251Encoder::~Cp1251Encoder() {
    ucnv_close(m_utf8);
    ucnv_close(m_cp1251);
}

void Cp1251Encoder::append(QByteArrayView utf8, std::string& out) {
    // One byte per character, more only for the escapes: grown as ICU asks.
    const size_t start = out.size();
    size_t room = size_t(utf8.size()) + 16;
    const char* source = utf8.data();
    const char* const sourceEnd = source + utf8.size();
    UChar pivot[1024];
    UChar* pivotSource = pivot;
    UChar* pivotTarget = pivot;
    size_t written = 0;
    bool first = true;
    for (;;) {
        out.resize(start + room);
        char* target = out.data() + start + written;
        char* const targetEnd = out.data() + start + room;
        UErrorCode code = U_ZERO_ERROR;
        ucnv_convertEx(m_cp1251, m_utf8, &target, targetEnd, &source, sourceEnd, pivot,
                       &pivotSource, &pivotTarget, pivot + std::size(pivot), first, true, &code);
        first = false;
        written = size_t(target - (out.data() + start));
        if (code == U_BUFFER_OVERFLOW_ERROR) {
            room *= 2;
            continue;
        }
        if (U_FAILURE(code))
            fail(code);
        break;
    }
    out.resize(start + written);
}
