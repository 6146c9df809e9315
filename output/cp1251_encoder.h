#pragma once

#include <QByteArrayView>
#include <string>

struct UConverter;

// Converts UTF-8 text to code page 1251 with ICU. A character the code page lacks becomes a
// numeric character reference ("&#8470;"), so nothing is lost in an HTML document. Bytes
// that are not UTF-8 become U+FFFD first, and so "&#65533;".
class Cp1251Encoder {
public:
    Cp1251Encoder();
    ~Cp1251Encoder();
    Cp1251Encoder(const Cp1251Encoder&) = delete;
    Cp1251Encoder& operator=(const Cp1251Encoder&) = delete;

    // Appends the converted text to `out`. Each call is a text of its own: a sequence cut at
    // its end is not carried into the next call.
    void append(QByteArrayView utf8, std::string& out);

private:
    UConverter* m_utf8 = nullptr;
    UConverter* m_cp1251 = nullptr;
};
