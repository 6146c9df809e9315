#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A field value on a line of the crash trials: "~" for no value, else "=" and the UTF-8
// text in base64, so that any text fits one space-separated word.
inline QByteArray encodeValue(const std::optional<QString>& value) {
    return value ? '=' + value->toUtf8().toBase64() : QByteArray("~");
}

inline std::optional<QByteArray> decodeValue(const QByteArray& word) {
    if (word == "~")
        return std::nullopt;
    return QByteArray::fromBase64(word.mid(1));
}
