#include "calc/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

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

TEST(TextToDouble, ReadsTheRegionalFormat) {
    EXPECT_EQ(TextToDouble("1,172.77", English), 1172.77);
    EXPECT_EQ(TextToDouble("1.172,77", German), 1172.77);
    // The home height written by a German program, read back in English and the other way.
    EXPECT_EQ(TextToDouble("0,15", English), 15.0);
    EXPECT_EQ(TextToDouble("0.15", German), 15.0);
    EXPECT_FALSE(TextToDouble("abc", English).has_value());
    EXPECT_TRUE(std::isinf(*TextToDouble("1e999", English)));
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

TEST(RoundByFormat, KeepsTheDecimalsOfTheText) {
    EXPECT_EQ(RoundByFormat(62.9634, 2, English), 62.96);
    EXPECT_EQ(RoundByFormat(1234.567, 2, German), 1234.57);
    EXPECT_EQ(RoundByFormat(-0.004, 2, English), 0.0);
}

} // namespace
} // namespace ionvane::calc
