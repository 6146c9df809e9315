#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// The fuzzer's bytes cut into at most `most` pieces at 0xFF bytes, which no piece then holds.
inline QList<QByteArrayView> pieces(const uint8_t* data, size_t size, int most) {
    QList<QByteArrayView> parts;
    const auto* bytes = reinterpret_cast<const char*>(data);
    size_t start = 0;
    for (size_t i = 0; i <= size && parts.size() < most; ++i) {
        if (i == size || data[i] == 0xFF) {
            parts.append(QByteArrayView(bytes + start, qsizetype(i - start)));
            start = i + 1;
        }
    }
    return parts;
}

// The piece at `index`, empty where the bytes ran out before it.
inline QByteArrayView piece(const QList<QByteArrayView>& parts, qsizetype index) {
    return index < parts.size() ? parts[index] : QByteArrayView();
}

// A piece read as UTF-16 code units, so that every unit can occur: NUL, controls, lone
// surrogates and pairs.
inline QString utf16Text(QByteArrayView piece) {
    return QString(reinterpret_cast<const QChar*>(piece.data()), piece.size() / 2);
}
