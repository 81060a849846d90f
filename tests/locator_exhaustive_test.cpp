// Every six-character locator there is: 18 x 18 x 10 x 10 x 24 x 24 = 18,662,400 subsquares.
#include "calc/locator.h"
#include "calc/utf8.h"

#include <cstdio>

#include <gtest/gtest.h>

namespace ionvane::calc {
namespace {

#ifdef IONVANE_SANITIZED
// The sanitizers slow each call down many times: every 61st subsquare keeps the run short.
constexpr long Stride = 61;
#else
constexpr long Stride = 1;
#endif

constexpr long AllLocators = 18L * 18 * 10 * 10 * 24 * 24;

std::u32string LocatorNumber(long n) {
    std::u32string locator(6, U' ');
    locator[5] = static_cast<char32_t>(U'A' + n % 24);
    n /= 24;
    locator[4] = static_cast<char32_t>(U'A' + n % 24);
    n /= 24;
    locator[3] = static_cast<char32_t>(U'0' + n % 10);
    n /= 10;
    locator[2] = static_cast<char32_t>(U'0' + n % 10);
    n /= 10;
    locator[1] = static_cast<char32_t>(U'A' + n % 18);
    n /= 18;
    locator[0] = static_cast<char32_t>(U'A' + n);
    return locator;
}

std::string Ascii(const std::u32string &locator) {
    return {locator.begin(), locator.end()};
}

TEST(LocatorsExhaustive, DecodingThenEncodingGivesTheSameLocator) {
    long checked = 0;
    long centreMismatches = 0;
    long onwardMismatches = 0;
    std::string firstMismatch;
    for (long n = 0; n < AllLocators; n += Stride) {
        const std::u32string locator = LocatorNumber(n);
        const std::string expected = Ascii(locator);
        const Position centre = DecodeLocator(locator);
        if (EncodeLocator(centre.LatDeg, centre.LonDeg) != expected) {
            ++centreMismatches;
            firstMismatch = firstMismatch.empty() ? expected : firstMismatch;
        }
        if (EncodeOnwardLocator(centre.LatDeg, centre.LonDeg) != expected) {
            ++onwardMismatches;
            firstMismatch = firstMismatch.empty() ? expected : firstMismatch;
        }
        ++checked;
    }
    EXPECT_EQ(centreMismatches, 0) << firstMismatch;
    EXPECT_EQ(onwardMismatches, 0) << firstMismatch;
    EXPECT_EQ(checked, (AllLocators + Stride - 1) / Stride);
    std::printf("locators checked: %ld\n", checked);
}

TEST(LocatorsExhaustive, FourCharactersDecodeAsTheirSubsquareMM) {
    long mismatches = 0;
    for (long square = 0; square < 18L * 18 * 10 * 10; ++square) {
        const std::string four = Ascii(LocatorNumber(square * 24 * 24)).substr(0, 4);
        const LocatorCheck typed = CheckLocators(four, four);
        const Position completed = DecodeLocator(Utf8ToCodePoints(four + "MM"));
        mismatches += typed.StatusCode != 0 || typed.FromLoc != four + "MM" ||
                      DecodeLocator(std::string_view(typed.FromLoc)) != completed;
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace ionvane::calc
