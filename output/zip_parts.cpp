#include "zip_parts.h"

#include <zlib.h>

#include <cstring>
#include <limits>

#include "error.h"

namespace {

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr qsizetype kLocalSize = 30;
constexpr qsizetype kCentralSize = 46;
constexpr qsizetype kEndSize = 22;
constexpr std::uint16_t kDataDescriptorFlag = 1 << 3;
constexpr std::uint16_t kDeflated = 8;

[[noreturn]] void notSuchArchive(const char* what) {
    throw Error(
        QStringLiteral("непредвиденное строение архива книги (%1)").arg(QString::fromLatin1(what)));
}

std::uint32_t get(const QByteArray& bytes, qsizetype at, int size) {
    if (at < 0 || at + size > bytes.size())
        notSuchArchive("обрыв");
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

void set(QByteArray& bytes, qsizetype at, int size, std::uint64_t value) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = char(value >> (8 * i) & 0xFF);
}

// Sizes and offsets must fit the 32-bit fields: libxlsxwriter writes no zip64 either.
std::uint32_t fits(std::int64_t value) {
    if (value < 0 || value >= std::int64_t(std::numeric_limits<std::uint32_t>::max()))
        throw Error(QStringLiteral("книга больше 4 ГБ"));
    return std::uint32_t(value);
}

}  // namespace

QByteArray ZipEntry::content() const {
    const std::uint16_t method = std::uint16_t(get(local, 8, 2));
    const std::uint32_t crc = get(local, 14, 4);
    const std::uint32_t compressed = get(local, 18, 4);
    const std::uint32_t length = get(local, 22, 4);
    const qsizetype dataAt = kLocalSize + get(local, 26, 2) + get(local, 28, 2);
    if (method != kDeflated || dataAt + qsizetype(compressed) != local.size())
        notSuchArchive("способ сжатия");
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        notSuchArchive("inflateInit2");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(local.data() + dataAt));
    z.avail_in = compressed;
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = length;
    const int rc = inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (rc != Z_STREAM_END || z.avail_out != 0 ||
        crc32(0, reinterpret_cast<const Bytef*>(out.data()), length) != crc)
        notSuchArchive("содержимое");
    return out;
}

QList<ZipEntry> readZip(const QByteArray& archive) {
    const qsizetype end = archive.size() - kEndSize;
    if (end < 0 || get(archive, end, 4) != kEndSignature || get(archive, end + 20, 2) != 0)
        notSuchArchive("конец");
    const std::uint32_t count = get(archive, end + 10, 2);
    qsizetype at = get(archive, end + 16, 4);
    QList<ZipEntry> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (get(archive, at, 4) != kCentralSignature)
            notSuchArchive("каталог");
        const qsizetype centralSize = kCentralSize + get(archive, at + 28, 2) +
                                      get(archive, at + 30, 2) + get(archive, at + 32, 2);
        const qsizetype local = get(archive, at + 42, 4);
        if (get(archive, local, 4) != kLocalSignature ||
            (get(archive, local + 6, 2) & kDataDescriptorFlag))
            notSuchArchive("заголовок");
        const qsizetype localSize = kLocalSize + get(archive, local + 26, 2) +
                                    get(archive, local + 28, 2) + get(archive, local + 18, 4);
        if (local + localSize > archive.size())
            notSuchArchive("обрыв");
        ZipEntry entry;
        entry.name = archive.mid(at + kCentralSize, get(archive, at + 28, 2));
        entry.local = archive.mid(local, localSize);
        entry.central = archive.mid(at, centralSize);
        entries.append(std::move(entry));
        at += centralSize;
    }
    return entries;
}

void ZipWriter::write(QByteArrayView bytes) {
    if (m_out.write(bytes.data(), bytes.size()) != bytes.size())
        throw Error(m_out.errorString());
    m_offset += bytes.size();
}

void ZipWriter::copy(const ZipEntry& entry) {
    QByteArray central = entry.central;
    set(central, 42, 4, fits(m_offset));
    m_directory += central;
    ++m_entries;
    write(entry.local);
}

void ZipWriter::begin(const ZipEntry& like, std::uint32_t crc, std::int64_t compressed,
                      std::int64_t length) {
    const qsizetype headerSize = kLocalSize + get(like.local, 26, 2) + get(like.local, 28, 2);
    QByteArray header = like.local.left(headerSize);
    QByteArray central = like.central;
    for (QByteArray* record : {&header, &central}) {
        const qsizetype base = record == &header ? 14 : 16;
        set(*record, base, 4, crc);
        set(*record, base + 4, 4, fits(compressed));
        set(*record, base + 8, 4, fits(length));
    }
    set(central, 42, 4, fits(m_offset));
    m_directory += central;
    ++m_entries;
    write(header);
}

void ZipWriter::finish() {
    QByteArray end(kEndSize, '\0');
    set(end, 0, 4, kEndSignature);
    set(end, 8, 2, std::uint64_t(m_entries));
    set(end, 10, 2, std::uint64_t(m_entries));
    set(end, 12, 4, fits(m_directory.size()));
    set(end, 16, 4, fits(m_offset));
    write(m_directory);
    write(end);
}
