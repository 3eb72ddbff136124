#include "platform/collation.h"

#include "platform/recordtable.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace fichora {

namespace {

enum Accent : std::uint8_t {
    Plain,
    Acute,
    Grave,
    Circumflex,
    Diaeresis,
    Tilde,
    Ring,
    Cedilla,
    Stroke,
    Caron,
    Ligature,
    Hook,
};

// What one byte weighs at each level. A ligature spells two letters at the first level.
struct Weights
{
    std::uint16_t primary[2] = {0, 0};
    std::uint8_t accent = Plain;
    std::uint8_t capital = 0;
};

// Letters weigh more than every other byte, which keep their byte order below them (1..256); every
// first-level weight fits in 9 bits, which prefixKey() relies on.
constexpr std::uint16_t kLetterBase = 0x101;
constexpr int kWeightBits = 9;

constexpr std::uint16_t letter(char base)
{
    return static_cast<std::uint16_t>(kLetterBase + (base - 'a'));
}

struct Letter
{
    unsigned char byte;
    char base;
    char second; // the other letter of a ligature, or 0
    Accent accent;
    bool capital;
};

// The letters of Windows-1252 outside A-Z and a-z.
constexpr Letter kAccented[] = {
    {0x83, 'f', 0, Hook, false},       {0x8A, 's', 0, Caron, true},       {0x8C, 'o', 'e', Ligature, true},
    {0x8E, 'z', 0, Caron, true},       {0x9A, 's', 0, Caron, false},      {0x9C, 'o', 'e', Ligature, false},
    {0x9E, 'z', 0, Caron, false},      {0x9F, 'y', 0, Diaeresis, true},   {0xC0, 'a', 0, Grave, true},
    {0xC1, 'a', 0, Acute, true},       {0xC2, 'a', 0, Circumflex, true},  {0xC3, 'a', 0, Tilde, true},
    {0xC4, 'a', 0, Diaeresis, true},   {0xC5, 'a', 0, Ring, true},        {0xC6, 'a', 'e', Ligature, true},
    {0xC7, 'c', 0, Cedilla, true},     {0xC8, 'e', 0, Grave, true},       {0xC9, 'e', 0, Acute, true},
    {0xCA, 'e', 0, Circumflex, true},  {0xCB, 'e', 0, Diaeresis, true},   {0xCC, 'i', 0, Grave, true},
    {0xCD, 'i', 0, Acute, true},       {0xCE, 'i', 0, Circumflex, true},  {0xCF, 'i', 0, Diaeresis, true},
    {0xD0, 'd', 0, Stroke, true},      {0xD1, 'n', 0, Tilde, true},       {0xD2, 'o', 0, Grave, true},
    {0xD3, 'o', 0, Acute, true},       {0xD4, 'o', 0, Circumflex, true},  {0xD5, 'o', 0, Tilde, true},
    {0xD6, 'o', 0, Diaeresis, true},   {0xD8, 'o', 0, Stroke, true},      {0xD9, 'u', 0, Grave, true},
    {0xDA, 'u', 0, Acute, true},       {0xDB, 'u', 0, Circumflex, true},  {0xDC, 'u', 0, Diaeresis, true},
    {0xDD, 'y', 0, Acute, true},       {0xDE, 't', 'h', Ligature, true},  {0xDF, 's', 's', Ligature, false},
    {0xE0, 'a', 0, Grave, false},      {0xE1, 'a', 0, Acute, false},      {0xE2, 'a', 0, Circumflex, false},
    {0xE3, 'a', 0, Tilde, false},      {0xE4, 'a', 0, Diaeresis, false},  {0xE5, 'a', 0, Ring, false},
    {0xE6, 'a', 'e', Ligature, false}, {0xE7, 'c', 0, Cedilla, false},    {0xE8, 'e', 0, Grave, false},
    {0xE9, 'e', 0, Acute, false},      {0xEA, 'e', 0, Circumflex, false}, {0xEB, 'e', 0, Diaeresis, false},
    {0xEC, 'i', 0, Grave, false},      {0xED, 'i', 0, Acute, false},      {0xEE, 'i', 0, Circumflex, false},
    {0xEF, 'i', 0, Diaeresis, false},  {0xF0, 'd', 0, Stroke, false},     {0xF1, 'n', 0, Tilde, false},
    {0xF2, 'o', 0, Grave, false},      {0xF3, 'o', 0, Acute, false},      {0xF4, 'o', 0, Circumflex, false},
    {0xF5, 'o', 0, Tilde, false},      {0xF6, 'o', 0, Diaeresis, false},  {0xF8, 'o', 0, Stroke, false},
    {0xF9, 'u', 0, Grave, false},      {0xFA, 'u', 0, Acute, false},      {0xFB, 'u', 0, Circumflex, false},
    {0xFC, 'u', 0, Diaeresis, false},  {0xFD, 'y', 0, Acute, false},      {0xFE, 't', 'h', Ligature, false},
    {0xFF, 'y', 0, Diaeresis, false},
};

constexpr std::array<Weights, 256> makeTable()
{
    std::array<Weights, 256> table{};
    for (int b = 0; b < 256; ++b) {
        Weights& w = table[static_cast<std::size_t>(b)];
        if (b >= 'a' && b <= 'z') {
            w.primary[0] = letter(static_cast<char>(b));
        } else if (b >= 'A' && b <= 'Z') {
            w.primary[0] = letter(static_cast<char>(b - 'A' + 'a'));
            w.capital = 1;
        } else {
            w.primary[0] = static_cast<std::uint16_t>(b + 1); // 0 is kept for the end of a text
        }
    }
    for (const Letter& l : kAccented) {
        Weights& w = table[l.byte];
        w.primary[0] = letter(l.base);
        w.primary[1] = l.second ? letter(l.second) : 0;
        w.accent = l.accent;
        w.capital = l.capital ? 1 : 0;
    }
    return table;
}

constexpr std::array<Weights, 256> kWeights = makeTable();

// Walks the first-level weights of a text, spelling ligatures out; 0 once the text is over.
class PrimaryWalk
{
public:
    explicit PrimaryWalk(std::string_view text) : m_text(text) {}

    std::uint16_t next()
    {
        if (m_at >= m_text.size())
            return 0;
        const Weights& w = kWeights[static_cast<unsigned char>(m_text[m_at])];
        if (m_second) {
            m_second = false;
            ++m_at;
            return w.primary[1];
        }
        if (w.primary[1] != 0)
            m_second = true;
        else
            ++m_at;
        return w.primary[0];
    }

private:
    std::string_view m_text;
    std::size_t m_at = 0;
    bool m_second = false;
};

int byLength(std::size_t a, std::size_t b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace

namespace collation {

int compareFrench(std::string_view a, std::string_view b)
{
    // Sort keys share long beginnings (a few towns, a few names), and a shared beginning weighs the same
    // on every level, so each level only needs to look at what follows it.
    const std::size_t shorter = std::min(a.size(), b.size());
    std::size_t same = 0;
    while (same < shorter && a[same] == b[same])
        ++same;
    if (same == shorter && a.size() == b.size())
        return 0;
    a.remove_prefix(same);
    b.remove_prefix(same);

    // Level 1. Usually decided by the first differing characters.
    const Weights& firstA = kWeights[static_cast<unsigned char>(a.empty() ? '\0' : a.front())];
    const Weights& firstB = kWeights[static_cast<unsigned char>(b.empty() ? '\0' : b.front())];
    if (!a.empty() && !b.empty() && firstA.primary[1] == 0 && firstB.primary[1] == 0 &&
        firstA.primary[0] != firstB.primary[0])
        return firstA.primary[0] < firstB.primary[0] ? -1 : 1;
    PrimaryWalk walkA(a);
    PrimaryWalk walkB(b);
    while (true) {
        const std::uint16_t x = walkA.next();
        const std::uint16_t y = walkB.next();
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            break;
    }
    const std::size_t n = std::min(a.size(), b.size());
    // Level 2: accents.
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = kWeights[static_cast<unsigned char>(a[i])].accent;
        const auto y = kWeights[static_cast<unsigned char>(b[i])].accent;
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return byLength(a.size(), b.size());
    // Level 3: case.
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = kWeights[static_cast<unsigned char>(a[i])].capital;
        const auto y = kWeights[static_cast<unsigned char>(b[i])].capital;
        if (x != y)
            return x < y ? -1 : 1;
    }
    // Level 4: bytes.
    const int c = std::memcmp(a.data(), b.data(), n);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::uint64_t prefixKey(std::string_view text)
{
    constexpr int kWeights = 64 / kWeightBits;
    PrimaryWalk walk(text);
    std::uint64_t key = 0;
    for (int i = 0; i < kWeights; ++i)
        key = (key << kWeightBits) | walk.next();
    return key;
}

} // namespace collation

void installFrenchOrder(RecordTable& table)
{
    table.setTextCompare(collation::compareFrench);
}

} // namespace fichora
