#include "generator.h"

#include "platform/datapacket.h"
#include "platform/recordtable.h"

#include <array>
#include <random>
#include <string>
#include <string_view>

namespace fichora::bench {

namespace {

// Windows-1252 bytes: \xE9 é, \xE8 è, \xEA ê, \xE7 ç, \xEF ï, \xF4 ô, \xC9 É, \x9C œ, \x92 ’.
constexpr std::array<std::string_view, 16> kFirstNames{
    "H\xE9l\xE8ne", "Fran\xE7ois", "Jos\xE9",    "Ana\xEFs",  "J\xE9r\xF4me", "C\xE9line", "No\xEBl",  "Ren\xE9",
    "\xC9milie",    "Ga\xEBtan",   "Aur\xE9lie", "Beno\xEEt", "Marie",        "Paul",      "Chlo\xE9", "Th\xE9o"};
constexpr std::array<std::string_view, 16> kSurnames{
    "Lef\xE8vre", "M\xE9nard",    "Dupr\xE9", "Besan\xE7on", "Ch\xE2telain", "Gu\xE9rin", "Lema\xEEtre", "Fa\xFF",
    "Pr\xE9vost", "B\xE9rub\xE9", "Dupont",   "Martin",      "C\xF4t\xE9",   "Hu\xE9",    "Roux",        "Leclerc"};
constexpr std::array<std::string_view, 12> kTowns{"Orl\xE9"
                                                  "ans",
                                                  "N\xEEmes",
                                                  "Besan\xE7on",
                                                  "Saint-\xC9tienne",
                                                  "Pont-l'\xC9v\xEAque",
                                                  "B\xE9ziers",
                                                  "Ch\xE2teauroux",
                                                  "Lyon",
                                                  "Paris",
                                                  "Montb\xE9liard",
                                                  "Al\xE8s",
                                                  "Cr\xE9teil"};
constexpr std::array<std::string_view, 8> kStreets{"rue de l'\xC9glise",
                                                   "avenue Foch",
                                                   "place du March\xE9",
                                                   "chemin des \xC9"
                                                   "coliers",
                                                   "boulevard Gambetta",
                                                   "all\xE9"
                                                   "e des Ch\xEAnes",
                                                   "rue Pasteur",
                                                   "impasse du Ch\xE2teau"};
// Mostly plain words, as notes are; some carry accents and characters the packet must escape.
constexpr std::array<std::string_view, 24> kWords{"le",
                                                  "la",
                                                  "de",
                                                  "rendez-vous",
                                                  "anniversaire",
                                                  "appeler",
                                                  "samedi",
                                                  "chez",
                                                  "pour",
                                                  "avec",
                                                  "photos",
                                                  "vacances",
                                                  "note",
                                                  "ami",
                                                  "r\xE9union",
                                                  "\x9C"
                                                  "uvre",
                                                  "l\x92"
                                                  "\xE9t\xE9",
                                                  "tr\xE8s",
                                                  "co\xFBt",
                                                  "fen\xEAtre",
                                                  "d\xE9j\xE0",
                                                  "<important>",
                                                  "\"cit\xE9\"",
                                                  "&"};
constexpr std::array<std::string_view, 6> kCategories{"Famille", "Amis", "Travail", "Club", "Voisins", "Ancien"};

std::string& appendNumber(std::string& out, std::size_t n)
{
    return out.append(std::to_string(n));
}

template <std::size_t N> std::string_view pick(const std::array<std::string_view, N>& list, std::mt19937& random)
{
    return list[random() % N];
}

} // namespace

Result<void> writeDatabase(const QString& path, std::size_t records, std::uint32_t seed)
{
    std::vector<FieldDef> fields;
    for (int n = 1; n <= 23; ++n) {
        char name[4];
        std::snprintf(name, sizeof name, "F%02d", n);
        const bool number = n == 5 || n == 9 || n == 14;
        fields.push_back(FieldDef{name, number, number ? 0 : (n == 22 ? 9000 : 4000)});
    }
    TableStore store;
    store.reset(fields);
    store.reserveRows(records);
    std::mt19937 random(seed);
    std::string value;
    for (std::size_t i = 0; i < records; ++i) {
        const RowId row = store.addRow();
        store.order().push_back(row);
        store.setText(row, 0, pick(kSurnames, random));
        store.setText(row, 1, pick(kFirstNames, random));
        store.setText(row, 2, pick(kTowns, random));
        value.clear();
        appendNumber(value, random() % 200 + 1).append(" ").append(pick(kStreets, random));
        store.setText(row, 3, value);
        store.setNumber(row, 4, static_cast<double>(random() % 95 + 1)); // age
        value.clear();
        appendNumber(value, 10000 + random() % 89999);
        store.setText(row, 5, value); // postal code
        char phone[32];
        const int phoneLength = std::snprintf(phone, sizeof phone, "0%lu %02lu %02lu %02lu %02lu", 1 + random() % 9,
                                              random() % 100, random() % 100, random() % 100, random() % 100);
        store.setText(row, 6, std::string_view(phone, static_cast<std::size_t>(phoneLength)));
        value.clear();
        appendNumber(value.append("contact"), i).append("@exemple.fr");
        store.setText(row, 7, value);
        store.setNumber(row, 8, static_cast<double>(random() % 1000000) / 100.0); // an amount
        value.clear();
        appendNumber(value, 1950 + random() % 70).append("-0");
        appendNumber(value, 1 + random() % 9).append("-1");
        appendNumber(value, random() % 10);
        store.setText(row, 9, value);
        store.setText(row, 10, pick(kCategories, random));
        if (random() % 3 == 0)
            store.setText(row, 11, "");
        store.setText(row, 12, random() % 2 ? "Oui" : "Non");
        if (random() % 4)
            store.setNumber(row, 13, -static_cast<double>(random() % 500));
        // F15..F21 mostly empty or null, as in real address books.
        for (int f = 14; f < 21; ++f) {
            if (random() % 8 == 0)
                store.setText(row, f, pick(kWords, random));
        }
        value.clear();
        // Usually a short note, now and then a long text.
        const int words =
            random() % 12 == 0 ? 30 + static_cast<int>(random() % 60) : 2 + static_cast<int>(random() % 8);
        for (int w = 0; w < words; ++w) {
            value += pick(kWords, random);
            value += (w % 9 == 8) ? "\r\n" : " ";
        }
        store.setText(row, 21, value);
        value.clear();
        const int pictures = static_cast<int>(random() % 4);
        for (int p = 0; p < pictures; ++p)
            appendNumber(value.append("C:\\Photos\\img"), random() % 1000).append(".jpg|");
        store.setText(row, 22, value);
    }
    return saveDataPacket(store, path);
}

} // namespace fichora::bench
