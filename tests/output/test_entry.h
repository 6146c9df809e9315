#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "columns.h"
#include "row_store.h"

using Text = std::optional<QString>;

// Owns the UTF-8 bytes that a listing entry only views: tel, fam, ul, dom, kv, mob.
class TestEntry {
public:
    TestEntry() = default;
    TestEntry(Text tel, Text fam, Text ul, Text dom, Text kv, Text mob = std::nullopt) {
        const std::array<Text, 6> texts = {tel, fam, ul, dom, kv, mob};
        for (std::size_t i = 0; i < texts.size(); ++i) {
            if (texts[i]) {
                m_bytes[i] = texts[i]->toUtf8();
            }
        }
    }
    // For bytes that are not valid UTF-8.
    TestEntry& setRaw(int field, QByteArray bytes) {
        m_bytes[field] = std::move(bytes);
        return *this;
    }

    // The entry as a writer of the table gets it: the table's fields, in field order.
    std::vector<RowStore::Field> fields(const DirectoryTable& table) const {
        std::vector<RowStore::Field> fields(table.columns.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (m_bytes[i]) {
                fields[i] = QByteArrayView(*m_bytes[i]);
            }
        }
        return fields;
    }

private:
    std::array<std::optional<QByteArray>, 6> m_bytes;
};
