#include "scaled_decimal.h"

#include <array>
#include <bit>
#include <cmath>

namespace ionvane::calc {

namespace {

// 10^0 to 10^18, the powers the integer quick way multiplies by.
constexpr std::array<std::uint64_t, 19> IntegerPowersOfTen = {1U,
                                                              10U,
                                                              100U,
                                                              1'000U,
                                                              10'000U,
                                                              100'000U,
                                                              1'000'000U,
                                                              10'000'000U,
                                                              100'000'000U,
                                                              1'000'000'000U,
                                                              10'000'000'000U,
                                                              100'000'000'000U,
                                                              1'000'000'000'000U,
                                                              10'000'000'000'000U,
                                                              100'000'000'000'000U,
                                                              1'000'000'000'000'000U,
                                                              10'000'000'000'000'000U,
                                                              100'000'000'000'000'000U,
                                                              1'000'000'000'000'000'000U};

// A 128-bit unsigned number as two 64-bit halves, for exact products of 64-bit numbers.
struct Wide {
    std::uint64_t Hi = 0;
    std::uint64_t Lo = 0;
    friend bool operator==(const Wide &, const Wide &) = default;
    friend bool operator<(const Wide &a, const Wide &b) {
        return a.Hi != b.Hi ? a.Hi < b.Hi : a.Lo < b.Lo;
    }
};

Wide Multiply(std::uint64_t a, std::uint64_t b) {
    constexpr std::uint64_t Low32 = 0xFFFFFFFFU;
    const std::uint64_t lowLow = (a & Low32) * (b & Low32);
    const std::uint64_t lowHigh = (a & Low32) * (b >> 32U);
    const std::uint64_t highLow = (a >> 32U) * (b & Low32);
    const std::uint64_t highHigh = (a >> 32U) * (b >> 32U);
    const std::uint64_t middle = (lowLow >> 32U) + (lowHigh & Low32) + (highLow & Low32);
    return Wide{highHigh + (lowHigh >> 32U) + (highLow >> 32U) + (middle >> 32U),
                (middle << 32U) | (lowLow & Low32)};
}

// `value` shifted right by 1..127 bits, and the bits shifted out compared with one half.
struct Shifted {
    Wide Quotient;
    int RestAgainstHalf; // -1 below one half, 0 exactly one half, 1 above
};
Shifted ShiftRight(const Wide &value, int bits) {
    Shifted out;
    Wide rest;
    Wide half;
    const auto ubits = static_cast<unsigned>(bits);
    if (bits >= 64) {
        out.Quotient = Wide{0, bits == 64 ? value.Hi : value.Hi >> (ubits - 64U)};
        rest =
            Wide{bits == 64 ? 0 : value.Hi & ((std::uint64_t{1} << (ubits - 64U)) - 1), value.Lo};
        half = bits == 64 ? Wide{0, std::uint64_t{1} << 63U}
                          : Wide{std::uint64_t{1} << (ubits - 65U), 0};
    } else {
        out.Quotient = Wide{value.Hi >> ubits, (value.Lo >> ubits) | (value.Hi << (64U - ubits))};
        rest = Wide{0, value.Lo & ((std::uint64_t{1} << ubits) - 1)};
        half = Wide{0, std::uint64_t{1} << (ubits - 1U)};
    }
    out.RestAgainstHalf = rest < half ? -1 : (rest == half ? 0 : 1);
    return out;
}

// Up to 10^3 the product of a 53-bit mantissa and the power stays below 2^63.
constexpr int MaxNarrowDecimals = 3;

// `product` / 2^bits (bits >= 1) rounded to the nearest whole number, ties to even.
std::uint64_t NarrowScaledRounded(std::uint64_t product, int bits) {
    if (bits >= 64) {
        return 0; // the product is below 2^63: below one half
    }
    const auto ubits = static_cast<unsigned>(bits);
    std::uint64_t quotient = product >> ubits;
    const std::uint64_t rest = product & ((std::uint64_t{1} << ubits) - 1);
    const std::uint64_t half = std::uint64_t{1} << (ubits - 1U);
    if (rest > half || (rest == half && (quotient & 1U) != 0)) {
        ++quotient;
    }
    return quotient;
}

} // namespace

std::optional<std::uint64_t> ScaledRounded(double magnitude, int decimals) {
    constexpr int MaxDecimals = 18; // 10^18 < 2^60, so the product stays below 2^113
    if (decimals < 0 || decimals > MaxDecimals || !(magnitude >= 0) || std::isinf(magnitude)) {
        return std::nullopt;
    }
    if (magnitude == 0) {
        return 0;
    }
    // magnitude = mantissa * 2^shift exactly, mantissa below 2^53, read off the bits.
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biased = static_cast<int>(bits >> 52U);
    constexpr std::uint64_t FractionMask = (std::uint64_t{1} << 52U) - 1;
    const std::uint64_t mantissa =
        biased == 0 ? (bits & FractionMask) : ((bits & FractionMask) | (std::uint64_t{1} << 52U));
    const int shift = (biased == 0 ? 1 : biased) - 1075;
    const std::uint64_t power = IntegerPowersOfTen[static_cast<std::size_t>(decimals)];
    if (shift < 0 && decimals <= MaxNarrowDecimals) {
        return NarrowScaledRounded(mantissa * power, -shift);
    }
    const Wide product = Multiply(mantissa, power);
    if (shift >= 0) {
        // At least 2^64 unless the product fits in 64 - shift bits.
        if (shift >= 11 || product.Hi != 0 ||
            (shift > 0 && (product.Lo >> (64U - static_cast<unsigned>(shift))) != 0)) {
            return std::nullopt;
        }
        return product.Lo << static_cast<unsigned>(shift);
    }
    if (-shift >= 114) {
        return 0; // the product is below 2^113: below one half
    }
    Shifted scaled = ShiftRight(product, -shift);
    if (scaled.RestAgainstHalf > 0 ||
        (scaled.RestAgainstHalf == 0 && (scaled.Quotient.Lo & 1U) != 0)) {
        scaled.Quotient.Lo += 1;
        scaled.Quotient.Hi += scaled.Quotient.Lo == 0 ? 1 : 0;
    }
    if (scaled.Quotient.Hi != 0) {
        return std::nullopt;
    }
    return scaled.Quotient.Lo;
}

} // namespace ionvane::calc
