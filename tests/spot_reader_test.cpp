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
        // An announcement is no spot, whatever it names.
        {"To ALL de DL1ABC: Es on 50.313 from JN48 to IM98", SpotProblem::NotASpot},
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

// Misreads of real cluster output, each pinned by the line that showed it.
TEST(SpotReader, ReadsWhatTheHamMeant) {
    const WildCase cases[] = {
        // A square locator is never a call sign: no DX call in a bare line that starts with one.
        {"50.313 KP20 IL18 JO40", "50.313", "KP20", "IL18", "", true, "", ""},
        {"50.313 IO91 KP20 OH60AA", "50.313", "IO91", "KP20", "", true, "", ""},
        // "GL" after the locators wishes good luck; between them it names the mode.
        {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 GL                    1206Z", "50.313",
         "JO40", "IL18", "", true, "EA8XXX", "DK7UK"},
        {"DX de DK7UK:     50313.0  EA8XXX       JO40<GL>IL18                    1206Z", "50.313",
         "JO40", "IL18", "GL", false, "EA8XXX", "DK7UK"},
        // Other modes written out or spelt as hams spell them.
        {"DX de OH5LK:    144300.0  ES2XYZ       KP30 Aurora KO29               2130Z", "144.3",
         "KP30", "KO29", "AURORA", false, "ES2XYZ", "OH5LK"},
        {"DX de OH5LK:    144300.0  ES2XYZ       KP30 AuEs KO29                 2130Z", "144.3",
         "KP30", "KO29", "AUES", false, "ES2XYZ", "OH5LK"},
        {"DX de OH5LK:    144300.0  ES2XYZ       KP30 Au-Es KO29                2130Z", "144.3",
         "KP30", "KO29", "AU-ES", false, "ES2XYZ", "OH5LK"},
        {"DX de OH5LK:    144300.0  ES2XYZ       KP30<meteor>KO29               2130Z", "144.3",
         "KP30", "KO29", "METEOR", false, "ES2XYZ", "OH5LK"},
        {"DX de OH5LK:    144300.0  ES2XYZ       KP30<DUCT>KO29                 2130Z", "144.3",
         "KP30", "KO29", "DUCT", false, "ES2XYZ", "OH5LK"},
        {"DX de SV1DH:     50110.0  ZS6XYZ       KM18<TE>KG44                   0700Z", "50.11",
         "KM18", "KG44", "TE", false, "ZS6XYZ", "SV1DH"},
        // Hyphenated spellings name the mode of their first known part.
        {"DX de DK7UK:     50313.0  EA8XXX       JO40 TROPO-DUCT IL18           1206Z", "50.313",
         "JO40", "IL18", "TROPO", false, "EA8XXX", "DK7UK"},
        {"DX de DK7UK:     50313.0  EA8XXX       JO40 tr-es IL18                1206Z", "50.313",
         "JO40", "IL18", "TR", false, "EA8XXX", "DK7UK"},
        {"DX de DK7UK:     50313.0  EA8XXX       JO40 Aurora-E IL18             1206Z", "50.313",
         "JO40", "IL18", "AURORA-E", false, "EA8XXX", "DK7UK"},
        // The spotter's grid in a column of its own after the time, as some web clusters show it.
        {"DK7UK\t50313.0\tEA8XXX\tFT8 -12dB IL18\t1206Z\tJO40", "50.313", "JO40", "IL18", "", true,
         "EA8XXX", "DK7UK"},
        // Two locators joined into one word are a path, never the DX call.
        {"50313 JN48QT-IO91", "50.313", "JN48QT", "IO91", "", true, "", ""},
        {"50.313 io91/jn48", "50.313", "IO91", "JN48", "", true, "", ""},
        {"DX de DK7UK:     50313.0  JN48QT-IO91  ES                        1206Z", "50.313",
         "JN48QT", "IO91", "ES", true, "", "DK7UK"},
        {"50.313\tJN48QT-IO91\tEA8XXX\tDK7UK\t12:06", "50.313", "JN48QT", "IO91", "", true,
         "EA8XXX", "DK7UK"},
    };
    for (const WildCase &c : cases) {
        const SpotReading reading = ReadSpot(c.Line);
        EXPECT_EQ(reading.Problem, SpotProblem::None) << c.Line;
        EXPECT_EQ(reading.Read.FreqMHzText, c.Freq) << c.Line;
        EXPECT_EQ(reading.Read.FromLoc, c.From) << c.Line;
        EXPECT_EQ(reading.Read.ToLoc, c.To) << c.Line;
        EXPECT_EQ(reading.Read.Tag, c.Tag) << c.Line;
        EXPECT_EQ(reading.Read.Es, c.Es) << c.Line;
        EXPECT_EQ(reading.Read.DxCall, c.DxCall) << c.Line;
        EXPECT_EQ(reading.Read.Spotter, c.Spotter) << c.Line;
    }
    EXPECT_EQ(ReadSpot("DK7UK\t50313.0\tEA8XXX\tFT8 jo40\t1206Z\tJO40").Problem,
              SpotProblem::SameLocators);
}

// A node's messages are no spots, whatever frequency and locators their text names: --batch
// --spots passes over them in silence, and a pasted one is "Not a spot".
TEST(SpotReader, NodeMessagesAreNoSpots) {
    for (const char *line : {
             "To ALL de DL1ABC: Es on 50313 from JN48 to IM98",
             "To LOCAL de DB0SUE: Es 50.313 JO40 IL18",
             "To ALL de SV1DH <12:06Z>: 50MHz Es JN58 to KM18",
             "DK7UK de DL1ABC: hi Uwe, 50313 JO40 IL18 open",
             "DK7UK de DB0SUE-7: your QTH is JO62QM, 50 MHz",
             "12:06:33 To ALL de DL1ABC: 50.313 JN48 IM98",
         }) {
        const SpotReading reading = ReadSpot(line);
        EXPECT_EQ(reading.Problem, SpotProblem::NotASpot) << line;
        EXPECT_EQ(ProblemAsSpot(reading), SpotProblem::NotASpot) << line;
    }
    // "DX de" inside a line still starts a spot.
    EXPECT_EQ(ReadSpot("DK7UK de DB0XYZ 14-Jun-2026 1206Z >DX de DK7UK: 50313.0 EA8XXX "
                       "JN48<ES>IL18 1206Z")
                  .Problem,
              SpotProblem::None);
}

struct ClusterCase {
    const char *Line;
    SpotProblem Problem;
    const char *Freq = "";
    const char *From = "";
    const char *To = "";
    const char *Tag = "";
    bool Es = true;
};

// Cluster output of many kinds, as node programs, terminals, loggers and web clusters show it:
// what a ham reads in each line. Only the problem is checked for lines that give none.
const ClusterCase RealisticLines[] = {
    {"DX de SP5XMU:    50313.0  EA8BFK       JO91<ES>IL18 FT8 -12dB         1206Z",
     SpotProblem::None, "50.313", "JO91", "IL18", "ES", true},
    {"DX de SP5XMU:    50313.0  EA8BFK       JO91<ES>IL18 FT8 -12dB         1206Z JO91",
     SpotProblem::None, "50.313", "JO91", "IL18", "ES", true},
    {"DX de SP5XMU:    50313.0  EA8BFK       FT8 -12dB IL18                 1206Z JO91\a\a",
     SpotProblem::None, "50.313", "JO91", "IL18", "", true},
    {"DX de OH6BG-#:   50313.0  ES2AB        FT8 -12 dB 8 WPM CQ            1206Z",
     SpotProblem::NoLocators},
    {"DX de EA5/ON4CAU-#:50099.0 OZ1ABC      JN00<ES>JO55 CW 599            1206Z",
     SpotProblem::None, "50.099", "JN00", "JO55", "ES", true},
    {"DX de G4ABC:   1296200.0  F6XYZ        IO91<TR>JN18 tnx               2015Z",
     SpotProblem::None, "1296.2", "IO91", "JN18", "TR", false},
    {"DX de G4ABC:  10368100.0  F6XYZ        IO91<TR>JN18 rs                2015Z",
     SpotProblem::None, "10368.1", "IO91", "JN18", "TR", false},
    {"DX de G4ABC: 24048100.0  F6XYZ         IO91 JN18 rain scatter         2015Z",
     SpotProblem::None, "24048.1", "IO91", "JN18", "", true},
    {"DX de DL1ABC-2:10368100.0 F6XYZ        JO31<RS>JN18                   2015Z",
     SpotProblem::None, "10368.1", "JO31", "JN18", "RS", false},
    {"DX de OK1ABC:    50110.00  EA7XYZ      JO70QM<ES>IM77                 1206Z",
     SpotProblem::None, "50.11", "JO70QM", "IM77", "ES", true},
    {"DX de OK1ABC:    50110.00  EA7XYZ      JO70QM ES IM77                 1206Z",
     SpotProblem::None, "50.11", "JO70QM", "IM77", "ES", true},
    {"DX de OK1ABC:    50110.0  EA7XYZ       JO70QM-IM77 cw                 1206Z",
     SpotProblem::None, "50.11", "JO70QM", "IM77", "", true},
    {"DX de OK1ABC:    50110.0  EA7XYZ       JO70<>IM77                     1206Z",
     SpotProblem::None, "50.11", "JO70", "IM77", "", true},
    {"DX de OK1ABC:    50110.0  EA7XYZ       JO70qm > im77td                1206Z",
     SpotProblem::None, "50.11", "JO70QM", "IM77TD", "", true},
    {"DX de OK1ABC:    50110.0  EA7XYZ       (ES) JO70 IM77                 1206Z",
     SpotProblem::None, "50.11", "JO70", "IM77", "ES", true},
    {"DX de OK1ABC:    50110.0  EA7XYZ       JO70QM/IM77                    1206Z",
     SpotProblem::None, "50.11", "JO70QM", "IM77", "", true},
    {"DX de OK1ABC:    50110.0  EA7XYZ       JO70QM12<ES>IM77TD45           1206Z",
     SpotProblem::None, "50.11", "JO70QM", "IM77TD", "ES", true},
    {"DX de OK1ABC:   144300.0  SP2XYZ       JO70<TR>JO94                   1206Z",
     SpotProblem::None, "144.3", "JO70", "JO94", "TR", false},
    {"DX de OK1ABC:   144300.0  SP2XYZ       JO70 TROPO JO94                1206Z",
     SpotProblem::None, "144.3", "JO70", "JO94", "TROPO", false},
    {"DX de OK1ABC:   144300.0  SP2XYZ       JO70 Tropo JO94                1206Z",
     SpotProblem::None, "144.3", "JO70", "JO94", "TROPO", false},
    {"DX de OK1ABC:   144300.0  SP2XYZ       JO70 tropo JO94                1206Z",
     SpotProblem::None, "144.3", "JO70", "JO94", "TROPO", false},
    {"DX de OK1ABC:   144370.0  SP2XYZ       JO70<MS>KO02 FSK441            1206Z",
     SpotProblem::None, "144.37", "JO70", "KO02", "MS", false},
    {"DX de OK1ABC:   144100.0  K1JT         JO70<EME>FN20 JT65B            1206Z",
     SpotProblem::None, "144.1", "JO70", "FN20", "EME", false},
    {"DX de OK1ABC:   144300.0  SM2XYZ       JO70<FAI>KP05                  1206Z",
     SpotProblem::None, "144.3", "JO70", "KP05", "FAI", false},
    {"DX de OK1ABC:    50110.0  PY2XYZ       JO70<F2>GG66                   1206Z",
     SpotProblem::None, "50.11", "JO70", "GG66", "F2", false},
    {"DX de OK1ABC:    50110.0  ZS6XYZ       JO70<TEP>KG44                  1206Z",
     SpotProblem::None, "50.11", "JO70", "KG44", "TEP", false},
    {"DX de OK1ABC:   144300.0  OH8XYZ       JO70<AU>KP24                   1206Z",
     SpotProblem::None, "144.3", "JO70", "KP24", "AU", false},
    {"DX de OK1ABC:   144300.0  OH8XYZ       JO70<AUE>KP24                  1206Z",
     SpotProblem::None, "144.3", "JO70", "KP24", "AUE", false},
    {"DX de OK1ABC:   144300.0  OH8XYZ       JO70<AU-E>KP24                 1206Z",
     SpotProblem::None, "144.3", "JO70", "KP24", "AU-E", false},
    {"DX de OK1ABC:   145900.0  AO-7         JO70<SAT>IO91                  1206Z",
     SpotProblem::None, "145.9", "JO70", "IO91", "SAT", false},
    {"DX de OK1ABC:  10368100.0 OK2XYZ       JO70<BS>JN89 bs Snezka         1206Z",
     SpotProblem::None, "10368.1", "JO70", "JN89", "BS", false},
    {"DX de DK7UK:     50313.0  EA8XXX       FT8 -12dB                      1206Z JO40",
     SpotProblem::OneLocator},
    {"DX de DK7UK:     50313.0  EA8XXX       RR73                           1206Z JO40",
     SpotProblem::OneLocator},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18 73                        1206Z JO40",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  OH60AA       KP20 ES                        1206Z JO40",
     SpotProblem::None, "50.313", "JO40", "KP20", "ES", true},
    {"DX de OH60AA:    50313.0  EA8XXX       KP20<ES>IL18                   1206Z",
     SpotProblem::None, "50.313", "KP20", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40<ES>JO40                   1206Z",
     SpotProblem::SameLocators},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18                           1206Z IL18",
     SpotProblem::SameLocators},
    {"\x1B"
     "[31mDX de DK7UK:\x1B"
     "[0m     50313.0  EA8XXX       JO40<ES>IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"12:06:33 DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z", SpotProblem::None,
     "50.313", "JO40", "IL18", "ES", true},
    {"[12:06] DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z", SpotProblem::None,
     "50.313", "JO40", "IL18", "ES", true},
    {"DK7UK de DB0SUE-7 14-Jun-2026 1206Z dxspider >DX de DK7UK:     50313.0  EA8XXX       "
     "JO40<ES>IL18     1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"   50313.0  EA8BFK      14-Jun-2026 1206Z  JO91<ES>IL18 FT8          <SP5XMU>",
     SpotProblem::None, "50.313", "JO91", "IL18", "ES", true},
    {"  144300.0  SP2XYZ      14-Jun-2026 1206Z  JO70<TR>JO94              <OK1ABC>",
     SpotProblem::None, "144.3", "JO70", "JO94", "TR", false},
    {" 1296200.0  F6XYZ       14-Jun-2026 2015Z  IO91 JN18                 <G4ABC>",
     SpotProblem::None, "1296.2", "IO91", "JN18", "", true},
    {"To ALL de DL1ABC: Es open to IM98 from JN48 now!", SpotProblem::NotASpot},
    {"To ALL de DL1ABC: Es on 50313 from JN48 to IM98", SpotProblem::NotASpot},
    {"To LOCAL de DB0SUE: Es 50.313 JO40 IL18", SpotProblem::NotASpot},
    {"WWV de W0MU <18>:   SFI=70, A=5, K=1, No Storms -> No Storms", SpotProblem::NotASpot},
    {"WCY de DK0WCY-1 <18> : K=2 expK=0 A=6 R=27 SFI=80 SA=qui GMF=qui Au=no",
     SpotProblem::NotASpot},
    {"DK7UK de DL1ABC: hi Uwe, 50313 JO40 IL18 open", SpotProblem::NotASpot},
    {"DK7UK de DL1ABC: hi Uwe", SpotProblem::NotASpot},
    {"DL1ABC: 50.313 JO40 IL18", SpotProblem::NoSpotForm},
    {"SP5XMU\t50313.0\tEA8BFK\tJO91<ES>IL18 FT8 -12dB\t12:06 14 Jun", SpotProblem::None, "50.313",
     "JO91", "IL18", "ES", true},
    {"12:06\tEA8BFK\t50313.0\tJO91<ES>IL18\tSP5XMU", SpotProblem::None, "50.313", "JO91", "IL18",
     "ES", true},
    {"50.313\tEA8BFK\tJO91 ES IL18\tSP5XMU\t1206Z", SpotProblem::None, "50.313", "JO91", "IL18",
     "ES", true},
    {"2026-06-14 12:06:00\t50313.0\tEA8BFK\tSP5XMU\tJO91<ES>IL18", SpotProblem::None, "50.313",
     "JO91", "IL18", "ES", true},
    {"SP5XMU\tJO91\t50313.0\tEA8BFK\tIL18\tES\t1206", SpotProblem::None, "50.313", "JO91", "IL18",
     "ES", true},
    {"50313.0\tEA8BFK\tJO91 > IL18\tSP5XMU\t1206Z\tSpain", SpotProblem::None, "50.313", "JO91",
     "IL18", "", true},
    {"DX de SM7GVF:    50313.0  IS0GQX       JO65<ES>JM49 -05dB FT8         1206Z JO65",
     SpotProblem::None, "50.313", "JO65", "JM49", "ES", true},
    {"DX de SM7GVF:    50313.0  IS0GQX       FT8 -05dB                      1206Z JO65",
     SpotProblem::OneLocator},
    {"DX de DL8EBW:    50313.0  CT1HZE       IN51<es>JO50 ft8 -15 db        1814Z JO50",
     SpotProblem::None, "50.313", "IN51", "JO50", "ES", true},
    {"DX de 9A2AJ:     50313.0  UN7AB        FT8 CQ MO13                    1003Z JN75",
     SpotProblem::None, "50.313", "JN75", "MO13", "", true},
    {"DX de 9A2AJ:     50313.0  UN7AB        FT8 CQ UN7AB MO13              1003Z JN75",
     SpotProblem::None, "50.313", "JN75", "MO13", "", true},
    {"DX de PA3FYG:    50313.0  W1ABC        FN42<ES>JO22                   2130Z JO22",
     SpotProblem::None, "50.313", "FN42", "JO22", "ES", true},
    {"DX de PA3FYG:    50313.0  W1ABC        ES FN42-JO22 tnx QSO           2130Z",
     SpotProblem::None, "50.313", "FN42", "JO22", "ES", true},
    {"DX de OZ1FF:     50313.0  LY2XX        KO24<ES>JO55 RR73               0815Z",
     SpotProblem::None, "50.313", "KO24", "JO55", "ES", true},
    {"DX de OZ1FF:     50313.0  LY2XX        Sent -07 Rcvd -11 KO24         0815Z JO55",
     SpotProblem::None, "50.313", "JO55", "KO24", "", true},
    {"DX de OZ1FF:     50313.0  LY2XX        RR73 KO24                       0815Z JO55",
     SpotProblem::None, "50.313", "JO55", "KO24", "", true},
    {"DX de OZ1FF:     50313.0  LY2XX        FT8 73 KO24                     0815Z JO55",
     SpotProblem::None, "50.313", "JO55", "KO24", "", true},
    {"DX de YO2IS:     50098.0  LA9SN        KO05<ES>KP49 CW 559 QSB        0815Z",
     SpotProblem::None, "50.098", "KO05", "KP49", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82 ES JM75                   1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        ES IO82 JM75                   1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK  JM75FV  ES             1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82 - JM75 (ES)               1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82kk es JM75fv               1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK->JM75FV                 1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK=>JM75FV                 1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK to JM75FV               1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK>ES>JM75FV               1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK<Es>JM75FV               1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK<eS>JM75FV               1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK<E>JM75FV                1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "E", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK<ES>JM75FV<ES>           1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82KK<TR>JM75FV               1206Z",
     SpotProblem::None, "50.313", "IO82KK", "JM75FV", "TR", false},
    {"DX de G7RAU:     50313.0  9H1TX        <ES> IO82 JM75                 1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        MS IO82 JM75                   1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "MS", false},
    {"DX de G7RAU:     50313.0  9H1TX        Es IO82 JM75                   1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82<ES>JM75 TNX ES 73          1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "ES", true},
    {"DX de G7RAU:     50313.0  9H1TX        IO82<ES>JM75 tnx ms             1206Z",
     SpotProblem::None, "50.313", "IO82", "JM75", "ES", true},
    {"DX de G7RAU:    144174.0  9H1TX        IO82<ES>JM75 ms?                1206Z",
     SpotProblem::None, "144.174", "IO82", "JM75", "ES", true},
    {"DX de SV1DH:     50110.0  ZS6XYZ       KM18<TE>KG44                   0700Z",
     SpotProblem::None, "50.11", "KM18", "KG44", "TE", false},
    {"DX de SV1DH:     50110.0  ZS6XYZ       KM18<TEP>KG44                  0700Z",
     SpotProblem::None, "50.11", "KM18", "KG44", "TEP", false},
    {"DX de SV1DH:     50110.0  ZS6XYZ       KM18 TEP KG44                  0700Z",
     SpotProblem::None, "50.11", "KM18", "KG44", "TEP", false},
    {"DX de SV1DH:     50110.0  ZS6XYZ       KM18 tep KG44                  0700Z",
     SpotProblem::None, "50.11", "KM18", "KG44", "TEP", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<AU>KO29                   2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AU", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30 aurora KO29               2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AURORA", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30 Aurora KO29               2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AURORA", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30 AU-E KO29                 2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AU-E", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30 Au-Es KO29                2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AU-ES", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30 AuEs KO29                 2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AUES", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30 AUES KO29                 2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AUES", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<meteor>KO29               2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "METEOR", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<TROPO>KO29                2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "TROPO", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<AS>KO29                   2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "AS", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<ISS>KO29                  2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "ISS", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<SAT>KO29                  2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "SAT", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<LOS>KO29                  2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "LOS", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<DUCT>KO29                 2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "DUCT", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<FAI>KO29                  2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "FAI", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<TEP>KO29                  2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "TEP", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<BS>KO29                   2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "BS", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<RS>KO29                   2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "RS", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<IRS>KO29                  2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "IRS", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<EME>KO29                  2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "EME", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<GL>KO29                   2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "GL", false},
    {"DX de OH5LK:    144300.0  ES2XYZ       KP30<Es>KO29                   2130Z",
     SpotProblem::None, "144.3", "KP30", "KO29", "ES", true},
    {"DX de EA5/ON4CA   50099.0  OZ1ABC       JN00<ES>JO55 CW 599            1206Z",
     SpotProblem::None, "50.099", "JN00", "JO55", "ES", true},
    {"DX de G4ABC:   122250000.0  F6XYZ       IO91<TR>JN18                   2015Z",
     SpotProblem::None, "122250", "IO91", "JN18", "TR", false},
    {"DX de G4ABC:    432100.0  F6XYZ        IO91<TR>JN18                   2015Z",
     SpotProblem::None, "432.1", "IO91", "JN18", "TR", false},
    {"DX de G4ABC:     70200.0  EI9XX        IO91 ES IO63                   2015Z",
     SpotProblem::None, "70.2", "IO91", "IO63", "ES", true},
    {"DX de G4ABC:     28885.0  PY2XX        IO91<F2>GG66                   2015Z",
     SpotProblem::None, "28.885", "IO91", "GG66", "F2", false},
    {"DX de G4ABC:      7074.0  PY2XX        IO91 GG66 FT8                  2015Z",
     SpotProblem::None, "7.074", "IO91", "GG66", "", true},
    {"DX de G4ABC:     50313.5  PY2XX        IO91 GG66 FT8                  2015Z",
     SpotProblem::None, "50.3135", "IO91", "GG66", "", true},
    {"DX de G4ABC:     50.3135  PY2XX        IO91 GG66 FT8                  2015Z",
     SpotProblem::None, "50.3135", "IO91", "GG66", "", true},
    {"DX de G4ABC:  50313  PY2XX  IO91 GG66 FT8  2015Z", SpotProblem::None, "50.313", "IO91",
     "GG66", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 qrg 50.110 IL18           1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       (JO40) [IL18]                  1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40:IL18                      1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40~IL18                      1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40,IL18                      1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40.IL18                      1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40_IL18                      1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40+IL18                      1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18                   1206z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18                           1206Z JO40MM",
     SpotProblem::None, "50.313", "JO40MM", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18                           1206Z JO40MM12",
     SpotProblem::None, "50.313", "JO40MM", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18                           1206Z jo40",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18                           1206Z MD",
     SpotProblem::OneLocator},
    {"DX de W3LPL:     50313.0  EA8XXX       IL18 FT8                       1206Z FM19",
     SpotProblem::None, "50.313", "FM19", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18 599                       1206Z JO40 \a\a",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18 599                       1206Z\a\aJO40",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18 599 JO40", SpotProblem::None, "50.313", "IL18",
     "JO40", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       loc IL18 heard in JO40", SpotProblem::None, "50.313",
     "IL18", "JO40", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18                   1206Z JN58",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18 1206Z", SpotProblem::None, "50.313",
     "JO40", "IL18", "ES", true},
    {"DX de DK7UK: 50313.0 EA8XXX JO40<ES>IL18 1206Z JO40", SpotProblem::None, "50.313", "JO40",
     "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       <ES> IL18                      1206Z JO40",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18 ES                        1206Z JO40",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       IL18 TR                        1206Z JO40",
     SpotProblem::None, "50.313", "JO40", "IL18", "TR", false},
    {"DX de DK7UK:     50313.0  EA8XXX       TR IL18                        1206Z JO40",
     SpotProblem::None, "50.313", "JO40", "IL18", "TR", false},
    {"DX de DK7UK:     50313.0  EA8XXX       FT8 -12dB from IL18             1206Z JO40",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 - IL18 via ES, prob. TEP   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18 tnx for 1st QSO    1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18 new one 59+       1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 GL                    1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 tr                    1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "TR", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 ms                    1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "MS", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 sat                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "SAT", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 au                    1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "AU", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 rs                    1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "RS", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 big sig               1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 QRV till 1400         1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 til 1400Z             1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 QSB                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 TNX                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 FT4                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 Q65                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 SSB 5/9               1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 LSB                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 via EA8/OH60AA       1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 Es w/ EA8/DL1ABC     1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"50313.0 EA8XXX JO40<ES>IL18", SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"50.313 EA8XXX JO40<ES>IL18", SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"50.313 JO40<ES>IL18", SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"50.313 JO40 ES IL18", SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"50,313 JO40 IL18", SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"144.174 JO62QM > JN58TD", SpotProblem::None, "144.174", "JO62QM", "JN58TD", "", true},
    {"144174 JO62QM JN58TD TR", SpotProblem::None, "144.174", "JO62QM", "JN58TD", "TR", false},
    {"50.313 OH60AA IL18", SpotProblem::None, "50.313", "OH60AA", "IL18", "", true},
    {"50.313 OH60AA JO40 IL18", SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"50.313 HG50HQ JO40 IL18", SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"50.313 KP20 IL18 JO40", SpotProblem::None, "50.313", "KP20", "IL18", "", true},
    {"50313.0 OH60AA IO91 KP20", SpotProblem::None, "50.313", "IO91", "KP20", "", true},
    {"50.313 IO91 KP20 OH60AA", SpotProblem::None, "50.313", "IO91", "KP20", "", true},
    {"50313.0  OH60AA      14-Jun-2026 1206Z  IO91<ES>KP20            <G4ABC>", SpotProblem::None,
     "50.313", "IO91", "KP20", "ES", true},
    {"  50313.0  EA8XXX      14-Jun-2026 1206Z  FT8 -12dB IL18          <DK7UK>",
     SpotProblem::OneLocator},
    {"  50313.0  EA8XXX      14-Jun-2026 1206Z  IL18<ES>JO40             <DK7UK-#>",
     SpotProblem::None, "50.313", "IL18", "JO40", "ES", true},
    {"  50313.0  EA8XXX      14-Jun-2026 1206Z  IL18<ES>JO40             <DK7UK>\a\a",
     SpotProblem::None, "50.313", "IL18", "JO40", "ES", true},
    {"  50313.0 EA8XXX 14-Jun-2026 1206Z IL18<ES>JO40 <DK7UK> JO40", SpotProblem::None, "50.313",
     "IL18", "JO40", "ES", true},
    {"DK7UK      50313.0  EA8XXX       JO40<ES>IL18                 1206 14 Jun 2026",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DK7UK      50313.0  EA8XXX       JO40<ES>IL18                 1206Z 14 Jun 2026",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"14-Jun-2026 1206Z DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"14.06.2026 12:06:33 DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"<12:06:33> DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z", SpotProblem::None,
     "50.313", "JO40", "IL18", "ES", true},
    {"(12:06) DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z", SpotProblem::None,
     "50.313", "JO40", "IL18", "ES", true},
    {"12:06:33 > DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z", SpotProblem::None,
     "50.313", "JO40", "IL18", "ES", true},
    {"2026-06-14T12:06:33Z DX de DK7UK:     50313.0  EA8XXX       JO40<ES>IL18     1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DB0SUE-7 de DK7UK 14-Jun-2026 1206Z >", SpotProblem::NotASpot},
    {"DK7UK de DB0SUE-7 14-Jun-2026 1206Z dxspider >", SpotProblem::NotASpot},
    {"dxspider >", SpotProblem::NotASpot},
    {"login: DK7UK", SpotProblem::NotASpot},
    {"Hello Uwe, this is DB0SUE-7 in Berlin, JO62QM", SpotProblem::NotASpot},
    {"running DXSpider v1.57 build 537", SpotProblem::NotASpot},
    {"Cluster: 420 nodes, 1 local / 2345 total users  Max users 3456  Uptime 12 14:22",
     SpotProblem::NotASpot},
    {"DK7UK de DB0SUE-7: your QTH is JO62QM, 50 MHz", SpotProblem::NotASpot},
    {"To ALL de SV1DH: 50.110 open to KM18 from JN", SpotProblem::NotASpot},
    {"To ALL de SV1DH <12:06Z>: 50MHz Es JN58 to KM18", SpotProblem::NotASpot},
    {"WX de DB0SUE: 25C sunny", SpotProblem::NotASpot},
    {"ANN de SV1DH: hi", SpotProblem::NotASpot},
    {"12:06 14-Jun-2026 50313.0 EA8XXX JO40<ES>IL18", SpotProblem::None, "50.313", "JO40", "IL18",
     "ES", true},
    {"12:06Z 50.313 EA8XXX JO40 IL18", SpotProblem::None, "50.313", "JO40", "IL18", "", true},
    {"2026-06-14 12:06 50313 EA8XXX JO40<ES>IL18", SpotProblem::None, "50.313", "JO40", "IL18",
     "ES", true},
    {"50313.0 EA8XXX JO40<ES>IL18 DK7UK", SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"50313.0 EA8XXX JO40<ES>IL18 1206Z", SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"73", SpotProblem::NotASpot},
    {"73 de DK7UK tnx", SpotProblem::NotASpot},
    {"qrv 50.313 from JO40", SpotProblem::NoSpotForm},
    {"50313.0\tEA8XXX\tJO40<ES>IL18\tDK7UK\t12:06 14/06", SpotProblem::None, "50.313", "JO40",
     "IL18", "ES", true},
    {"DK7UK\t50313.0\tEA8XXX\tFT8 -12dB IL18\t1206Z\tJO40", SpotProblem::None, "50.313", "JO40",
     "IL18", "", true},
    {"EA8XXX\t50313.0\tDK7UK\tJO40<ES>IL18\t1206Z", SpotProblem::None, "50.313", "JO40", "IL18",
     "ES", true},
    {"1206Z\tDK7UK\t50313.0\tEA8XXX\tJO40 ES IL18\tCanary Is.", SpotProblem::None, "50.313", "JO40",
     "IL18", "ES", true},
    {"50313.0\tOH60AA\tJO40<ES>KP20\tDK7UK\t1206Z", SpotProblem::None, "50.313", "JO40", "KP20",
     "ES", true},
    {"50313.0\tEA8XXX\tJO40\tIL18\tDK7UK\t1206Z", SpotProblem::None, "50.313", "JO40", "IL18", "",
     true},
    {"12:06\t50.313\tEA8XXX\tJO40<TR>IL18\tDK7UK", SpotProblem::None, "50.313", "JO40", "IL18",
     "TR", false},
    {"50,313\tEA8XXX\tJO40<ES>IL18\tDK7UK\t12:06", SpotProblem::None, "50.313", "JO40", "IL18",
     "ES", true},
    {"DK7UK\t144174.0\tEA8XXX\tJO40qm12<ES>IL18tb34\t1206Z", SpotProblem::None, "144.174", "JO40QM",
     "IL18TB", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       jo40QM<es>il18                 1206Z",
     SpotProblem::None, "50.313", "JO40QM", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 <ES> IL18                 1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 -> IL18 (ES)              1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       (TR) JO40 IL18                 1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "TR", false},
    {"DX de DK7UK:     50313.0  EA8XXX       Tropo JO40-IL18                1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "TROPO", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 IL18 Tnx Tropo            1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "TROPO", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 Es IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "ES", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40<AU>IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "AU", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 au IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "AU", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 ms IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "MS", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 Ms IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "MS", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 Ms IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "MS", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 sat IL18                  1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "SAT", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 tep IL18                  1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "TEP", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 f2 IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "F2", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 fai IL18                  1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "FAI", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 rs IL18                   1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "RS", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 eme IL18                  1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "EME", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 aue IL18                  1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "AUE", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 au-e IL18                 1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "AU-E", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 Au-E IL18                 1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "AU-E", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 Aurora-E IL18             1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "AURORA-E", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 sporadic-E IL18           1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "SPORADIC-E", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 SpE IL18                  1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "SPE", true},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 TROPO-DUCT IL18           1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "TROPO", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 tr-es IL18                1206Z",
     SpotProblem::None, "50.313", "JO40", "IL18", "TR", false},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40 <ES> JO40                 1206Z",
     SpotProblem::SameLocators},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40MM<ES>JO40                 1206Z",
     SpotProblem::SameLocators},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40AB<ES>JO40AB12             1206Z",
     SpotProblem::SameLocators},
    {"DX de DK7UK:     50313.0  EA8XXX       JO40AB12<ES>JO40AB34           1206Z",
     SpotProblem::SameLocators},
};

TEST(SpotReader, ReadsRealisticClusterOutputInEveryLocale) {
    for (const char *name :
         {"C", "de_DE.UTF-8", "pl_PL.UTF-8", "fr_FR.UTF-8", "tr_TR.UTF-8", "en_US.UTF-8"}) {
        const ProcessLocale locale(name);
        EXPECT_TRUE(locale.Set) << name << " is not installed";
        for (const ClusterCase &c : RealisticLines) {
            const SpotReading reading = ReadSpot(c.Line);
            const std::string context = std::string(name) + ": " + c.Line;
            EXPECT_EQ(reading.Problem, c.Problem) << context;
            if (c.Problem == SpotProblem::None) {
                EXPECT_EQ(reading.Read.FreqMHzText, c.Freq) << context;
                EXPECT_EQ(reading.Read.FromLoc, c.From) << context;
                EXPECT_EQ(reading.Read.ToLoc, c.To) << context;
                EXPECT_EQ(reading.Read.Tag, c.Tag) << context;
                EXPECT_EQ(reading.Read.Es, c.Es) << context;
            }
        }
    }
}

} // namespace
} // namespace ionvane::spot
