// The capture line reader and time texts, and the Es classifier's limits.
#include "spot/band.h"
#include "spot/capture_line.h"
#include "spot/utc_time.h"
#include "tracker/es_classifier.h"

#include <gtest/gtest.h>

namespace ionvane::tracker {
namespace {

TEST(Capture, ReadsTimeAndLine) {
    const auto line =
        spot::ReadCaptureLine("2026-06-14T10:00:25Z\tDX de DK7UK: 50099.0 X  JN48 IM98");
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(line->Time, 1781431225);
    EXPECT_EQ(line->Line, "DX de DK7UK: 50099.0 X  JN48 IM98");
    // A tab inside the line stays part of it; an empty line is a line.
    EXPECT_EQ(spot::ReadCaptureLine("2026-06-14T10:00:25Z\ta\tb")->Line, "a\tb");
    EXPECT_EQ(spot::ReadCaptureLine("2026-06-14T10:00:25Z\t")->Line, "");
}

// The one writer of every source's capture lines reads back as it was received, cleaned.
TEST(Capture, WritesTimeTabAndTheCleanedLine) {
    const std::string written = spot::CaptureLine(1781431225, "DX de DK7UK:\t50099.0\a\a");
    EXPECT_EQ(written, "2026-06-14T10:00:25Z\tDX de DK7UK:\t50099.0");
    EXPECT_EQ(spot::ReadCaptureLine(written)->Line, "DX de DK7UK:\t50099.0");
}

TEST(Capture, RefusesEverythingElse) {
    const char *bad[] = {
        "",
        "2026-06-14T10:00:25Z",            // no tab
        "2026-06-14T10:00:25Z line",       // blank instead of tab
        "2026-06-14 10:00:25Z\tline",      // no T
        "2026-06-14T10:00:25\tline",       // no Z
        "2026-06-14T10:00:25+00:00\tline", // offset form
        "2026-02-29T10:00:00Z\tline",      // not a leap year
        "2026-04-31T10:00:00Z\tline",      // April has 30 days
        "2026-13-01T10:00:00Z\tline",      // month 13
        "2026-00-01T10:00:00Z\tline",      // month 0
        "2026-06-00T10:00:00Z\tline",      // day 0
        "2026-06-14T24:00:00Z\tline",      // hour 24
        "2026-06-14T10:60:00Z\tline",      // minute 60
        "2016-12-31T23:59:60Z\tline",      // a leap second has no time of its own here
        "1969-12-31T23:59:59Z\tline",      // before 1970
        "2026-06-1xT10:00:00Z\tline",      // not a digit
        "+026-06-14T10:00:00Z\tline",      // a sign is no digit
        " 2026-06-14T10:00:25Z\tline",     // a blank in front
    };
    for (const char *text : bad) {
        EXPECT_FALSE(spot::ReadCaptureLine(text).has_value()) << text;
    }
}

TEST(Capture, TimeTextsBothWays) {
    struct Case {
        const char *Text;
        std::int64_t Time;
    };
    const Case cases[] = {
        {"1970-01-01T00:00:00Z", 0},          {"2000-02-29T12:00:00Z", 951825600},
        {"2026-06-14T10:00:25Z", 1781431225}, {"2028-02-29T23:59:59Z", 1835481599},
        {"2100-03-01T00:00:00Z", 4107542400}, {"9999-12-31T23:59:59Z", 253402300799},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(spot::ReadUtcTime(c.Text), c.Time) << c.Text;
        EXPECT_EQ(spot::UtcTimeText(c.Time), c.Text) << c.Time;
    }
    // Out of range, clamped rather than written wrong.
    EXPECT_EQ(spot::UtcTimeText(-1), "1970-01-01T00:00:00Z");
    EXPECT_EQ(spot::UtcTimeText(253402300800), "9999-12-31T23:59:59Z");
}

TEST(Bands, EdgesIncluded) {
    struct Case {
        double FreqMHz;
        std::optional<spot::Band> Expected;
    };
    const Case cases[] = {{27.999, std::nullopt},  {28.0, spot::Band::M10}, {29.7, spot::Band::M10},
                          {29.701, std::nullopt},  {49.999, std::nullopt},  {50.0, spot::Band::M6},
                          {54.0, spot::Band::M6},  {70.0, spot::Band::M4},  {71.0, spot::Band::M4},
                          {71.001, std::nullopt},  {144.0, spot::Band::M2}, {148.0, spot::Band::M2},
                          {148.001, std::nullopt}, {432.2, std::nullopt}};
    for (const auto &c : cases) {
        EXPECT_EQ(spot::BandOf(c.FreqMHz), c.Expected) << c.FreqMHz;
    }
    for (const char *text : {"10m", "10M", "10"}) {
        EXPECT_EQ(spot::BandFromName(text), spot::Band::M10) << text;
    }
    EXPECT_EQ(spot::BandFromName("2M"), spot::Band::M2);
    for (const char *text : {"", "m", "3m", "20m", "6mm", "06m", " 6m", "2 m"}) {
        EXPECT_FALSE(spot::BandFromName(text).has_value()) << text;
    }
}

TEST(EsClassifier, DistanceLimitsPerBand) {
    const ClassifierSettings defaults;
    using enum Propagation;
    struct Case {
        std::optional<spot::Band> OnBand;
        Propagation Named;
        double DistanceKm;
        EsClass Expected;
    };
    const Case cases[] = {
        {spot::Band::M10, Es, 399.99, EsClass::TooShort},
        {spot::Band::M10, Es, 400, EsClass::Counted},
        {spot::Band::M6, Es, 499.99, EsClass::TooShort},
        {spot::Band::M6, Es, 500, EsClass::Counted},
        {spot::Band::M4, Es, 599.99, EsClass::TooShort},
        {spot::Band::M4, Es, 600, EsClass::Counted},
        {spot::Band::M2, Es, 899.99, EsClass::TooShort},
        {spot::Band::M2, Es, 900, EsClass::Counted},
        {spot::Band::M6, Es, 2400, EsClass::Counted},
        {spot::Band::M6, Es, 2400.01, EsClass::MultiHop},
        {spot::Band::M2, OtherMode, 1500, EsClass::OtherMode},
        {spot::Band::M2, MeteorScatter, 1500, EsClass::MeteorScatter},
        {spot::Band::M6, Aurora, 1500, EsClass::Aurora},
        {std::nullopt, Es, 1500, EsClass::OtherBand},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ClassifySpot(c.OnBand, c.Named, c.DistanceKm, defaults), c.Expected)
            << c.DistanceKm;
    }
    // The user's own limits.
    ClassifierSettings mine;
    mine.MinDistanceKm[spot::BandIndex(spot::Band::M2)] = 700;
    mine.MaxDistanceKm = 2000;
    EXPECT_EQ(ClassifySpot(spot::Band::M2, Es, 750, mine), EsClass::Counted);
    EXPECT_EQ(ClassifySpot(spot::Band::M6, Es, 2100, mine), EsClass::MultiHop);
}

TEST(EsClassifier, ModesAndReportsThatAreNotEs) {
    // The feed's mode, the reader's tag and the comment's words; calls, locators, plain reports
    // and times never count.
    using enum Propagation;
    struct Case {
        const char *Tag;
        const char *Comment;
        const char *Mode;
        Propagation Expected;
    };
    const Case cases[] = {
        {"", "", "FT8", Es},
        {"", "", "MSK144", MeteorScatter},
        {"", "", "FSK441", MeteorScatter},
        {"", "", "Q65", OtherMode},
        {"", "", "ISCAT", OtherMode},
        {"ES", "JO01MM<ES>JN75EX ms", "", MeteorScatter},
        {"", "DX de MS0ABC: 144174.0 AU2XYZ JO01MM JN75EX 59 599 tnx 1000Z", "", Es},
        {"", "5A5A 55 JO40 AU1A", "", Es},
        {"", "599A", "", Aurora},
        {"", "AURORA-E", "", Aurora},
        {"TR", "", "", OtherMode},
        {"AU", "", "", Aurora},
        {"", "jt6m", "", MeteorScatter},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(FindPropagation(c.Tag, c.Comment, c.Mode).Kind, c.Expected)
            << c.Tag << " | " << c.Comment << " | " << c.Mode;
    }
}

} // namespace
} // namespace ionvane::tracker
