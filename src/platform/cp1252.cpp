#include "cp1252.h"

#include <array>

namespace fichora::cp1252 {

namespace {

// 0x80..0x9F; undefined positions hold the C1 control of the same value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr std::array<unsigned char, 256> makeLower()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7)
            t[c] = static_cast<unsigned char>(c + 32);
    t[0x8A] = 0x9A; // Š š
    t[0x8C] = 0x9C; // Œ œ
    t[0x8E] = 0x9E; // Ž ž
    t[0x9F] = 0xFF; // Ÿ ÿ
    return t;
}

constexpr std::array<unsigned char, 256> makeUpper()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<unsigned char>(i);
    for (int c = 'a'; c <= 'z'; ++c)
        t[c] = static_cast<unsigned char>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c)
        if (c != 0xF7)
            t[c] = static_cast<unsigned char>(c - 32);
    t[0x9A] = 0x8A;
    t[0x9C] = 0x8C;
    t[0x9E] = 0x8E;
    t[0xFF] = 0x9F;
    return t;
}

constexpr auto kLower = makeLower();
constexpr auto kUpper = makeUpper();

} // namespace

char32_t codePointOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHigh[byte - 0x80];
    return byte;
}

int byteOf(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp)
            return 0x80 + i;
    return -1;
}

QString toUnicode(std::string_view bytes)
{
    QString out;
    out.resize(static_cast<qsizetype>(bytes.size()));
    QChar* d = out.data();
    for (char c : bytes)
        *d++ = QChar(static_cast<char16_t>(codePointOf(static_cast<unsigned char>(c))));
    return out;
}

QByteArray fromUnicode(const QString& text, char replacement)
{
    QByteArray out;
    out.reserve(text.size());
    for (auto it = text.cbegin(); it != text.cend(); ++it) {
        char32_t cp = it->unicode();
        if (it->isHighSurrogate() && it + 1 != text.cend() && (it + 1)->isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(*it, *(it + 1));
            ++it;
        }
        const int b = byteOf(cp);
        out.append(b < 0 ? replacement : static_cast<char>(b));
    }
    return out;
}

unsigned char toLower(unsigned char byte)
{
    return kLower[byte];
}

const std::array<unsigned char, 256>& lowerTable()
{
    return kLower;
}

unsigned char toUpper(unsigned char byte)
{
    return kUpper[byte];
}

} // namespace fichora::cp1252
