#include "parameterfile.h"

#include "platform/bytefile.h"

#include <QtEndian>

namespace fichora::parameterfile {

namespace {

Result<void> checkField(const QString& path, int n)
{
    if (n < 1 || n > kFieldCount)
        return fail(Error::Code::Unsupported, QStringLiteral("No field %1 in parameter file \"%2\"").arg(n).arg(path));
    return {};
}

Result<QByteArray> readBytes(const QString& path, qint64 offset, qint64 length)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Read);
    if (!file)
        return std::unexpected(file.error());
    return file->readAt(offset, length);
}

Result<void> writeBytes(const QString& path, qint64 offset, const QByteArray& bytes)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Write);
    if (!file)
        return std::unexpected(file.error());
    return file->writeAt(offset, bytes);
}

Result<bool> readFlag(const QString& path, qint64 offset, char letter)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Read);
    if (!file)
        return std::unexpected(file.error());
    return file->byteAt(offset) == letter;
}

QByteArray flagByte(bool set, char letter)
{
    return QByteArray(1, set ? letter : ' ');
}

QByteArray int32Bytes(qint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

} // namespace

QByteArray fieldTypeBytes(FieldType type)
{
    return type == FieldType::Number ? QByteArrayLiteral("integr") : QByteArrayLiteral("string");
}

Result<QByteArray> canonicalLabelBytes(const QByteArray& label)
{
    if (label.size() > kLabelLength)
        return fail(Error::Code::Format,
                    QStringLiteral("Label of %1 characters is longer than %2").arg(label.size()).arg(kLabelLength));
    // A 15-space buffer with a terminator, the label and its own terminator copied over its start.
    QByteArray bytes(kLabelLength, ' ');
    bytes.replace(0, label.size(), label);
    if (label.size() < kLabelLength)
        bytes[label.size()] = '\0';
    return bytes;
}

QByteArray labelFromBytes(const QByteArray& stored)
{
    const QByteArray field = stored.left(kLabelLength);
    const qsizetype end = field.indexOf('\0');
    return end < 0 ? field : field.left(end);
}

Result<QByteArray> readFormatMarker(const QString& path)
{
    return readBytes(path, kFormatMarkerOffset, kFormatMarkerLength);
}

Result<bool> isOldFormat(const QString& path)
{
    auto marker = readFormatMarker(path);
    if (!marker)
        return std::unexpected(marker.error());
    return *marker == QByteArray(kOldFormatMarker);
}

Result<bool> readReadOnly(const QString& path)
{
    return readFlag(path, kReadOnlyOffset, 'P');
}
Result<bool> readCipher(const QString& path)
{
    return readFlag(path, kCipherOffset, 'C');
}
Result<bool> readSavePending(const QString& path)
{
    return readFlag(path, kSavePendingOffset, 'S');
}

Result<void> writeReadOnly(const QString& path, bool set)
{
    return writeBytes(path, kReadOnlyOffset, flagByte(set, 'P'));
}
Result<void> writeCipher(const QString& path, bool set)
{
    return writeBytes(path, kCipherOffset, flagByte(set, 'C'));
}
Result<void> writeSavePending(const QString& path, bool set)
{
    return writeBytes(path, kSavePendingOffset, flagByte(set, 'S'));
}

Result<void> writeFlags(const QString& path, const Flags& flags)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Write);
    if (!file)
        return std::unexpected(file.error());
    // Three single-byte writes rather than one block: the reserved neighbours are never part of a write.
    if (auto r = file->writeAt(kReadOnlyOffset, flagByte(flags.readOnly, 'P')); !r)
        return r;
    if (auto r = file->writeAt(kCipherOffset, flagByte(flags.cipher, 'C')); !r)
        return r;
    return file->writeAt(kSavePendingOffset, flagByte(flags.savePending, 'S'));
}

Result<FieldType> readFieldType(const QString& path, int n)
{
    if (auto ok = checkField(path, n); !ok)
        return std::unexpected(ok.error());
    auto file = ByteFile::open(path, ByteFile::Mode::Read);
    if (!file)
        return std::unexpected(file.error());
    return file->byteAt(fieldTypeOffset(n)) == 'i' ? FieldType::Number : FieldType::Text;
}

Result<void> writeFieldType(const QString& path, int n, FieldType type)
{
    if (auto ok = checkField(path, n); !ok)
        return ok;
    return writeBytes(path, fieldTypeOffset(n), fieldTypeBytes(type));
}

Result<QByteArray> readLabel(const QString& path, int n)
{
    if (auto ok = checkField(path, n); !ok)
        return std::unexpected(ok.error());
    auto bytes = readBytes(path, labelOffset(n), kLabelLength);
    if (!bytes)
        return bytes;
    return labelFromBytes(*bytes);
}

Result<void> writeLabel(const QString& path, int n, const QByteArray& label)
{
    if (auto ok = checkField(path, n); !ok)
        return ok;
    auto bytes = canonicalLabelBytes(label);
    if (!bytes)
        return std::unexpected(bytes.error());
    return writeBytes(path, labelOffset(n), *bytes);
}

Result<void> writeImportLabel(const QString& path, int n, const QByteArray& label)
{
    if (auto ok = checkField(path, n); !ok)
        return ok;
    if (label.size() > kLabelLength)
        return fail(Error::Code::Format, QStringLiteral("Label of %1 characters is longer than %2 for file \"%3\"")
                                             .arg(label.size())
                                             .arg(kLabelLength)
                                             .arg(path));
    // The terminator of a 15-character label lands on the reserved byte after the label.
    return writeBytes(path, labelOffset(n), label + QByteArray(1, '\0'));
}

Result<qint32> readWidth(const QString& path, int n)
{
    if (auto ok = checkField(path, n); !ok)
        return std::unexpected(ok.error());
    auto bytes = readBytes(path, widthOffset(n), 4);
    if (!bytes)
        return std::unexpected(bytes.error());
    if (bytes->size() != 4)
        return fail(Error::Code::Format,
                    QStringLiteral("Read error on file \"%1\": the width of field %2 is missing").arg(path).arg(n));
    return qFromLittleEndian<qint32>(bytes->constData());
}

Result<void> writeWidth(const QString& path, int n, qint32 width)
{
    if (auto ok = checkField(path, n); !ok)
        return ok;
    return writeBytes(path, widthOffset(n), int32Bytes(width));
}

Result<void> writeAllWidths(const QString& path, const std::array<qint32, kFieldCount>& widths)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Write);
    if (!file)
        return std::unexpected(file.error());
    for (int n = 1; n <= kFieldCount; ++n) {
        if (auto r = file->writeAt(widthOffset(n), int32Bytes(widths[static_cast<size_t>(n - 1)])); !r)
            return r;
    }
    return {};
}

Result<bool> readExport(const QString& path, int n)
{
    if (auto ok = checkField(path, n); !ok)
        return std::unexpected(ok.error());
    return readFlag(path, exportOffset(n), 'E');
}

Result<void> writeExport(const QString& path, int n, bool ticked)
{
    if (auto ok = checkField(path, n); !ok)
        return ok;
    return writeBytes(path, exportOffset(n), QByteArray(1, ticked ? 'E' : 'N'));
}

} // namespace fichora::parameterfile

namespace fichora {

namespace {
QString replaceLastThree(const QString& path, QLatin1String ending)
{
    return path.chopped(qMin<qsizetype>(3, path.size())) + ending;
}
} // namespace

QString parameterPathFor(const QString& dataPath)
{
    return replaceLastThree(dataPath, QLatin1String("par"));
}
QString dataPathFor(const QString& path)
{
    return replaceLastThree(path, QLatin1String("xml"));
}
QString cipheredPathFor(const QString& path)
{
    return replaceLastThree(path, QLatin1String("cip"));
}

} // namespace fichora
