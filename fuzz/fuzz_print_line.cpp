// The print line of an entry of any bytes: the phone as it is, two spaces, then surname and
// street taking at least 30 characters each and house and apartment at least 5, every value
// whole and in its place.
#include <cstdlib>

#include "fuzz_input.h"
#include "print_line.h"

namespace {

// Characters as a reader counts them: a surrogate pair is one.
qsizetype characters(QStringView text) {
    return qsizetype(text.toUcs4().size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QList<QByteArrayView> parts = pieces(data, size, 6);
    std::vector<RowStore::Field> entry(std::size(kPersonalColumns));
    for (int f = 0; f < 6; ++f)
        if (piece(parts, f) != "\xFE")  // stands for a field without a value
            entry[size_t(f)] = piece(parts, f);
    const QString line = printLine(kPersonalTable, entry);

    const auto text = [&](int f) {
        return entry[size_t(f)] ? QString::fromUtf8(*entry[size_t(f)]) : QString();
    };
    QString rest = line;
    const QString phone = text(0) + QStringLiteral("  ");
    if (!rest.startsWith(phone))
        std::abort();
    rest.remove(0, phone.size());
    const int widths[] = {30, 30, 5, 5};
    for (int f = 1; f <= 4; ++f) {
        const QString value = text(f);
        if (!rest.startsWith(value))
            std::abort();
        rest.remove(0, value.size());
        // The padding: spaces up to the width, none beyond it.
        const qsizetype pad = std::max<qsizetype>(0, widths[f - 1] - characters(value));
        if (rest.left(pad) != QString(pad, u' '))
            std::abort();
        rest.remove(0, pad);
    }
    if (!rest.isEmpty())  // the mobile number is not printed
        std::abort();
    return 0;
}
