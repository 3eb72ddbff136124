#include "platform/numbertext.h"

#include <charconv>

namespace fichora::numbertext {

void append(std::string& out, double value)
{
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

std::string format(double value)
{
    std::string text;
    append(text, value);
    return text;
}

std::optional<double> parse(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    // from_chars refuses a leading plus, which other programs do write.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace fichora::numbertext
