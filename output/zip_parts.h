#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <cstdint>

// One entry of a zip archive as libxlsxwriter writes them: sizes in the local header (no
// data descriptor), no zip64, no comments. Kept as raw bytes, so that it can be copied
// into another archive unchanged.
struct ZipEntry {
    QByteArray name;
    QByteArray local;    // local header and compressed data
    QByteArray central;  // central directory record

    // The content, inflated.
    QByteArray content() const;
};

// The entries of such an archive, in their order; throws Error for anything else.
QList<ZipEntry> readZip(const QByteArray& archive);

// Writes an archive entry by entry, then the central directory. Every failed write throws
// Error with the device's reason.
class ZipWriter {
public:
    explicit ZipWriter(QIODevice& out) : m_out(out) {}

    void copy(const ZipEntry& entry);
    // Starts an entry named and dated like `like` with other deflated data, which the
    // caller writes next: exactly `compressed` bytes, inflating to `length` bytes.
    void begin(const ZipEntry& like, std::uint32_t crc, std::int64_t compressed,
               std::int64_t length);
    void write(QByteArrayView bytes);
    void finish();

private:
    QIODevice& m_out;
    std::int64_t m_offset = 0;
    QByteArray m_directory;
    int m_entries = 0;
};
