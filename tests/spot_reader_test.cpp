#include "spot/spot_reader.h"

#include <gtest/gtest.h>

namespace ionvane::spot {
namespace {

struct Case {
    const char *Line;
    const char *Freq;
    const char *From;
    const char *To;
    const char *Tag;
};

TEST(SpotReader, ReadsTheCommonForms) {
    const Case cases[] = {
        // Cluster lines: kHz, locators in the comment.
        {"DX de DK7UK:     50099.0  EA5/ON4CAU   JN48QT<ES>IM98 QRP 5W LOOP ANT 1206Z", "50.099",
         "JN48QT", "IM98", "ES"},
        {"DX de N0CALL-2:  50313.0  EA8/N0CALL   FT8 -12dB IL38BO                1412Z JO65",
         "50.313", "JO65", "IL38BO", ""},
        {"DX de G4ABC:     50110.0  OH7AB        IO91<>KP32 ES 599  1730Z", "50.11", "IO91", "KP32",
         "ES"},
        {"DX de SM6XYZ:   144174.0  DL1ABC       JO57XQ>JO40AB tnx qso  0932Z", "144.174", "JO57XQ",
         "JO40AB", ""},
        {"DX de EI3IO:     70160.0  GB3RAL       IO63<TR>IO91 beacon 2015Z", "70.16", "IO63",
         "IO91", "TR"},
        {"DX de F5ABC:     50150.0  LZ1XX        JN03(AU>KN22 1811Z", "50.15", "JN03", "KN22",
         "AU"},
        {"DX de DL8EBW:    50313.0  EA9ACD       IM75-JO50 FT8 1322Z", "50.313", "IM75", "JO50",
         ""},
        {"DX de I0ABC:     50090.0  SV9CVY       km25 jn61 es cw 1030z", "50.09", "KM25", "JN61",
         "ES"},
        {"DX de ON4KST:  144300.0  9A1CAL       JN75OS12 JO20 MS  0501Z", "144.3", "JN75OS", "JO20",
         "MS"},
        {"DX de OH1ZZ-#:  50313.0  UA9ABC       FT8 +03dB from LO88 to KP20  1900Z", "50.313",
         "LO88", "KP20", ""},
        // A long spotter call runs into the frequency.
        {"DX de DL0ABC-12:50313.0  YO2XX        KN05<ES>JO62 1200Z", "50.313", "KN05", "JO62",
         "ES"},
        // Listing lines: spotter first, date at the end.
        {"DK7UK 50099.0 EA5/ON4CAU JN48QT<ES>IM98 1206 14 Jun 2026", "50.099", "JN48QT", "IM98",
         "ES"},
        {"G4ABC      144174.0  PA3XYZ      IO91VL JO21 TR   0815Z 3 Jul 2026", "144.174", "IO91VL",
         "JO21", "TR"},
        // SH/DX lines: frequency first, spotter in brackets at the end.
        {"   50099.0 EA5/ON4CAU  14-Jun-2026 1206Z JN48QT<ES>IM98       <DK7UK>", "50.099",
         "JN48QT", "IM98", "ES"},
        // A bare comment with a frequency.
        {"50.313 IO90IR<ES>JN77EX", "50.313", "IO90IR", "JN77EX", "ES"},
        {"144.174 io91vl<ES>jn58td", "144.174", "IO91VL", "JN58TD", "ES"},
        {"50313 IO90 JN77", "50.313", "IO90", "JN77", ""},
        {"28.885 ES IO91 FN42", "28.885", "IO91", "FN42", "ES"},
    };
    for (const auto &c : cases) {
        const SpotReading reading = ReadSpot(c.Line);
        EXPECT_EQ(reading.Problem, SpotProblem::None) << c.Line;
        EXPECT_EQ(reading.Read.FreqMHzText, c.Freq) << c.Line;
        EXPECT_EQ(reading.Read.FromLoc, c.From) << c.Line;
        EXPECT_EQ(reading.Read.ToLoc, c.To) << c.Line;
        EXPECT_EQ(reading.Read.Tag, c.Tag) << c.Line;
    }
}

TEST(SpotReader, KeepsTheCallsOfTheLine) {
    const SpotReading reading =
        ReadSpot("DX de N0CALL-2:  50313.0  EA8/N0CALL   FT8 -12dB IL38BO   1412Z JO65");
    EXPECT_EQ(reading.Read.Spotter, "N0CALL-2");
    EXPECT_EQ(reading.Read.DxCall, "EA8/N0CALL");
    EXPECT_EQ(reading.Read.FreqMHz, 50.313);
}

TEST(SpotReader, RefusesWhatCannotBeCalculated) {
    struct Refusal {
        std::string Line;
        SpotProblem Problem;
    };
    const Refusal cases[] = {
        {"DX de DK7UK:     50099.0  EA5/ON4CAU   TNX QSO 599        1206Z",
         SpotProblem::NoLocators},
        {"DX de DK7UK:     50099.0  EA5/ON4CAU   JN48QT 599        1206Z", SpotProblem::OneLocator},
        // A call sign shaped like a locator is still a call sign.
        {"DX de KP20AB:    50099.0  JO65AA       IM98 599          1206Z", SpotProblem::OneLocator},
        {"DX de DK7UK:     50099.0  GB22AB       cq de GB22AB JO01   1206Z",
         SpotProblem::OneLocator},
        {"DX de DK7UK:  EA5/ON4CAU JN48QT<ES>IM98 1206Z", SpotProblem::NoFrequency},
        // Locators glued to other letters are not locators.
        {"DX de DK7UK:     50099.0  EA5/ON4CAU   xJN48QT IM98x 1206Z", SpotProblem::NoLocators},
        {std::string(10'000'000, 'A'), SpotProblem::TooLong},
        // Not spots at all.
        {"WWV de W0MU <18>:   SFI=70, A=5, K=1, No Storms -> No Storms", SpotProblem::NotASpot},
        {"WCY de DK0WCY-1 <18> : K=2 expK=0 A=6 R=27 SFI=80 SA=qui GMF=qui Au=no",
         SpotProblem::NotASpot},
        {"To ALL de DL1ABC: Es open to IM98 from JN48 now!", SpotProblem::NotASpot},
        {"DK7UK de DB0XYZ 14-Jun-2026 1206Z >", SpotProblem::NotASpot},
        {"73 de DK7UK", SpotProblem::NotASpot},
        {"", SpotProblem::NotASpot},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ReadSpot(c.Line).Problem, c.Problem) << c.Line.substr(0, 80);
    }
}

TEST(SpotReader, PastedTextSaysWhatIsMissing) {
    EXPECT_EQ(ProblemAsSpot(ReadSpot("IO90IR<ES>JN77EX")), SpotProblem::NoFrequency);
    EXPECT_EQ(ProblemAsSpot(ReadSpot("hello there")), SpotProblem::NoLocators);
    EXPECT_EQ(ProblemAsSpot(ReadSpot("my locator is JO65")), SpotProblem::OneLocator);
    EXPECT_EQ(ProblemText(SpotProblem::NoLocators), "No locators found in the spot");
    EXPECT_EQ(ProblemText(SpotProblem::OneLocator), "Only one locator found in the spot");
    EXPECT_EQ(ProblemText(SpotProblem::NoFrequency), "No frequency found in the spot");
}

TEST(SpotReader, FrequencyTextIsExactDecimal) {
    EXPECT_EQ(ReadSpot("DX de A1BC: 1296200.0 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "1296.2");
    EXPECT_EQ(ReadSpot("DX de A1BC: 10368100.0 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "10368.1");
    EXPECT_EQ(ReadSpot("DX de A1BC: 500.5 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "500.5");
    EXPECT_EQ(ReadSpot("DX de A1BC: 999.9 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "999.9");
    EXPECT_EQ(ReadSpot("DX de A1BC: 1000 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "1");
    EXPECT_EQ(ReadSpot("0.5 JO01 JO02").Read.FreqMHzText, "0.5");
    EXPECT_EQ(ReadSpot("DX de A1BC: 50000 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "50");
}

} // namespace
} // namespace ionvane::spot

#include <clocale>

namespace ionvane::spot {
namespace {

struct WildCase {
    std::string Line;
    const char *Freq;
    const char *From;
    const char *To;
    const char *Tag;
    bool Es;
    const char *DxCall; // nullptr: not checked (a column order that names no call for sure)
    const char *Spotter;
};

// Lines as they reach a user: through terminals, loggers, web clusters and FT8 software.
const std::vector<WildCase> &WildCases() {
    static const std::vector<WildCase> cases = {
        {"DX de DK7UK:     50313.0  EA8XXX       JN48<ES>IL18 FT8 -12dB         1206Z", "50.313",
         "JN48", "IL18", "ES", true, "EA8XXX", "DK7UK"},
        // The node's two BEL characters after the spotter's grid.
        {"DX de DK7UK:     50313.0  EA8XXX       FT8 -12dB IL18          1206Z JN48\a\a", "50.313",
         "JN48", "IL18", "", true, "EA8XXX", "DK7UK"},
        {"DX de DK7UK:     50313.0  EA8XXX       IL18 FT8\a 1206Z JN48\x07\x07\r", "50.313", "JN48",
         "IL18", "", true, "EA8XXX", "DK7UK"},
        // ANSI colours from a terminal.
        {"\x1B[1;33mDX de DK7UK:\x1B[0m  50313.0  \x1B[32mEA8XXX\x1B[0m  JN48<ES>IL18 1206Z",
         "50.313", "JN48", "IL18", "ES", true, "EA8XXX", "DK7UK"},
        {"\x1B]0;node\a\x1B[KDX de DK7UK: 50313.0 EA8XXX JN48<ES>IL18 1206Z", "50.313", "JN48",
         "IL18", "ES", true, "EA8XXX", "DK7UK"},
        // Something before "DX de": a logger's timestamp, a prompt that ran on.
        {"12:06:33 DX de DK7UK: 50313.0 EA8XXX JN48<ES>IL18 1206Z", "50.313", "JN48", "IL18", "ES",
         true, "EA8XXX", "DK7UK"},
        {"[12:06] DX de DK7UK: 50313.0 EA8XXX JN48<ES>IL18 1206Z", "50.313", "JN48", "IL18", "ES",
         true, "EA8XXX", "DK7UK"},
        {"DK7UK de DB0XYZ 14-Jun-2026 1206Z dxspider >DX de DK7UK: 50313.0 EA8XXX JN48<ES>IL18 "
         "1206Z",
         "50.313", "JN48", "IL18", "ES", true, "EA8XXX", "DK7UK"},
        {"2026-06-14 12:06:33 dx de dk7uk: 50313.0 ea8xxx jn48<es>il18 1206z", "50.313", "JN48",
         "IL18", "ES", true, "ea8xxx", "dk7uk"},
        // Frequencies in MHz in cluster lines.
        {"DX de DK7UK: 50.313 EA8XXX JN48<ES>IL18 1206Z", "50.313", "JN48", "IL18", "ES", true,
         "EA8XXX", "DK7UK"},
        {"DX de SM6XYZ:  144.174  DL1ABC  JO57XQ<ES>JO40AB 0932Z", "144.174", "JO57XQ", "JO40AB",
         "ES", true, "DL1ABC", "SM6XYZ"},
        {"DX de SM6XYZ:  1296200.0  DL1ABC  JO57XQ<TR>JO40AB 0932Z", "1296.2", "JO57XQ", "JO40AB",
         "TR", false, "DL1ABC", "SM6XYZ"},
        // FT8 words are no locators; RR73 has the shape of one.
        {"DX de DK7UK: 50313.0 EA8XXX RR73 IL18 1206Z JN48", "50.313", "JN48", "IL18", "", true,
         "EA8XXX", "DK7UK"},
        {"50.313 JN48 RR73 IL18 RRR 73", "50.313", "JN48", "IL18", "", true, "", ""},
        {"50.313 rr73 JN48 73 IL18", "50.313", "JN48", "IL18", "", true, "", ""},
        // Call signs shaped like locators are calls.
        {"50313.0 OH60AA IO91<ES>KP20", "50.313", "IO91", "KP20", "ES", true, "OH60AA", ""},
        {"DX de KP20AB: 50313.0 OH60AA IO91<ES>JO20 1206Z", "50.313", "IO91", "JO20", "ES", true,
         "OH60AA", "KP20AB"},
        {"144.174 IO91VL JN58TD", "144.174", "IO91VL", "JN58TD", "", true, "", ""},
        // Lower case letters, the Turkish dotted i among them.
        {"144.174 io91vl<ES>jn58td", "144.174", "IO91VL", "JN58TD", "ES", true, "", ""},
        {"50313 im98ix il18", "50.313", "IM98IX", "IL18", "", true, "", ""},
        // A timestamp in front of a bare spot.
        {"[12:06] 50.313 JN48<ES>IL18", "50.313", "JN48", "IL18", "ES", true, "", ""},
        // Other modes.
        {"DX de DK7UK: 144100.0 W5XX EM12<EME>JO31 1206Z", "144.1", "EM12", "JO31", "EME", false,
         "W5XX", "DK7UK"},
        {"DX de DK7UK: 144300.0 OH5XX KP30<AU>JO31 1206Z", "144.3", "KP30", "JO31", "AU", false,
         "OH5XX", "DK7UK"},
        {"DX de DK7UK: 50090.0 ZS6XX KG44 JN58 TEP 1206Z", "50.09", "KG44", "JN58", "TEP", false,
         "ZS6XX", "DK7UK"},
        {"DX de DK7UK: 50090.0 PY2XX GG66<F2>JN58 1206Z", "50.09", "GG66", "JN58", "F2", false,
         "PY2XX", "DK7UK"},
        {"DX de DK7UK: 50313.0 EA8XXX JN48 IL18 as strong as ever 1206Z", "50.313", "JN48", "IL18",
         "", true, "EA8XXX", "DK7UK"},
        // Rows copied from web clusters: tab-separated columns in several orders.
        {"DK7UK\t50313.0\tEA8XXX\tJN48<ES>IL18 FT8 -12dB\t1206Z\t14 Jun", "50.313", "JN48", "IL18",
         "ES", true, "EA8XXX", "DK7UK"},
        {"1206Z\t50.313\tEA8XXX\tJN48 IL18 ES\tDK7UK", "50.313", "JN48", "IL18", "ES", true,
         "EA8XXX", "DK7UK"},
        {"50313.0\tEA8XXX\tDK7UK\tJN48<ES>IL18\t12:06\t2026-06-14", "50.313", "JN48", "IL18", "ES",
         true, "EA8XXX", "DK7UK"},
        {"14/06/2026 12:06\tDK7UK\t50313\tEA8XXX\tFT8 IL18 JN48", "50.313", "IL18", "JN48", "",
         true, "EA8XXX", "DK7UK"},
        {"EA8XXX\tJN48<TR>IL18\t50.313\t2026-06-14 12:06\tDK7UK", "50.313", "JN48", "IL18", "TR",
         false, nullptr, nullptr},
        {"OH60AA\t50.313\tKP20AB\tIO91<ES>KP21\t1206Z", "50.313", "IO91", "KP21", "ES", true,
         "KP20AB", "OH60AA"},
        {" 50.313 \t EA8XXX \t JN48 - IL18 \t 1206 ", "50.313", "JN48", "IL18", "", true, "EA8XXX",
         ""},
        // Locators in columns of their own.
        {"JN48\tIL18\t50.313\tEA8XXX\tDK7UK\t1206Z", "50.313", "JN48", "IL18", "", true, "EA8XXX",
         "DK7UK"},
        // A web page in a decimal-comma language.
        {"DK7UK\t50,313\tEA8XXX\tJN48<ES>IL18\t12:06", "50.313", "JN48", "IL18", "ES", true,
         "EA8XXX", "DK7UK"},
        {"50313,0 EA8XXX JN48<ES>IL18", "50.313", "JN48", "IL18", "ES", true, "EA8XXX", ""},
    };
    return cases;
}

void CheckWildCases(const char *where) {
    for (const WildCase &c : WildCases()) {
        const SpotReading reading = ReadSpot(c.Line);
        const std::string context = std::string(where) + ": " + c.Line;
        EXPECT_EQ(reading.Problem, SpotProblem::None) << context;
        EXPECT_EQ(reading.Read.FreqMHzText, c.Freq) << context;
        EXPECT_EQ(reading.Read.FromLoc, c.From) << context;
        EXPECT_EQ(reading.Read.ToLoc, c.To) << context;
        EXPECT_EQ(reading.Read.Tag, c.Tag) << context;
        EXPECT_EQ(reading.Read.Es, c.Es) << context;
        if (c.DxCall != nullptr) {
            EXPECT_EQ(reading.Read.DxCall, c.DxCall) << context;
            EXPECT_EQ(reading.Read.Spotter, c.Spotter) << context;
        }
    }
}

// Sets a process locale for the life of the object, as a Qt program's start does.
class ProcessLocale {
  public:
    explicit ProcessLocale(const char *name) : Previous(std::setlocale(LC_ALL, nullptr)) {
        Set = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, Previous.c_str()); }
    ProcessLocale(const ProcessLocale &) = delete;
    ProcessLocale &operator=(const ProcessLocale &) = delete;
    bool Set = false;

  private:
    std::string Previous;
};

TEST(SpotReader, ReadsLinesFromTheWildInEveryLocale) {
    for (const char *name :
         {"C", "de_DE.UTF-8", "pl_PL.UTF-8", "fr_FR.UTF-8", "tr_TR.UTF-8", "en_US.UTF-8"}) {
        const ProcessLocale locale(name);
        EXPECT_TRUE(locale.Set) << name << " is not installed";
        CheckWildCases(name);
    }
}

TEST(SpotReader, RefusesSpotsWithoutTwoDistinctLocators) {
    struct Refusal {
        std::string Line;
        SpotProblem Problem;
    };
    const Refusal cases[] = {
        // The only locator is the spotter's own grid: no path at all.
        {"DX de OZ1XX:     50313.0  9H1XX        JO55 FT8       2016Z JO55",
         SpotProblem::SameLocators},
        {"DX de OZ1XX:     50313.0  9H1XX        jo55mm FT8     2016Z JO55\a\a",
         SpotProblem::SameLocators},
        {"50.313 JO65 JO65MM", SpotProblem::SameLocators},
        {"50.313 JO65MM<ES>jo65mm", SpotProblem::SameLocators},
        // The DX call and FT8 words leave one locator.
        {"DX de DK7UK: 50313.0 JO65AA IM98 1206Z", SpotProblem::OneLocator},
        {"50.313 RR73 JN48", SpotProblem::OneLocator},
        // A number and locators in talk: answered, never dropped.
        {"To ALL de DL1ABC: Es on 50.313 from JN48 to IM98", SpotProblem::NoSpotForm},
        {"\a\a\x1B[0m", SpotProblem::NotASpot},
        {"DK7UK de DB0XYZ 14-Jun-2026 1206Z dxspider >", SpotProblem::NotASpot},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ReadSpot(c.Line).Problem, c.Problem) << c.Line;
    }
    EXPECT_EQ(ProblemText(SpotProblem::SameLocators),
              "Both locators of the spot name the same place");
    // A third locator of another subsquare makes the spot whole again.
    const SpotReading third = ReadSpot("50.313 JO65 JO65MM JN48");
    EXPECT_EQ(third.Problem, SpotProblem::None);
    EXPECT_EQ(third.Read.ToLoc, "JN48");
}

TEST(SpotReader, EsTagsAndOtherModes) {
    for (const char *tag : {"", "ES", "es", "E", "EES", "SPORADIC-E"}) {
        EXPECT_TRUE(IsEsTag(tag)) << tag;
    }
    for (const char *tag : {"TR", "MS", "EME", "AU", "AUE", "AU-E", "FAI", "F2", "TEP", "RS", "SAT",
                            "BS", "TROPO", "SCT"}) {
        EXPECT_FALSE(IsEsTag(tag)) << tag;
    }
}

} // namespace
} // namespace ionvane::spot
