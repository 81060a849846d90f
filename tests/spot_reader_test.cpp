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
    EXPECT_EQ(ReadSpot("DX de A1BC: 500.5 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "0.5005");
    EXPECT_EQ(ReadSpot("0.5 JO01 JO02").Read.FreqMHzText, "0.5");
    EXPECT_EQ(ReadSpot("DX de A1BC: 50000 B2CD JO01 JO02 1200Z").Read.FreqMHzText, "50");
}

} // namespace
} // namespace ionvane::spot
