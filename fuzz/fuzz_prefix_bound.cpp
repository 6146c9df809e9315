// PrefixUpperBound on any text. Within code page 1251 the bound must lie above every text of
// a field's length that begins with the input, by the byte rule (texts of 'я' alone have
// their own rule and are left out).
#include <QStringEncoder>
#include <cstdlib>

#include "fuzz_input.h"
#include "prefix_bound.h"

namespace {

std::optional<QByteArray> cp1251(const QString& text) {
    QStringEncoder encode("windows-1251", QStringEncoder::Flag::Stateless);
    QByteArray bytes = encode.encode(text);
    if (encode.hasError())
        return std::nullopt;
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = utf16Text(QByteArrayView(data, qsizetype(size)));
    const QString bound = PrefixUpperBound(text);
    if (bound.isEmpty())
        std::abort();
    if (text.isEmpty() || text.size() > 30 || text.count(u'я') == text.size())
        return 0;
    const auto input = cp1251(text);
    const auto upper = cp1251(bound);
    if (!input || !upper)
        return 0;
    for (const QString& tail : {QString(), QString(30 - text.size(), u'я')}) {
        const QByteArray longer = *cp1251(text + tail);
        if (!(longer < *upper))
            std::abort();
    }
    return 0;
}
