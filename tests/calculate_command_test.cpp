#include "command/calculate_command.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>

namespace ionvane::command {
namespace {

using Ending = CalculateOutcome::Ending;

struct Window {
    calc::CalcState State;
    ScreenTexts Screen;
    calc::NumberFormat Format = calc::EnglishNumberFormat();

    explicit Window(std::string home = "IO90IR") {
        State.EsLayerHeightKm = 110.0F;
        State.HomeHeightKm = 0.15F;
        Screen.txtHomeLoc = std::move(home);
    }
    CalculateOutcome Press(const std::string &from, const std::string &to,
                           const std::string &freq) {
        return CalculateCommand(Format).Run(State, CalculateInput{from, to, freq}, Screen);
    }
};

TEST(CalculateCommand, WorkedExample) {
    Window w;
    const auto outcome = w.Press("io90ir", "JN77EX", "50.1");
    EXPECT_EQ(outcome.HowEnded, Ending::Completed);
    EXPECT_EQ(outcome.Focus, Control::txtFromLoc);
    EXPECT_EQ(w.Screen.lblAZResult, "es from IO90IR to JN77EX on 50.1mhz");
    EXPECT_EQ(w.Screen.lblAzResult2,
              "(Azimuth = 99.52)   (Elevation = 7.88deg)   (Distance = 1,172.77km)");
    EXPECT_EQ(w.Screen.lblMidPoint,
              "Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz");
    EXPECT_EQ(w.Screen.lblMUFqth, "From IO90IR try towards JN77EX");
    EXPECT_EQ(w.Screen.Title, "MUF = 62.96mhz,  try towards JN77EX");
    EXPECT_EQ(w.Screen.lblMUFqth2,
              "(Azimuth = 99.52)   (Elevation = 7.89deg)   (Distance = 1,172.77km)");
    EXPECT_EQ(w.Screen.lblFOT, "Frequency of traffic = 50.04mhz");
}

TEST(CalculateCommand, ErrorsShowMessageAndFocus) {
    struct Case {
        const char *From, *To, *Freq, *Home;
        int Status;
        const char *Line;
        Control Focus;
    };
    const Case cases[] = {
        {"", "", "abc", "IO90IR", 144, "ERROR!! No working Frequency..!!", Control::txtFreq},
        {"IO90IR", "JN77EX", "", "IO90IR", 144, "ERROR!! No working Frequency..!!",
         Control::txtFreq},
        {"IO9", "JN77EX", "50", "IO90IR", 3, "ERROR!! From Locator < 4 Characters!",
         Control::txtFromLoc},
        {"", "JN77EX", "50", "IO90IR", 1, "ERROR!! From Locator missing!", Control::txtFromLoc},
        {"IO90IR", "", "50", "IO90IR", 2, "ERROR!! To Locator missing!", Control::txtToLoc},
        {"IO90IR", "JN7", "50", "IO90IR", 4, "ERROR!! To Locator < 4 Characters!",
         Control::txtToLoc},
        {"IO90IR", "JN77Y", "50", "IO90IR", 25, "ERROR!! To Locator Character 5 invalid!",
         Control::txtToLoc},
        {"IO90IR", "JN77EX", "50", "IO90IY", 36, "ERROR!! Home Locator Character 6 invalid!",
         Control::txtHomeLoc},
        {"FE16IR", "ON13IG", "50", "IO90IR", 40, "ERROR!! From and To Locators are antipodal!",
         Control::txtToLoc},
        // Frequencies with no meaning are refused rather than shown as nan or inf.
        {"IO90IR", "JN77EX", "-50", "IO90IR", 144, "ERROR!! No working Frequency..!!",
         Control::txtFreq},
        {"IO90IR", "JN77EX", "1e39", "IO90IR", 144, "ERROR!! No working Frequency..!!",
         Control::txtFreq},
        {"IO90IR", "JN77EX", "1e999", "IO90IR", 144, "ERROR!! No working Frequency..!!",
         Control::txtFreq},
        // A frequency inside the float range whose frequency of traffic lies beyond it.
        {"IO90IR", "JN77EX", "3.4e38", "KO44QW", 144, "ERROR!! No working Frequency..!!",
         Control::txtFreq},
    };
    for (const auto &c : cases) {
        Window w(c.Home);
        w.Press("IO90IR", "JN77EX", "50.1");
        const std::string resultTitle = w.Screen.Title;
        const auto outcome = w.Press(c.From, c.To, c.Freq);
        EXPECT_EQ(outcome.HowEnded, Ending::ErrorShown);
        EXPECT_EQ(outcome.StatusShown, c.Status) << c.From << " " << c.To << " " << c.Freq;
        EXPECT_EQ(w.Screen.lblMUFqth, c.Line);
        EXPECT_EQ(outcome.Focus, c.Focus);
        EXPECT_EQ(w.State.StatusCode, 0);
        EXPECT_EQ(w.Screen.Title, resultTitle); // the error display leaves the title alone
        for (const auto *label : {&w.Screen.lblAZResult, &w.Screen.lblAzResult2,
                                  &w.Screen.lblMidPoint, &w.Screen.lblMUFqth2, &w.Screen.lblFOT}) {
            EXPECT_TRUE(label->empty());
        }
    }
}

TEST(CalculateCommand, FrequencyShownInItsShortestForm) {
    Window w;
    w.Press("IO90IR", "JN77EX", "50.10");
    EXPECT_EQ(w.Screen.lblAZResult, "es from IO90IR to JN77EX on 50.1mhz");
    w.Press("IO90", "JN77EX", " 144 ");
    EXPECT_EQ(w.Screen.lblAZResult, "es from IO90MM to JN77EX on 144mhz");
}

TEST(CalculateCommand, ZeroFrequencyChangesNothing) {
    for (const char *zero : {"0", "0.0", "-0", "1e-50"}) {
        Window w;
        w.Press("IO90IR", "JN77EX", "50.1");
        const ScreenTexts before = w.Screen;
        const auto outcome = w.Press("IO91", "JN58", zero);
        EXPECT_EQ(outcome.HowEnded, Ending::SilentStop);
        EXPECT_FALSE(outcome.Focus.has_value());
        EXPECT_EQ(w.Screen.lblAZResult, before.lblAZResult);
        EXPECT_EQ(w.Screen.Title, before.Title);
    }
}

TEST(CalculateCommand, SameSubsquareRunsToTheEnd) {
    Window w("QF00MM");
    const auto outcome = w.Press("QF00MM", "QF00", "70.46");
    EXPECT_EQ(outcome.HowEnded, Ending::Completed);
    EXPECT_EQ(w.Screen.lblAzResult2, "(Azimuth = 0)   (Elevation = 89.73deg)   (Distance = 1km)");
    EXPECT_EQ(w.Screen.lblMidPoint,
              "Centre of path = QF00MM  Critical Freq = 70.46  MUF = 389.33mhz");
    EXPECT_EQ(w.Screen.lblFOT, "Frequency of traffic = 70.46mhz");
}

TEST(CalculateCommand, ShortHomeLocatorIsCompletedAndQuotedAsTyped) {
    Window w("JN77");
    w.Press("IO90IR", "JN58TD", "50.1");
    EXPECT_EQ(w.Screen.txtHomeLoc, "JN77IO");
    EXPECT_EQ(w.Screen.lblMUFqth.substr(0, 10), "From JN77 ");
    // The home path starts from JN77IO, where the try-towards point was found from: the same run
    // with the completed locator typed gives the same geometry.
    Window typed("JN77IO");
    typed.Press("IO90IR", "JN58TD", "50.1");
    EXPECT_EQ(w.Screen.lblMUFqth2, typed.Screen.lblMUFqth2);
}

TEST(CalculateCommand, EmptyHomeUsesIO90IRForBothPasses) {
    Window empty("");
    empty.Press("IO91VL", "JN58TD", "50.1");
    Window typed("IO90IR");
    typed.Press("IO91VL", "JN58TD", "50.1");
    EXPECT_EQ(empty.Screen.txtHomeLoc, "IO90IR");
    EXPECT_EQ(empty.Screen.lblMUFqth, "From  try towards JN68JS");
    EXPECT_EQ(empty.Screen.lblMUFqth2, typed.Screen.lblMUFqth2);
    EXPECT_EQ(empty.Screen.lblFOT, typed.Screen.lblFOT);
}

TEST(CalculateCommand, BadHomeClearsTheFirstLines) {
    Window w("IO90IY");
    w.Press("IO90IR", "JN77EX", "50.1");
    EXPECT_TRUE(w.Screen.lblAZResult.empty());
    EXPECT_EQ(w.Screen.txtHomeLoc, "IO90IY");
    EXPECT_EQ(w.Screen.Title, "Ionvane by Tarkel");
}

TEST(CalculateCommand, GermanNumberFormat) {
    Window w;
    w.Format = calc::NumberFormat{",", ".", 2};
    w.Press("IO90IR", "JN77EX", "50.1");
    EXPECT_EQ(w.Screen.lblAZResult, "es from IO90IR to JN77EX on 50,1mhz");
    EXPECT_EQ(w.Screen.lblAzResult2,
              "(Azimuth = 99,52)   (Elevation = 7,88deg)   (Distance = 1.172,77km)");
    // The German decimal comma is a decimal point as well; whichever comes first counts.
    const std::pair<const char *, const char *> frequencies[] = {
        {"50,1", "es from IO90IR to JN77EX on 50,1mhz"},
        {"50,313", "es from IO90IR to JN77EX on 50,313mhz"},
        {"1.000,5", "es from IO90IR to JN77EX on 1mhz"},
    };
    for (const auto &[text, shown] : frequencies) {
        w.Press("IO90IR", "JN77EX", text);
        EXPECT_EQ(w.Screen.lblAZResult, shown) << text;
    }
    // In English the comma is only a group separator: "50,1" passes the test and reads as 50.
    w.Format = calc::EnglishNumberFormat();
    w.Press("IO90IR", "JN77EX", "50,1");
    EXPECT_EQ(w.Screen.lblAZResult, "es from IO90IR to JN77EX on 50mhz");
}

TEST(CalculateCommand, SpotFrequencyIsTakenAsANumber) {
    // Polish: decimal comma, a no-break space between groups. A spot's 50.313 never becomes text
    // in that format on its way in, and is shown in it on the way out.
    Window w;
    w.Format = calc::NumberFormat{",", "\u00A0", 2};
    calc::CalcState state;
    state.EsLayerHeightKm = 110;
    state.HomeHeightKm = 0.15F;
    ScreenTexts screen;
    screen.txtHomeLoc = "JO90";
    const auto outcome = CalculateCommand(w.Format).Run(
        state, CalculateInput{"JN48", "IL18", "50.313", 50.313}, screen);
    EXPECT_EQ(outcome.HowEnded, CalculateOutcome::Ending::Completed);
    EXPECT_EQ(screen.lblAZResult, "es from JN48MM to IL18MM on 50,313mhz");
}

} // namespace
} // namespace ionvane::command

namespace ionvane::command {
namespace {

// The run without texts must give the same outcome and figures as the run with them, to the bit:
// the tracker takes its figures from the one, reports show the other.
void ExpectSameOutcome(const CalculateOutcome &withTexts, const CalculateOutcome &without,
                       const ScreenTexts &screen, const std::string &what) {
    ASSERT_EQ(withTexts.HowEnded, without.HowEnded) << what;
    EXPECT_EQ(withTexts.StatusShown, without.StatusShown) << what;
    EXPECT_EQ(withTexts.MessageShown, without.MessageShown) << what;
    EXPECT_EQ(withTexts.Focus, without.Focus) << what;
    ASSERT_EQ(withTexts.Figures.has_value(), without.Figures.has_value()) << what;
    if (!withTexts.Figures) {
        return;
    }
    const CalculateFigures &a = *withTexts.Figures;
    const CalculateFigures &b = *without.Figures;
    const double pairs[][2] = {
        {a.DistanceKm, b.DistanceKm},
        {a.AzimuthDeg, b.AzimuthDeg},
        {a.ElevationDeg, b.ElevationDeg},
        {a.CriticalFreqMHz, b.CriticalFreqMHz},
        {a.PathMufMHz, b.PathMufMHz},
        {a.CentreLatDeg, b.CentreLatDeg},
        {a.CentreLonDeg, b.CentreLonDeg},
        {a.HomeDistanceKm, b.HomeDistanceKm},
        {a.HomeAzimuthDeg, b.HomeAzimuthDeg},
        {a.HomeElevationDeg, b.HomeElevationDeg},
        {static_cast<double>(a.TrafficFreqMHz), static_cast<double>(b.TrafficFreqMHz)}};
    for (const auto &pair : pairs) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(pair[0]), std::bit_cast<std::uint64_t>(pair[1]))
            << what << ": " << pair[0] << " against " << pair[1];
    }
    EXPECT_EQ(a.CentreLoc, b.CentreLoc) << what;
    EXPECT_EQ(a.TowardsLoc, b.TowardsLoc) << what;
    EXPECT_EQ(a.HomeLoc, b.HomeLoc) << what;
    EXPECT_EQ(b.HomeLoc, screen.txtHomeLoc) << what;
}

TEST(CalculateCommand, WorkedExampleWithoutTexts) {
    Window w;
    calc::CalcState state = w.State;
    const auto outcome = CalculateCommand(w.Format).RunWithoutTexts(
        state, CalculateInput{"io90ir", "JN77EX", "50.1"}, "IO90IR");
    ASSERT_TRUE(outcome.Figures);
    EXPECT_EQ(outcome.Figures->DistanceKm, 1172.77);
    EXPECT_EQ(outcome.Figures->HomeElevationDeg, 7.89);
    EXPECT_EQ(outcome.Figures->TrafficFreqMHz, 50.04F);
    EXPECT_EQ(outcome.Figures->CentreLoc, "JN39JO");
    EXPECT_EQ(outcome.Figures->HomeLoc, "IO90IR");
}

#ifdef IONVANE_SANITIZED
constexpr int RandomRuns = 10'000; // the sanitizers slow each run down many times
#else
constexpr int RandomRuns = 200'000;
#endif

// Random locators (mostly valid, some with a bad character or too short), frequencies, homes,
// layer heights and formats: every run without texts against the run with them.
TEST(CalculateCommand, RunWithoutTextsGivesTheFiguresOfTheRunWithTexts) {
    std::mt19937_64 random(20261209);
    const calc::NumberFormat formats[] = {
        calc::EnglishNumberFormat(), calc::PlainNumberFormat(), {",", ".", 2}, {",", "\u202F", 3}};
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto locator = [&](int length) {
        std::string loc;
        const char firsts[] = {'A', 'A', '0', '0', 'A', 'A'};
        const int ranges[] = {18, 18, 10, 10, 24, 24};
        for (int i = 0; i < length; ++i) {
            // One character in fifty from past the range: a rejected locator.
            const int range = pick(50) == 0 ? 30 : ranges[i];
            loc += static_cast<char>(firsts[i] + pick(range));
        }
        return loc;
    };
    const auto anyLength = [&] { return pick(10) == 0 ? pick(4) : 4 + 2 * pick(2); };
    const char *const freqs[] = {"50.1", "144.174", "28.885", "70.2", "0", "abc", "1e39", "50,1"};
    int completed = 0;
    for (int i = 0; i < RandomRuns; ++i) {
        const calc::NumberFormat &format = formats[i % std::size(formats)];
        calc::CalcState state;
        state.EsLayerHeightKm = static_cast<float>(90 + pick(41));
        state.HomeHeightKm = static_cast<float>(1 + pick(5000)) * 0.001F;
        const CalculateInput input{locator(anyLength()), locator(anyLength()),
                                   freqs[static_cast<std::size_t>(pick(std::size(freqs)))]};
        ScreenTexts screen;
        // Mostly whole homes; one in five of any length up to six (empty, completed, rejected).
        screen.txtHomeLoc = locator(pick(5) == 0 ? pick(7) : 6);
        const std::string homeTyped = screen.txtHomeLoc;
        calc::CalcState stateWithout = state;
        const CalculateCommand command(format);
        const auto withTexts = command.Run(state, input, screen);
        const auto without = command.RunWithoutTexts(stateWithout, input, homeTyped);
        completed += withTexts.Figures ? 1 : 0;
        ExpectSameOutcome(withTexts, without, screen,
                          input.txtFromLoc + " " + input.txtToLoc + " " + input.txtFreq + " " +
                              homeTyped);
        if (HasFailure()) {
            return;
        }
    }
    // A third of the runs complete (the rest stop at bad locators, short homes or frequencies), so
    // the figures are compared, not only the errors.
    EXPECT_GT(completed, RandomRuns / 4);
}

TEST(StatusTable, EveryCodeAndNoOther) {
    struct Case {
        std::int16_t Code;
        const char *Message; // nullptr: no status
    };
    const Case cases[] = {
        {0, nullptr},
        {1, "From Locator missing!"},
        {4, "To Locator < 4 Characters!"},
        {5, nullptr},
        {10, nullptr}, // a base alone names no character
        {11, "From Locator Character 1 invalid!"},
        {16, "From Locator Character 6 invalid!"},
        {17, nullptr},
        {26, "To Locator Character 6 invalid!"},
        {31, "Home Locator Character 1 invalid!"},
        {37, nullptr},
        {40, "From and To Locators are antipodal!"},
        {144, "No working Frequency..!!"},
        {-1, nullptr},
    };
    for (const auto &c : cases) {
        const auto entry = LookUpStatus(c.Code);
        ASSERT_EQ(entry.has_value(), c.Message != nullptr) << c.Code;
        if (entry) {
            EXPECT_EQ(entry->Message, c.Message);
        }
    }
}

} // namespace
} // namespace ionvane::command
