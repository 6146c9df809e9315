#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// The rows a data set holds, packed for a directory of a million entries: each row is one
// record in a chunked byte arena (the key, then per field a length and its UTF-8 bytes) and
// the row order is a vector of 32-bit record handles. A row costs its text plus about 13
// bytes. Sorting lays the records out anew in the new order, so that walks read in sequence.
class RowStore {
public:
    using Field = std::optional<QByteArrayView>;  // UTF-8 text, or no value

    explicit RowStore(int fieldCount);

    int fieldCount() const { return m_fieldCount; }
    int size() const { return int(m_rows.size()); }
    qint64 key(int row) const;
    Field field(int row, int column) const;            // valid until the store changes
    void fields(int row, std::span<Field> out) const;  // all of them, read in one pass
    std::optional<QString> value(int row, int column) const;

    void append(qint64 key, std::span<const Field> fields);
    void insert(int row, qint64 key, std::span<const Field> fields);
    void replace(int row, qint64 key, std::span<const Field> fields);
    void remove(int row);
    void clear();

    // Puts the rows in the given order: order[i] is the current place of the row that goes
    // to place i. The records are laid out anew in that order.
    void reorder(const std::vector<uint32_t>& order);

    size_t bytesHeld() const;

    // How many rows ahead a walk over the rows asks for their records (see prefetch).
    static constexpr int kReadAhead = 8;

    // Starts loading a row's record into the cache. Once the rows are sorted, neighbours lie
    // far apart in the arena; a walk that asks a few rows ahead hides the memory latency.
    void prefetch(int row) const {
        if (row >= 0 && row < size()) {
            const char* p = record(row);
            __builtin_prefetch(p);
            __builtin_prefetch(p + 63);  // a record may reach into the next cache line
        }
    }

private:
    char* room(size_t need);       // where a record of at most `need` bytes goes
    uint32_t commit(size_t size);  // the handle of the record just put there
    uint32_t store(qint64 key, std::span<const Field> fields);
    const char* record(int row) const;
    size_t recordSize(const char* record) const;

    static constexpr int kChunkBits = 20;  // 1 MiB chunks; a handle is chunk << 20 | offset
    int m_fieldCount;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::vector<size_t> m_chunkSizes;
    size_t m_used = 0;  // bytes used in the last chunk
    std::vector<uint32_t> m_rows;
};
