#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

#include "output_entry.h"

using Text = std::optional<QString>;

// Owns the UTF-8 bytes that an OutputEntry only views.
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

    OutputEntry entry() const {
        OutputEntry entry;
        for (std::size_t i = 0; i < m_bytes.size(); ++i) {
            if (m_bytes[i]) {
                entry.fields[i] = QByteArrayView(*m_bytes[i]);
            }
        }
        return entry;
    }

private:
    std::array<std::optional<QByteArray>, 6> m_bytes;
};
