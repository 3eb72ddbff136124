#include "exifpreview.h"

#include <QFile>

#include <cstdint>

namespace fichora::exifpreview {

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kApp1 = 0xE1;

constexpr std::uint16_t kTagOrientation = 0x0112;
constexpr std::uint16_t kTagPreviewOffset = 0x0201;
constexpr std::uint16_t kTagPreviewLength = 0x0202;

constexpr std::uint16_t kTypeShort = 3;
constexpr std::uint16_t kTypeLong = 4;

constexpr qsizetype kTiffHeaderSize = 8;
constexpr qsizetype kEntrySize = 12;

/// The bytes at hand; every read is preceded by a holds() that its offset and length passed.
class Bytes
{
public:
    explicit Bytes(QByteArrayView bytes) : m_bytes(bytes) {}

    /// Whether `length` bytes starting at `offset` lie within; safe for any values.
    bool holds(std::uint64_t offset, std::uint64_t length) const
    {
        const auto total = static_cast<std::uint64_t>(m_bytes.size());
        return offset <= total && length <= total - offset;
    }
    std::uint8_t at(qsizetype offset) const { return static_cast<std::uint8_t>(m_bytes[offset]); }
    QByteArrayView slice(qsizetype offset, qsizetype length) const { return m_bytes.sliced(offset, length); }

private:
    QByteArrayView m_bytes;
};

/// The TIFF structure inside the Exif segment; offsets count from the start of its header.
class Tiff
{
public:
    struct Entry
    {
        std::uint16_t type = 0;
        std::uint32_t count = 0;
        qsizetype valueAt = 0; ///< where the four bytes of the value field start
    };

    explicit Tiff(QByteArrayView bytes) : m_bytes(bytes) {}

    /// Reads the byte order and the magic number; false when this is no TIFF header.
    bool readHeader()
    {
        if (!m_bytes.holds(0, kTiffHeaderSize))
            return false;
        if (m_bytes.at(0) == 'I' && m_bytes.at(1) == 'I')
            m_bigEndian = false;
        else if (m_bytes.at(0) == 'M' && m_bytes.at(1) == 'M')
            m_bigEndian = true;
        else
            return false;
        return *u16(2) == 42;
    }
    std::optional<std::uint32_t> firstDirectory() const { return u32(4); }

    /// Checks that the directory at `offset`, with its entries and the offset of the next one, lies
    /// within the bytes; gives the number of entries.
    std::optional<std::uint16_t> directorySize(std::uint32_t offset) const
    {
        if (offset < kTiffHeaderSize)
            return std::nullopt;
        const std::optional<std::uint16_t> count = u16(offset);
        if (!count || !m_bytes.holds(std::uint64_t{offset} + 2, std::uint64_t{*count} * kEntrySize + 4))
            return std::nullopt;
        return count;
    }
    /// The entry for `tag` in a directory already checked by directorySize().
    std::optional<Entry> find(std::uint32_t directory, std::uint16_t count, std::uint16_t tag) const
    {
        for (std::uint16_t i = 0; i < count; ++i) {
            const qsizetype at = static_cast<qsizetype>(directory) + 2 + qsizetype{i} * kEntrySize;
            if (*u16(at) == tag)
                return Entry{*u16(at + 2), *u32(at + 4), at + 8};
        }
        return std::nullopt;
    }
    /// The offset of the directory that follows one already checked by directorySize().
    std::uint32_t nextDirectory(std::uint32_t directory, std::uint16_t count) const
    {
        return *u32(static_cast<qsizetype>(directory) + 2 + qsizetype{count} * kEntrySize);
    }
    /// A single SHORT or LONG value, held in the entry itself.
    std::optional<std::uint32_t> number(const Entry& entry) const
    {
        if (entry.count != 1)
            return std::nullopt;
        if (entry.type == kTypeShort)
            return u16(entry.valueAt);
        if (entry.type == kTypeLong)
            return u32(entry.valueAt);
        return std::nullopt;
    }

    const Bytes& bytes() const { return m_bytes; }

private:
    std::optional<std::uint16_t> u16(qsizetype offset) const
    {
        if (offset < 0 || !m_bytes.holds(static_cast<std::uint64_t>(offset), 2))
            return std::nullopt;
        const unsigned a = m_bytes.at(offset);
        const unsigned b = m_bytes.at(offset + 1);
        return static_cast<std::uint16_t>(m_bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    std::optional<std::uint32_t> u32(qsizetype offset) const
    {
        const std::optional<std::uint16_t> first = u16(offset);
        const std::optional<std::uint16_t> second = u16(offset + 2);
        if (!first || !second)
            return std::nullopt;
        return m_bigEndian ? (std::uint32_t{*first} << 16) | *second : (std::uint32_t{*second} << 16) | *first;
    }

    Bytes m_bytes;
    bool m_bigEndian = false;
};

std::optional<Preview> fromTiff(QByteArrayView tiffBytes)
{
    Tiff tiff(tiffBytes);
    if (!tiff.readHeader())
        return std::nullopt;
    const std::uint32_t first = *tiff.firstDirectory();
    const std::optional<std::uint16_t> firstCount = tiff.directorySize(first);
    if (!firstCount)
        return std::nullopt;

    Preview preview;
    if (const auto entry = tiff.find(first, *firstCount, kTagOrientation); entry && entry->type == kTypeShort) {
        const std::optional<std::uint32_t> value = tiff.number(*entry);
        if (value && *value >= 1 && *value <= 8)
            preview.orientation = static_cast<int>(*value);
    }

    const std::uint32_t second = tiff.nextDirectory(first, *firstCount);
    if (second == 0 || second == first)
        return std::nullopt;
    const std::optional<std::uint16_t> secondCount = tiff.directorySize(second);
    if (!secondCount)
        return std::nullopt;
    const auto offsetEntry = tiff.find(second, *secondCount, kTagPreviewOffset);
    const auto lengthEntry = tiff.find(second, *secondCount, kTagPreviewLength);
    if (!offsetEntry || !lengthEntry)
        return std::nullopt;
    const std::optional<std::uint32_t> offset = tiff.number(*offsetEntry);
    const std::optional<std::uint32_t> length = tiff.number(*lengthEntry);
    // The preview lies after the header, within the segment, and is a JPEG file of its own.
    if (!offset || !length || *offset < kTiffHeaderSize || *length < 4 || !tiff.bytes().holds(*offset, *length))
        return std::nullopt;
    const QByteArrayView jpeg = tiff.bytes().slice(*offset, *length);
    if (static_cast<std::uint8_t>(jpeg[0]) != kMarker || static_cast<std::uint8_t>(jpeg[1]) != kStartOfImage)
        return std::nullopt;
    preview.jpeg = jpeg.toByteArray();
    return preview;
}

} // namespace

std::optional<Preview> find(QByteArrayView head)
{
    const Bytes bytes(head);
    if (!bytes.holds(0, 2) || bytes.at(0) != kMarker || bytes.at(1) != kStartOfImage)
        return std::nullopt;
    // Every turn moves on by at least one byte, and no further than the search limit.
    qsizetype at = 2;
    while (at < kSearchLimit && bytes.holds(at, 2)) {
        if (bytes.at(at) != kMarker)
            return std::nullopt;
        const std::uint8_t marker = bytes.at(at + 1);
        if (marker == kMarker) { // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == kStartOfScan || marker == kEndOfImage || marker == kStartOfImage || marker == 0)
            return std::nullopt;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) { // markers without a length
            at += 2;
            continue;
        }
        if (!bytes.holds(at + 2, 2))
            return std::nullopt;
        const qsizetype length = qsizetype{bytes.at(at + 2)} << 8 | bytes.at(at + 3);
        if (length < 2 || !bytes.holds(at + 2, length))
            return std::nullopt;
        static constexpr char kExif[] = {'E', 'x', 'i', 'f', '\0', '\0'};
        const QByteArrayView payload = bytes.slice(at + 4, length - 2);
        if (marker == kApp1 && payload.startsWith(QByteArrayView(kExif, sizeof kExif)))
            return fromTiff(payload.sliced(sizeof kExif));
        at += 2 + length;
    }
    return std::nullopt;
}

std::optional<Preview> read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Most files that are no JPEG are told by their first two bytes.
    QByteArray head = file.read(2);
    if (head.size() != 2 || static_cast<std::uint8_t>(head[0]) != kMarker ||
        static_cast<std::uint8_t>(head[1]) != kStartOfImage)
        return std::nullopt;
    head += file.read(kHeadSize - 2);
    return find(head);
}

} // namespace fichora::exifpreview
