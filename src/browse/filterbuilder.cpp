#include "browse/filterbuilder.h"

#include <cstdio>

namespace fichora {

std::string quoteFilterText(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    for (const char c : text) {
        if (c == '\'')
            quoted += '\'';
        quoted += c;
    }
    quoted += '\'';
    return quoted;
}

std::string buildStandardFilter(std::span<const FilterBox> boxes, FilterComparison comparison)
{
    std::string expression;
    const std::size_t count = std::min(boxes.size(), static_cast<std::size_t>(kFilterBoxCount));
    for (std::size_t i = 0; i < count; ++i) {
        const FilterBox& box = boxes[i];
        // The boxes of F01 and F02 stay usable in every mode; the others count only while shown.
        if (box.text.empty() || (i >= 2 && !box.visible))
            continue;
        if (!expression.empty())
            expression += " and ";
        char name[4];
        std::snprintf(name, sizeof name, "F%02d", static_cast<int>(i + 1));
        expression += name;
        expression += comparison == FilterComparison::Like ? " like " : "=";
        expression += quoteFilterText(box.text);
    }
    return expression;
}

} // namespace fichora
