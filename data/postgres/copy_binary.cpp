#include "copy_binary.h"

#include <QtEndian>

namespace {

// The signature, with its closing NUL, then the flags and the length of a header extension
// (none).
constexpr char kSignature[] = "PGCOPY\n\377\r\n";

template <typename Number>
void put(QByteArray& out, Number value) {
    char bytes[sizeof value];
    qToBigEndian(value, bytes);
    out.append(bytes, sizeof value);
}

}  // namespace

void appendCopyHeader(QByteArray& out) {
    out.append(kSignature, sizeof kSignature);
    put(out, qint32(0));
    put(out, qint32(0));
}

void appendCopyRow(QByteArray& out, std::span<const RowStore::Field> fields) {
    put(out, qint16(fields.size()));
    for (const RowStore::Field& field : fields) {
        put(out, qint32(field ? field->size() : -1));
        if (field)
            out.append(field->data(), field->size());
    }
}

void appendCopyEnd(QByteArray& out) {
    put(out, qint16(-1));
}
