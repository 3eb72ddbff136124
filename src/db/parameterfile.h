#pragma once

#include "platform/error.h"

#include <QByteArray>
#include <QString>

#include <array>

/// The parameter file of a database: 23 field records of 80 bytes describing the fields (type, label,
/// column width, export tick) and a header with three one-byte flags. Every function opens the file,
/// reads or writes exactly the bytes of one value at its fixed offset and closes it again, so bytes that
/// no writer touches keep the template's content. Failures are Errors whose message names the file;
/// the callers decide what to show. Apart from the format marker, nothing read is validated.
namespace fichora::parameterfile {

inline constexpr int kFieldCount = 23;
inline constexpr qsizetype kLabelLength = 15;
inline constexpr qsizetype kFieldTypeLength = 6;
inline constexpr qsizetype kFormatMarkerLength = 12;

inline constexpr qint64 kFormatMarkerOffset = 0;
inline constexpr qint64 kReadOnlyOffset = 13;
inline constexpr qint64 kCipherOffset = 14;
inline constexpr qint64 kSavePendingOffset = 15;

/// Marker of the old 16-field layout, which cannot be opened.
inline constexpr char kOldFormatMarker[] = "Fichora V2.3";

/// The highest byte any value occupies is 1821, so a usable file is at least this long.
inline constexpr qint64 kMinimumSize = 1822;

constexpr qint64 fieldTypeOffset(int n)
{
    return 80 * n - 60;
}
constexpr qint64 labelOffset(int n)
{
    return 80 * n - 39;
}
constexpr qint64 widthOffset(int n)
{
    return 80 * n - 23;
}
constexpr qint64 exportOffset(int n)
{
    return 80 * n - 19;
}

enum class FieldType { Text, Number };

/// The six bytes written for a type: "integr" or "string".
QByteArray fieldTypeBytes(FieldType type);

/// The 15 bytes of a label in its canonical form: the label, one zero byte, spaces up to 15 bytes
/// (no zero byte for exactly 15 characters). Fails for a label longer than 15 bytes.
Result<QByteArray> canonicalLabelBytes(const QByteArray& label);

/// The label as stored: the bytes up to the first zero byte, or all 15 when there is none.
QByteArray labelFromBytes(const QByteArray& stored);

// Header.
Result<QByteArray> readFormatMarker(const QString& path);
/// True when the first 12 bytes are the old-layout marker; a shorter file is not old.
Result<bool> isOldFormat(const QString& path);

/// Flags read as set only for their own letter ('P', 'C', 'S'); any other byte, or none, is not set.
Result<bool> readReadOnly(const QString& path);
Result<bool> readCipher(const QString& path);
Result<bool> readSavePending(const QString& path);
/// Write 'P' / 'C' / 'S' when set, a space otherwise.
Result<void> writeReadOnly(const QString& path, bool set);
Result<void> writeCipher(const QString& path, bool set);
Result<void> writeSavePending(const QString& path, bool set);

struct Flags
{
    bool readOnly = false;
    bool cipher = false;
    bool savePending = false;
};
/// The three flags as three consecutive one-byte writes at 13, 14 and 15.
Result<void> writeFlags(const QString& path, const Flags& flags);

// Field records, n = 1..23; any other n fails with Code::Unsupported.
/// Number when the first type byte is 'i'; anything else (or a missing byte) is text.
Result<FieldType> readFieldType(const QString& path, int n);
Result<void> writeFieldType(const QString& path, int n, FieldType type);

/// The label bytes (Windows-1252), trailing spaces before the zero byte included.
Result<QByteArray> readLabel(const QString& path, int n);
/// The canonical 15-byte form, as the new-database and restructure windows write it.
Result<void> writeLabel(const QString& path, int n, const QByteArray& label);
/// The import form: the label and one zero byte; the rest of the 15 bytes is left as it was.
Result<void> writeImportLabel(const QString& path, int n, const QByteArray& label);

/// Signed little-endian, given as read. Fails (Code::Format) when the file ends inside the value.
Result<qint32> readWidth(const QString& path, int n);
Result<void> writeWidth(const QString& path, int n, qint32 width);
/// All 23 widths in field order, one open of the file.
Result<void> writeAllWidths(const QString& path, const std::array<qint32, kFieldCount>& widths);

/// Ticked for export only when the byte is 'E'.
Result<bool> readExport(const QString& path, int n);
/// 'E' when ticked, 'N' otherwise.
Result<void> writeExport(const QString& path, int n, bool ticked);

} // namespace fichora::parameterfile

namespace fichora {

/// Paths of one database are its data (or ciphered data) file's path with the last three characters
/// replaced, whatever they are.
QString parameterPathFor(const QString& dataPath);
QString dataPathFor(const QString& path);
QString cipheredPathFor(const QString& path);

} // namespace fichora
