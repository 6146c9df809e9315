#pragma once

#include <QByteArrayView>
#include <array>
#include <optional>

enum class DirectoryKind { City, Personal };

// One directory entry as the builders read it: tel, fam, ul, dom, kv and, for the personal
// directory, mob; UTF-8 text exactly as stored, std::nullopt when the field holds no value.
struct OutputEntry {
    std::array<std::optional<QByteArrayView>, 6> fields;
};

// How many of the entry's fields a directory shows.
constexpr int fieldCount(DirectoryKind kind) {
    return kind == DirectoryKind::City ? 5 : 6;
}
