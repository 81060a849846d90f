// The regional number format that every number text follows: the window and the command line fill
// it from the user's locale, the calculation core only reads it.
#pragma once

#include <string>

namespace ionvane::calc {

/// Decimals of every number the window shows with a fixed count: distances, bearings, elevations
/// and frequencies.
constexpr int ShownDecimals = 2;

/// The regional number format. Separators are UTF-8 texts (a narrow no-break space is three bytes).
struct NumberFormat {
    std::string DecimalSeparator = ".";
    std::string GroupSeparator = ",";
    /// The region's default count of decimals, which two roundings of the Es figures follow; the
    /// same as the shown decimals in every common format.
    int DefaultDecimals = ShownDecimals;
};

/// The English (United States) format: 1,234.50.
inline NumberFormat EnglishNumberFormat() {
    return NumberFormat{.DecimalSeparator = ".", .GroupSeparator = ","};
}

/// Numbers for machines rather than people: a point and no grouping (1234.5).
inline NumberFormat PlainNumberFormat() {
    return NumberFormat{.DecimalSeparator = ".", .GroupSeparator = ""};
}

} // namespace ionvane::calc
