// Spots that tell of no Es cloud from home, as Es chasers judge them: meteor scatter and aurora by
// their mode or report, and 2 m tropo from the feed unless 6 m Es lies under it.
#include "tracker_scenario.h"

namespace ionvane::tracker {
namespace {

using namespace scenario;

// A cluster line with a comment of its own after the two locators.
std::string LineWithComment(UnixSeconds t, const PathEnds &path, double freqKHz,
                            const std::string &comment) {
    char freq[16];
    std::snprintf(freq, sizeof freq, "%.1f", freqKHz);
    return synthetic::TimeText(t) + "\tDX de DK7UK:    " + freq + "  EA7XYZ       " + path.FromLoc +
           " " + path.ToLoc + " " + comment + " 1000Z";
}

TEST(EsOrNotScenario, MeteorScatterAndAuroraOpenNothing) {
    // A Perseids night and an aurora: 4 m and 2 m spots over 1,300 km with their mode or report
    // in the comment, each skipped with its reason; no cloud, no verdict, no alarm.
    struct Case {
        double FreqKHz;
        const char *Comment;
        const char *Reason;
    };
    const Case cases[] = {
        {144360.0, "MSK144 -5", "MSK144: meteor scatter, not Es"},
        {144370.0, "msk144 pings", "msk144: meteor scatter, not Es"},
        {144370.0, "MSK-144", "tagged MSK, not Es"},
        {144370.0, "FSK441", "FSK441: meteor scatter, not Es"},
        {70200.0, "JT6M burns", "JT6M: meteor scatter, not Es"},
        {144360.0, "Perseids meteor", "tagged METEOR, not Es"},
        {70200.0, "ISCAT-B", "ISCAT-B: another mode, not Es"},
        {144150.0, "Q65-30A", "Q65-30A: another mode, not Es"},
        {144300.0, "59A", "59A: aurora, not Es"},
        {144300.0, "cq aur", "aur: aurora, not Es"},
        {70200.0, "5a", "5a: aurora, not Es"},
    };
    const Point cloud{55.0, 10.0};
    Scenario s;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const LineResult r =
            s.Feed(LineWithComment(T0 + static_cast<UnixSeconds>(i) * Minute,
                                   PathThrough(cloud, 20.0 * static_cast<double>(i), 1300),
                                   cases[i].FreqKHz, cases[i].Comment));
        EXPECT_EQ(r.What, LineResult::Kind::Skipped) << cases[i].Comment;
        EXPECT_EQ(r.Reason, cases[i].Reason);
    }
    EXPECT_TRUE(s.Events.empty());
}

TEST(EsOrNotScenario, TwoMetreTropoFromTheFeedNeedsSixMetresUnderIt) {
    // FT8 reports on 2 m of 950 to 1,250 km across the North Sea, as a tropo duct gives them: no
    // tag, so alone they are unconfirmed and place nothing. With two 6 m Es spots of 1,800 and
    // 2,000 km under the same place first, they still imply more than three times the 6 m spots'
    // critical frequency: listed as tropo, placing nothing, 2 m closed.
    const Point duct{54.0, 3.0};
    for (const bool sixMetresFirst : {false, true}) {
        Scenario s;
        if (sixMetresFirst) {
            s.Spot(T0, PathThrough(duct, 10, 1800), 50313.0);
            s.Spot(T0 + Minute, PathThrough(duct, 60, 2000), 50313.0);
        }
        for (int i = 0; i < 4; ++i) {
            const LineResult r = s.Report(T0 + (2 + i) * Minute,
                                          PathThrough(duct, 90 + 20 * i, 950 + 100 * i), 144.174);
            EXPECT_EQ(r.Class, EsClass::Unconfirmed) << i;
            EXPECT_FALSE(r.CloudId.has_value()) << i;
            EXPECT_EQ(r.Reason.find("looks like tropo") != std::string::npos, sixMetresFirst)
                << i << ": " << r.Reason;
        }
        EXPECT_EQ(s.Current().size(), sixMetresFirst ? 1U : 0U);
        EXPECT_FALSE(s.Verdict(spot::Band::M2).Possible());
        EXPECT_TRUE(AlarmsOn(s, spot::Band::M2).empty());
    }
}

} // namespace
} // namespace ionvane::tracker
