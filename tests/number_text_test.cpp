#include "calc/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <random>
#include <string>

namespace ionvane::calc {
namespace {

const NumberFormat English = EnglishNumberFormat();
const NumberFormat German{",", ".", 2};

TEST(FormatFixed, RoundsTheBinaryValueAndGroupsInThrees) {
    struct Case {
        double Value;
        int Decimals;
        const NumberFormat &Format;
        const char *Expected;
    };
    const Case cases[] = {
        {1172.7712, 2, English, "1,172.77"},
        {1234.5, 2, English, "1,234.50"},
        {2213.155, 2, German, "2.213,16"},
        {0.5, 2, English, "0.50"},
        {7, 2, English, "7.00"},
        {-1.074, 2, English, "-1.07"},
        // 0.125 is exact in binary: a tie, and the printed digit follows the exact value.
        {0.125, 2, English, "0.12"},
        // 2.675 is stored just below the half-way point.
        {2.675, 2, English, "2.67"},
        {1234567.891, 0, English, "1,234,568"},
        {999.995, 2, English, "1,000.00"},
        {100.5, 0, English, "100"},
        {101.5, 0, English, "102"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FormatFixed(c.Value, c.Decimals, c.Format), c.Expected) << c.Value;
    }
}

TEST(FormatFixed, NegativeValueRoundingToZeroHasNoSign) {
    EXPECT_EQ(FormatFixed(-0.001, 2, English), "0.00");
    EXPECT_EQ(FormatFixed(-0.0, 2, English), "0.00");
    EXPECT_EQ(FormatFixed(-0.4, 0, English), "0");
}

TEST(FormatFixed, CountsOfDecimalsOutsideTheRange) {
    EXPECT_EQ(FormatFixed(1234.5, -3, English), "1,234");
    EXPECT_EQ(FormatFixed(2.5, -1, English), "2");
    // 1e300 with 100 decimals: 301 exact integer digits, 100 zeros, nothing cut off.
    const std::string huge = FormatFixed(1e300, 100, PlainNumberFormat());
    EXPECT_EQ(huge.substr(0, 40), "1000000000000000052504760255204420248704");
    EXPECT_EQ(huge.size(), 301U + 1 + 100);
    EXPECT_EQ(huge.substr(302), std::string(100, '0'));
    EXPECT_EQ(FormatFixed(-1e300, 2, English).substr(0, 10), "-1,000,000");
    // The smallest double needs all 1074 decimals; more are not given.
    const std::string tiny = FormatFixed(5e-324, 5000, PlainNumberFormat());
    EXPECT_EQ(tiny.size(), 2U + MaxFormatDecimals);
    EXPECT_EQ(tiny.back(), '5');
}

#ifdef IONVANE_SANITIZED
constexpr int DifferentialRounds = 40'000; // the sanitizers slow each call down many times
#else
constexpr int DifferentialRounds = 300'000; // 1.2 million comparisons
#endif

// The quick integer way of FormatFixed against the standard library's exact formatter: any
// difference in rounding, carries or padding shows up here.
TEST(FormatFixed, QuickWayMatchesTheExactFormatter) {
    std::mt19937_64 random(20261207);
    long compared = 0;
    long mismatches = 0;
    std::string first;
    const auto compare = [&](double value, int decimals) {
        ++compared;
        const std::string quick = FormatFixed(value, decimals, English);
        if (quick != FormatFixedExact(value, decimals, English)) {
            ++mismatches;
            first = first.empty() ? quick + " for " + std::to_string(decimals) : first;
        }
    };
    std::uniform_real_distribution<double> usual(0, 100'000);
    std::uniform_int_distribution<int> fewDecimals(0, 4);
    std::uniform_int_distribution<int> anyDecimals(0, 20);
    for (int i = 0; i < DifferentialRounds; ++i) {
        // Any bit pattern: huge, tiny, subnormal, negative.
        const double any = std::bit_cast<double>(random());
        if (std::isfinite(any)) {
            compare(any, anyDecimals(random));
        }
        // Figures like those on screen.
        compare(usual(random), fewDecimals(random));
        // Exact halves at the last kept decimal or near it: k / 2^j.
        const auto k = static_cast<double>(random() % 2'000'000);
        compare(std::ldexp(k, -static_cast<int>(random() % 12)), fewDecimals(random));
        // Around the largest integer the quick way takes: 2^64 / 10^decimals.
        const int decimals = anyDecimals(random) % 19;
        const double edge = std::ldexp(1.0, 64) / std::pow(10.0, decimals);
        compare(edge * (1 + (static_cast<double>(random() % 2001) - 1000) * 1e-16), decimals);
    }
    EXPECT_EQ(mismatches, 0) << first;
    EXPECT_GE(compared, 3L * DifferentialRounds);
}

// The quick way writes the text backwards into a buffer of its own, separators included; every
// separator length it takes, and one past them (a longer one goes the exact way), against the
// exact formatter. The text is appended after what the string already holds.
TEST(FormatFixed, AppendedTextMatchesTheExactFormatterInEveryFormat) {
    const NumberFormat formats[] = {
        English,
        German,
        PlainNumberFormat(),
        {",", "\u202F", 2},           // a narrow no-break space: three bytes
        {"\u066B", "\U0001F600", 2},  // two and four bytes
        {".", "<sixteen bytes!>", 2}, // longer than the quick way's buffer allows for
    };
    constexpr std::size_t FormatCount = std::size(formats);
    std::mt19937_64 random(20261208);
    long compared = 0;
    long mismatches = 0;
    std::string first;
    std::size_t next = 0;
    const std::string prefix = "MUF = ";
    std::string text;
    const auto compare = [&](double value, int decimals) {
        // Every value in two formats, in turn.
        for (int k = 0; k < 2; ++k) {
            const NumberFormat &format = formats[next++ % FormatCount];
            ++compared;
            text = prefix;
            AppendFixed(text, value, decimals, format);
            const std::string exact = prefix + FormatFixedExact(value, decimals, format);
            const FixedNumber number = FormatFixedNumber(value, decimals, format);
            if (text != exact || prefix + number.Text != exact) {
                ++mismatches;
                first = first.empty() ? text + " for " + std::to_string(decimals) : first;
            }
        }
    };
    std::uniform_real_distribution<double> usual(-100'000, 100'000);
    std::uniform_int_distribution<int> fewDecimals(0, 4);
    std::uniform_int_distribution<int> anyDecimals(0, 20);
    for (int i = 0; i < DifferentialRounds; ++i) {
        const double any = std::bit_cast<double>(random());
        if (std::isfinite(any)) {
            compare(any, anyDecimals(random));
        }
        compare(usual(random), fewDecimals(random));
        const auto k = static_cast<double>(random() % 2'000'000);
        compare(-std::ldexp(k, -static_cast<int>(random() % 12)), fewDecimals(random));
        // The most digits the quick way writes: 20 before the point, or 18 after it.
        const int decimals = anyDecimals(random) % 19;
        const double edge = std::ldexp(1.0, 64) / std::pow(10.0, decimals);
        compare(edge * (1 - static_cast<double>(random() % 1000) * 1e-16), decimals);
    }
    EXPECT_EQ(mismatches, 0) << first;
    EXPECT_GE(compared, 6L * DifferentialRounds);
}

TEST(IsNumeric, FollowsTheRegionalFormat) {
    struct Case {
        const char *Text;
        bool English, German;
    };
    const Case cases[] = {
        {"50.1", true, true}, // "." groups digits in German
        {"50,1", true, true},     {" 50.1 ", true, true},   {"+144", true, true},
        {"-3", true, true},       {"1e5", true, true},      {"1E-5", true, true},
        {".5", true, false},      {"5.", true, false},      {"1,234.5", true, false},
        {"1.234,5", false, true}, {"", false, false},       {".", false, false},
        {"-", false, false},      {"+", false, false},      {"1e", false, false},
        {"5a", false, false},     {"1,,2", false, false},   {",5", false, true},
        {"1.2.3", false, true},   {"1.5,0", false, true}, // no grouping after the decimal separator
        {"1,5.0", true, false},   {"50.1\t", false, false}, {"- 5", false, false},
        {"1 000", false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsNumeric(c.Text, English), c.English) << '"' << c.Text << '"';
        EXPECT_EQ(IsNumeric(c.Text, German), c.German) << '"' << c.Text << '"';
    }
}

// In German "50." failed at the point while "50.1" passed as grouped digits; in Polish, French
// and Russian "50.1" failed outright.
TEST(IsFrequencyNumeric, TakesAPointWhereverTheRegionalSeparatorStands) {
    const NumberFormat polish{",", "\u00A0", 2};
    const NumberFormat french{",", "\u202F", 2};
    struct Case {
        const char *Text;
        bool German, Polish, French, English;
    };
    const Case cases[] = {
        {"50.1", true, true, true, true},      {"50.", true, true, true, true},
        {".5", true, true, true, true},        {"50,1", true, true, true, true},
        {"-0.5e3", true, true, true, true},    {"1.234,5", true, false, false, false},
        {"50.1,5", true, false, false, false}, {"50,1.5", false, false, false, true},
        {"5.a", false, false, false, false},   {".", false, false, false, false},
        {"50..1", false, false, false, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(IsFrequencyNumeric(c.Text, German), c.German) << '"' << c.Text << '"';
        EXPECT_EQ(IsFrequencyNumeric(c.Text, polish), c.Polish) << '"' << c.Text << '"';
        EXPECT_EQ(IsFrequencyNumeric(c.Text, french), c.French) << '"' << c.Text << '"';
        EXPECT_EQ(IsFrequencyNumeric(c.Text, English), c.English) << '"' << c.Text << '"';
    }
}

TEST(TextToDouble, ReadsTheRegionalFormat) {
    EXPECT_EQ(TextToDouble("1,172.77", English), 1172.77);
    EXPECT_EQ(TextToDouble("1.172,77", German), 1172.77);
    // The home height written by a German program, read back in English and the other way.
    EXPECT_EQ(TextToDouble("0,15", English), 15.0);
    EXPECT_EQ(TextToDouble("0.15", German), 15.0);
    EXPECT_FALSE(TextToDouble("abc", English).has_value());
    EXPECT_TRUE(std::isinf(*TextToDouble("1e999", English)));
}

TEST(TextToDouble, BeyondTheDoubleRangeGivesInfinityOrZero) {
    struct Case {
        const char *Text;
        double Expected;
    };
    const double Inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"1e999", Inf},        {"-1e999", -Inf},       {"1e99999999999999999999", Inf},
        {"0.0001e309", 1e305}, {"123456e-400", 0},     {"0.001e-325", 0},
        {"1e-400", 0},         {"-1e-400", -0.0},      {"1000e306", Inf},
        {"0.1e-322", 1e-323},  {"4.9e-324", 4.9e-324}, {"1.7e308", 1.7e308},
    };
    for (const auto &c : cases) {
        const double value = *TextToDouble(c.Text, English);
        EXPECT_EQ(value, c.Expected) << c.Text;
        EXPECT_EQ(std::signbit(value), std::signbit(c.Expected)) << c.Text;
    }
}

TEST(TextToSingle, RefusesValuesBeyondTheFloatRange) {
    EXPECT_EQ(TextToSingle("110", English), 110.0F);
    EXPECT_EQ(TextToSingle("0.15", English), 0.15F);
    EXPECT_FALSE(TextToSingle("1e39", English).has_value());
    EXPECT_FALSE(TextToSingle("", English).has_value());
}

TEST(TextToInt16, RoundsHalvesToEven) {
    struct Case {
        const char *Text;
        std::optional<std::int16_t> Expected;
    };
    const Case cases[] = {
        {"130", 130},           {"89.5", 90},
        {"130.5", 130},         {"90.5", 90},
        {"91.5", 92},           {" 5000 ", 5000},
        {"-32768", -32768},     {"32767.5", std::nullopt},
        {"abc", std::nullopt},  {"", std::nullopt},
        {"1e10", std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(TextToInt16(c.Text, English), c.Expected) << '"' << c.Text << '"';
    }
}

TEST(LeadingNumber, ReadsWithAPointWhateverTheRegion) {
    struct Case {
        const char *Text;
        double Expected;
    };
    const Case cases[] = {
        {"50.1", 50.1}, {"50,1", 50},   {"  144.3 ", 144.3}, {"-2.5", -2.5},
        {"1e3x", 1000}, {"1e", 1},      {"2E+2", 200},       {"abc", 0},
        {".5", 0.5},    {"5.000,5", 5}, {"+7", 7},           {"1.2.3", 1.2},
        {"", 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(LeadingNumber(c.Text), c.Expected) << '"' << c.Text << '"';
    }
    EXPECT_TRUE(std::isinf(LeadingNumber("1e400")));
}

TEST(FrequencyValue, TakesTheRegionalSeparatorAsAPointToo) {
    const NumberFormat german{",", ".", 2};
    const NumberFormat polish{",", "\u00A0", 2};
    const NumberFormat arabic{"\u066B", "\u066C", 2}; // a two-byte decimal separator
    struct Case {
        const char *Text;
        const NumberFormat *Format;
        double Expected;
    };
    const NumberFormat english = EnglishNumberFormat();
    const Case cases[] = {
        {"50,1", &german, 50.1},         {"50.1", &german, 50.1},      {"1.000,5", &german, 1},
        {"1,000.5", &german, 1},         {"50,", &german, 50},         {",5", &german, 0.5},
        {"144,174E1", &german, 1441.74}, {"50,313", &polish, 50.313},  {"50,1", &english, 50},
        {"50.1", &english, 50.1},        {"50\u066B1", &arabic, 50.1}, {"50,1", &arabic, 50},
        {" -2,5", &german, -2.5},        {"abc", &german, 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FrequencyValue(c.Text, *c.Format), c.Expected) << '"' << c.Text << '"';
    }
}

TEST(SingleText, GivesUpToSevenSignificantDigits) {
    struct Case {
        float Value;
        const NumberFormat &Format;
        const char *Expected;
    };
    const Case cases[] = {
        {50.1F, English, "50.1"},           {144.0F, English, "144"},   {0.15F, English, "0.15"},
        {10000000.0F, English, "1E+07"},    {50.1F, German, "50,1"},    {110.0F, German, "110"},
        {1234567.0F, English, "1234567"},   {0.001F, English, "0.001"}, {50.10F, English, "50.1"},
        {FLT_MAX, English, "3.402823E+38"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(SingleText(c.Value, c.Format), c.Expected);
    }
}

// The figures of every run are rounded the quick way in place; this must give FormattedValue's
// value to the bit (signs of zero included) for every double. Over a million values of each kind
// that matters: any bit pattern, screen-like figures, exact ties at the third decimal and near
// them, values on either side of the quick way's limit of 2^43, tiny and negative values.
TEST(ShownValue, EqualsFormattedValueToTheBit) {
    std::mt19937_64 random(20261209);
    long compared = 0;
    long mismatches = 0;
    double first = 0;
    const auto compare = [&](double value) {
        ++compared;
        if (std::bit_cast<std::uint64_t>(ShownValue(value)) !=
            std::bit_cast<std::uint64_t>(FormattedValue(value, ShownDecimals))) {
            first = mismatches++ == 0 ? value : first;
        }
    };
    std::uniform_real_distribution<double> usual(-20'000, 20'000);
    std::uniform_int_distribution<int> nearLimit(-60, 60);
    for (int i = 0; i < 3 * DifferentialRounds; ++i) {
        compare(std::bit_cast<double>(random())); // huge, tiny, subnormal, NaN, infinite
        compare(usual(random));
        // Exact ties: odd multiples of 1/8 and of 5/1000 that binary holds exactly (k * 2^-j).
        const auto k = static_cast<double>(random() % 4'000'000) - 2'000'000;
        compare(std::ldexp(k, -static_cast<int>(random() % 14)));
        // One step either side of a true decimal tie x.xx5.
        const double tie = (k + 0.5) / 100;
        compare(std::nextafter(tie, 0.0));
        compare(std::nextafter(tie, 1e300));
        // Around 2^43, where the quick way hands over, and up to 2^53.
        const double limit = std::ldexp(1.0, 43 + static_cast<int>(random() % 11));
        compare(limit + nearLimit(random) * 0.25 * (random() % 2 == 0 ? 1 : 1024));
    }
    for (const double special : {0.0, -0.0, -0.004, 0.005, 0.015, 0.025, -0.025, 1e-320,
                                 std::ldexp(1.0, -11), std::ldexp(1.0, 43), -std::ldexp(1.0, 43)}) {
        compare(special);
    }
    EXPECT_EQ(mismatches, 0) << "first at " << first;
    EXPECT_GE(compared, 18L * DifferentialRounds);
}

TEST(RoundByFormat, KeepsTheDecimalsOfTheText) {
    EXPECT_EQ(RoundByFormat(62.9634, 2, English), 62.96);
    EXPECT_EQ(RoundByFormat(1234.567, 2, German), 1234.57);
    EXPECT_EQ(RoundByFormat(-0.004, 2, English), 0.0);
}

} // namespace
} // namespace ionvane::calc
