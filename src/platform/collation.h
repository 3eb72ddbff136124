#pragma once

#include <cstdint>
#include <string_view>

namespace fichora {

class RecordTable;

namespace collation {

/// Orders two Windows-1252 texts as a French dictionary does, returning <0, 0 or >0. Four levels,
/// each looked at only when the previous ones are equal:
/// 1. Letters without their accents and case, then the rest: every letter of a text is replaced by its
///    base letter (é, è, ê, ë, É → e; ç → c; ñ → n; ÿ, Ÿ, Ý → y; š → s; ž → z; ƒ → f; Ð, ð → d) and
///    the ligatures are spelt out (œ, Œ → oe; æ, Æ → ae; ß → ss; þ, Þ → th). Characters that are not
///    letters come before every letter, among themselves in byte order (so digits and spaces keep their
///    usual places). A text that is the beginning of another comes first.
/// 2. Accents, from the first character on: plain, acute, grave, circumflex, diaeresis, tilde, ring,
///    cedilla, stroke, caron, ligature, hook; so e < é < è < ê < ë and oe < œ.
/// 3. Case, from the first character on: the small letter before the capital (dupont < Dupont).
/// 4. The bytes themselves, so that only identical texts compare equal.
/// Upper and lower case are thus different keys, and a capital or accented word stands next to its
/// plain form instead of after z. Comparing allocates nothing: every level reads a 256-entry table.
int compareFrench(std::string_view a, std::string_view b);

/// The first-level weights of the first seven characters packed in one number, for a sort that keeps
/// it beside each row: when the keys of two texts differ, they order the texts as compareFrench does;
/// when they are equal, compareFrench decides. Comparing keys saves reading the texts themselves, which
/// is most of the time of a large sort.
std::uint64_t prefixKey(std::string_view text);

} // namespace collation

/// Makes the record table order its text keys by collation::compareFrench.
void installFrenchOrder(RecordTable& table);

} // namespace fichora
