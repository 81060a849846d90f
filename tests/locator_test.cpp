#include "calc/ascii.h"
#include "calc/locator.h"
#include "calc/utf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace ionvane::calc {
namespace {

constexpr double Tolerance = 1e-12;

struct CheckCase {
    const char *From;
    const char *To;
    int Status;
};

TEST(CheckLocators, RejectsTheFirstProblemFound) {
    const CheckCase cases[] = {
        {"", "", 1},
        {"IO9", "", 2}, // both empty tests come before the length tests
        {"IO9", "JN7", 3},
        {"IO90", "JN7", 4},
        {"IS90IR", "JN77EX", 12},
        {"IO90IY", "JN77EX", 16},
        {"IOA0IR", "JN77EX", 13},
        {"IOA0IR", "ZN77EX", 21}, // To position 1 is judged before From position 3
        {" IO90", "JN77EX", 11},
        {"IO90IR", " JN77", 21},
        {"IO90IR", "JN77E!", 26},
        {"IO90ÄR", "JN77EX", 15},
        {"IO90IR", "JN77EX", 0},
        {"IO90IR12", "JN77EX", 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CheckLocators(c.From, c.To).StatusCode, c.Status) << c.From << " / " << c.To;
    }
}

TEST(CheckLocators, CompletesBothToSixCharacters) {
    struct Case {
        const char *Typed;
        const char *Completed;
    };
    const Case cases[] = {
        {"IO90", "IO90MM"}, {"IO90I", "IO90IM"}, {"IO90IR", "IO90IR"}, {"IO90IRXY", "IO90IR"}};
    for (const auto &c : cases) {
        const LocatorCheck check = CheckLocators(c.Typed, c.Typed);
        EXPECT_EQ(check.FromLoc, c.Completed);
        EXPECT_EQ(check.ToLoc, c.Completed);
    }
}

TEST(CheckLocators, KeepsTheCompletedFormsWhenACharacterIsRejected) {
    const LocatorCheck check = CheckLocators("IO90", "JN77EZ");
    EXPECT_EQ(check.StatusCode, 26);
    EXPECT_EQ(check.FromLoc, "IO90MM");
    EXPECT_EQ(check.ToLoc, "JN77EZ");
}

// A run reads the locators as typed, upper-casing each ASCII letter as it reads it, into six
// characters held in place: the same status and the same completed characters as CheckLocators on
// the upper-cased texts, for texts of letters of both cases, digits, blanks, UTF-8 letters and
// bytes that start no character, of every length from empty to past six.
TEST(ReadLocatorPair, AgreesWithCheckLocatorsOnTheUpperCasedTexts) {
    const std::string_view pieces[] = {"A",    "i",   "o", "R",        "s",
                                       "x",    "X",   "y", "m",        "0",
                                       "9",    " ",   "!", "\xc3\xa4", "\xe2\x82\xac",
                                       "\xff", "\xc3"};
    std::mt19937 random(20261210);
    // Mostly a character valid where it stands, in either case, so that many texts pass.
    const std::string_view valid[] = {"AIORjn", "ABNRio", "0479", "0359", "AIMXex", "AIRXor"};
    const auto typed = [&] {
        std::string text;
        const auto length = random() % 9;
        for (std::size_t i = 0; i < length; ++i) {
            const std::string_view good = valid[std::min<std::size_t>(i, 5)];
            text += random() % 8 == 0 ? pieces[random() % std::size(pieces)]
                                      : good.substr(random() % good.size(), 1);
        }
        return text;
    };
    int accepted = 0;
    for (int i = 0; i < 200'000; ++i) {
        const std::string from = typed();
        const std::string to = typed();
        const LocatorPair pair = ReadLocatorPair(from, to);
        const LocatorCheck check = CheckLocators(UpperCaseAscii(from), UpperCaseAscii(to));
        ASSERT_EQ(pair.StatusCode, check.StatusCode) << from << " / " << to;
        if (check.StatusCode == 0 || check.StatusCode > 4) {
            ASSERT_EQ(pair.From.Text(), check.FromLoc) << from;
            ASSERT_EQ(pair.To.Text(), check.ToLoc) << to;
        }
        accepted += check.StatusCode == 0 ? 1 : 0;
    }
    EXPECT_GT(accepted, 1000);
}

TEST(DecodeLocator, GivesTheCentreOfTheSubsquare) {
    struct Case {
        const char32_t *Locator;
        double Lon, Lat;
    };
    const Case cases[] = {
        {U"IO90IR", -1 - 7.0 / 24, 50 + 35.0 / 48}, {U"JN77EX", 14 + 3.0 / 8, 47 + 47.0 / 48},
        {U"IO90MM", -23.0 / 24, 50 + 25.0 / 48},    {U"AA00AA", -180 + 1.0 / 24, -90 + 1.0 / 48},
        {U"RR99XX", 180 - 1.0 / 24, 90 - 1.0 / 48},
    };
    for (const auto &c : cases) {
        const auto decoded = DecodeLocator(c.Locator);
        EXPECT_NEAR(decoded.LonDeg, c.Lon, Tolerance);
        EXPECT_NEAR(decoded.LatDeg, c.Lat, Tolerance);
    }
}

TEST(DecodeLocator, FourCharactersDecodeAsSubsquareMM) {
    const LocatorCheck four = CheckLocators("IO90", "JN77EX");
    EXPECT_EQ(DecodeLocator(std::string_view(four.FromLoc)),
              DecodeLocator(std::string_view("IO90MM")));
}

TEST(EncodeLocator, WritesThePathCentre) {
    struct Case {
        double Lat, Lon;
        const char *Expected;
    };
    const Case cases[] = {
        {0, 0, "JJ00AA"},      {50 + 35.0 / 48, -1 - 7.0 / 24, "IO90IR"},
        {10, 180, "AK00AA"}, // +180 wraps to field A
        {90, -90, "ES50AA"}, // +90 gives the field letter one past R
        {-90, -180, "AA00AA"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EncodeLocator(c.Lat, c.Lon), c.Expected) << c.Lat << ", " << c.Lon;
    }
    EXPECT_EQ(EncodeLocator(std::nan(""), 3), "JJ00AA");
    EXPECT_EQ(EncodeOnwardLocator(3, std::nan("")), "JJ00AA");
}

TEST(EncodeOnwardLocator, ClampsFieldsButNotSquares) {
    struct Case {
        double Lat, Lon;
        const char *Expected;
    };
    const Case cases[] = {
        {47 + 47.0 / 48, 14 + 3.0 / 8, "JN77EX"},
        {57.40, 183.03, "RO17MJ"}, // an unnormalised longitude keeps square and subsquare
        {90, 0, "JR00AA"},         // latitude field clamped to R
        {-90, -190, "AA50AA"},     // field clamped to A, square from the unclamped value
    };
    for (const auto &c : cases) {
        EXPECT_EQ(EncodeOnwardLocator(c.Lat, c.Lon), c.Expected) << c.Lat << ", " << c.Lon;
    }
}

TEST(Utf8, CountsCharactersAndRepairsBadBytes) {
    EXPECT_EQ(Utf8ToCodePoints("IÖ9").size(), 3U);
    EXPECT_EQ(Utf8ToCodePoints("\xff\xfe"), std::u32string(U"\uFFFD\uFFFD"));
    EXPECT_EQ(CodePointsToUtf8(Utf8ToCodePoints("a€😀")), "a€😀");
    EXPECT_EQ(UpperCaseAscii("io90ä"), "IO90ä");
    EXPECT_EQ(ValidUtf8("IO\xc3"), "IO\uFFFD");
    EXPECT_EQ(ValidUtf8("J\xe2\x82\xacN"), "J€N");
}

} // namespace
} // namespace ionvane::calc
