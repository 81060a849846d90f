// Exact decimal rounding of a double in 64-bit integers: the quick way to the digits of the
// figures the program shows, the same digits the standard library's exact formatter gives.
#pragma once

#include <cstdint>
#include <optional>

namespace ionvane::calc {

/// The non-negative `magnitude` times 10^decimals, rounded to the nearest whole number with ties
/// to even, worked out exactly from the binary value (as printf rounds); nothing when the result
/// would not fit 64 bits, for NaN and infinity, or when decimals lie outside 0..18.
std::optional<std::uint64_t> ScaledRounded(double magnitude, int decimals);

} // namespace ionvane::calc
