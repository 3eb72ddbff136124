#pragma once

#include <span>
#include <string>
#include <string_view>

namespace fichora {

/// The comparison chosen for the Standard filter mode, by its item index.
enum class FilterComparison { Equals = 0, Like = 1 };

/// The filter boxes of F01..F22 in that order.
inline constexpr int kFilterBoxCount = 22;

/// One filter box as the builder sees it: its text (Windows-1252 bytes) and whether it is shown,
/// which for F03..F22 means the field is in use and the Standard mode is on.
struct FilterBox
{
    std::string_view text;
    bool visible = false;
};

/// `'text'` with every quote inside doubled, so that a name like O'Neil stays one constant.
std::string quoteFilterText(std::string_view text);

/// The Standard-mode expression: one term per box that holds text (F01 and F02 whenever they do,
/// F03..F22 only when visible), "Fnn='text'" or "Fnn like 'text'", joined by " and "; empty when no box
/// contributes. The text goes in as typed (wildcards included), only its quotes doubled. Boxes past
/// the 22nd are ignored.
std::string buildStandardFilter(std::span<const FilterBox> boxes, FilterComparison comparison);

} // namespace fichora
