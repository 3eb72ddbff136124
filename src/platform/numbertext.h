#pragma once

#include <optional>
#include <string>
#include <string_view>

/// Number fields are 8-byte reals on disk as text: a dot decimal separator, no grouping, the shortest
/// digits that read back to the same value, integers without a fraction ("-16", "51673.14999999999").
namespace fichora::numbertext {

/// The shortest text that parses back to exactly `value`.
std::string format(double value);

/// Appends format(value) to `out` without a temporary string.
void append(std::string& out, double value);

/// Reads a number written by format() or by another program ("1e300", "+3", " 2.5 "); nullopt when the
/// text is not a number. Surrounding spaces are accepted, anything else is not.
std::optional<double> parse(std::string_view text);

} // namespace fichora::numbertext
