#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <string_view>

/// Windows-1252 is the encoding of every byte on disk and in the record table. Text becomes a QString
/// only at the user-interface boundary, through these two functions.
namespace fichora::cp1252 {

/// Decodes Windows-1252 bytes. The five undefined bytes (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the
/// C1 control of the same value so that decoding and encoding round-trip every byte.
QString toUnicode(std::string_view bytes);
inline QString toUnicode(const QByteArray& bytes)
{
    return toUnicode(std::string_view(bytes.constData(), bytes.size()));
}

/// Encodes to Windows-1252. A character with no Windows-1252 byte becomes `replacement`.
QByteArray fromUnicode(const QString& text, char replacement = '?');

/// The Windows-1252 byte of one Unicode code point, or -1 when it has none.
int byteOf(char32_t codePoint);

/// The Unicode code point of one Windows-1252 byte.
char32_t codePointOf(unsigned char byte);

/// Lower-case form of a Windows-1252 byte (A-Z, accented capitals, Š Œ Ž Ÿ), used for
/// case-insensitive comparisons that keep accents distinct.
unsigned char toLower(unsigned char byte);

/// The whole lower-case table, indexed by byte, for loops that fold many bytes.
const std::array<unsigned char, 256>& lowerTable();

/// Upper-case form of a Windows-1252 byte.
unsigned char toUpper(unsigned char byte);

} // namespace fichora::cp1252
