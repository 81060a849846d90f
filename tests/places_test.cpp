// Placing calls: the country file's prefix rules against real entries of cty.dat, the words that
// are no call, bad files, and the grid memory's bound and ages.
#include "places/call_place.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ionvane::places;

// Real entries of cty.dat (hamradio-files 20230502), alias lines cut after a few entries.
constexpr std::string_view RealEntries =
    "Spain:                    14:  37:  EU:   40.32:     3.43:    -1.0:  EA:\n"
    "    AM,AN,AO,EA,EB,EC,ED,EE,EF,EG,EH,=AM95WARD,=AN92EXPO,=EF6,=EG90IARU;\n"
    "Canary Islands:           33:  36:  AF:   28.32:    15.85:     0.0:  EA8:\n"
    "    AM8,AN8,AO8,EA8,EB8,EC8,ED8,EE8,EF8,EG8,EH8,=AM70URE/8,=AN400L,=AN400U,=AO150ITU/8,\n"
    "    =AO150U;\n"
    "Ceuta & Melilla:          33:  37:  AF:   35.90:     5.27:    -1.0:  EA9:\n"
    "    AM9,AN9,AO9,EA9,EB9,EC9,ED9,EE9,EF9,EG9,EH9,=AM70URE/9,=EA1DFP/9,=EA4URE/9;\n"
    "Italy:                    15:  28:  EU:   42.82:   -12.58:    -1.0:  I:\n"
    "    4U,I,=II0PN/MM(40),=II1RT/N;\n"
    "Sicily:                   15:  28:  EU:   37.50:   -14.00:    -1.0:  *IT9:\n"
    "    IB9,ID9,IE9,IF9,II9,IJ9,IO9,IQ9,IR9,IT9,IU9,IW9,IY9,=II0GDF/9,=II0OGB;\n"
    "Belgium:                  14:  27:  EU:   50.70:    -4.85:    -1.0:  ON:\n"
    "    ON,OO,OP,OQ,OR,OS,OT,=ON3BLB/YL,=ON3TC/YL,=ON4BRC/J;\n"
    "Puerto Rico:              08:  11:  NA:   18.18:    66.55:     4.0:  KP4:\n"
    "    KP3,KP4,NP3,NP4,WP3,WP4,=AA2ZN,=AB2DR,=AB3DP,=AF4OU,=K1NDN,=K1QM;\n"
    "Rotuma Island:            32:  56:  OC:  -12.48:  -177.08:   -12.0:  3D2/r:\n"
    "    =3D2AG/P,=3D2EU,=3D2GC/P;\n"
    "Trinidad & Tobago:        09:  11:  SA:   10.38:    61.28:     4.0:  9Y:\n"
    "    9Y,9Z;\n"
    "United States of America: 05:  08:  NA:   37.60:    91.87:     5.0:  K:\n"
    "    AA,K,N,W,=W6GMT(4)[7];\n";

CountryFile RealFile() {
    CountryFile file;
    const CountryFileReading reading = file.Read(RealEntries);
    EXPECT_TRUE(reading.Read);
    EXPECT_EQ(reading.Entities, 10U);
    EXPECT_EQ(reading.SkippedLines, 0U);
    return file;
}

TEST(CountryFile, PlacesCallsByTheRulesOfTheFile) {
    const CountryFile file = RealFile();
    struct Case {
        const char *Call;
        const char *Entity; ///< "" for no place
        const char *Matched;
        double LonDeg; ///< east positive: the file writes west positive
    };
    const Case cases[] = {
        {"EA3XYZ", "Spain", "EA3", 1.8},             // a call area of Spain: Catalonia
        {"EA8URL", "Canary Islands", "EA8", -15.85}, // longest prefix: EA8 over EA
        {"ea8url", "Canary Islands", "EA8", -15.85}, // any case
        {"EA9AB", "Ceuta & Melilla", "EA9", -5.27},
        {"AM70URE/8", "Canary Islands", "=AM70URE/8", -15.85}, // an exact call with a stroke
        {"AM70URE/9", "Ceuta & Melilla", "=AM70URE/9", -5.27},
        {"EF6", "Spain", "=EF6", -3.43},                 // a call shorter than EA8's prefixes
        {"EA8/ON4CAU", "Canary Islands", "EA8", -15.85}, // working from another country
        {"ON4CAU/EA8", "Canary Islands", "EA8", -15.85}, // the same, written the other way
        {"ON4CAU/P", "Belgium", "ON", 4.85},             // portable: the call's own country
        {"ON4CAU/M", "Belgium", "ON", 4.85},
        {"K1ABC/KP4", "Puerto Rico", "KP4", -66.55},
        {"K1QM", "Puerto Rico", "=K1QM", -66.55},             // exact call over the prefix K
        {"K1QN", "United States of America", "K1", -71.5},    // New England
        {"K1QN/6", "United States of America", "K6", -119.5}, // moved to another call area
        {"IT9ABC", "Sicily", "IT9", 14.00},                   // an entity of the WAE list ("*IT9")
        {"IK0ABC", "Italy", "IK0", 12.6},                     // Italy's call area 0: Lazio
        {"4U1ABC", "Italy", "4U1", 8.0},
        {"3D2AG/P", "Rotuma Island", "=3D2AG/P", 177.08}, // only exact calls, with a stroke
        {"9Y4D", "Trinidad & Tobago", "9Y", -61.28},
        {"G4ABC/MM", "", "", 0},    // maritime mobile: on no land
        {"EA8URL/AM", "", "", 0},   // aeronautical mobile
        {"II0PN/MM", "", "", 0},    // even when the file lists the call
        {"JN48", "", "", 0},        // a locator is no call
        {"IO90IR", "", "", 0},      // nor a six-character one
        {"50313", "", "", 0},       // nor a number
        {"TEST", "", "", 0},        // nor a word
        {"ZS6ABC", "", "", 0},      // a prefix the file does not hold
        {"EA8//ON4CAU", "", "", 0}, // an empty part
        {"EA8URL<ES>", "", "", 0},  // characters no call holds
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Call);
        const auto place = file.Find(c.Call);
        ASSERT_EQ(place.has_value(), *c.Entity != '\0');
        if (!place) {
            continue;
        }
        EXPECT_EQ(place->Where->Name, c.Entity);
        EXPECT_EQ(place->Matched, c.Matched);
        EXPECT_DOUBLE_EQ(place->LonDeg, c.LonDeg);
    }
}

TEST(CountryFile, UncertaintyIsTheSizeOfTheEntity) {
    const CountryFile file = RealFile();
    EXPECT_EQ(file.Find("EA8URL")->UncertaintyKm, 250); // the islands span about 500 km
    EXPECT_EQ(file.Find("9Y4D")->UncertaintyKm, 70);    // a small island state
    EXPECT_EQ(file.Find("AA1AA/KP4")->UncertaintyKm, 90);
    EXPECT_EQ(file.Find("WA7ABC")->UncertaintyKm, 900); // a call area as large as a country
    EXPECT_EQ(file.Find("3D2AG/P")->UncertaintyKm, EntitySizeUnknownKm); // not in the table
}

TEST(CountryFile, BadLinesAreSkippedAndCountedAndTheRestRead) {
    CountryFile file;
    const CountryFileReading reading = file.Read(
        "Nowhere:  14:  xx:  EU:   40.32:     3.43:    -1.0:  QQ:\n" // an ITU zone of letters
        "    QQ,QR;\n"                                               // aliases of no entity
        "Canary Islands:           33:  36:  AF:   28.32:    15.85:     0.0:  EA8:\n"
        "    EA8,EA8<ES>,=EA8URL<28.1/15.4>;\n"                // one alias unreadable
        "Far:  1:  1:  EU:   91.00:     3.43:    -1.0:  ZZ:\n" // beyond the pole
        "    ZZ;\n");
    EXPECT_TRUE(reading.Read);
    EXPECT_EQ(reading.Entities, 1U);
    EXPECT_EQ(reading.SkippedLines, 5U);
    EXPECT_FALSE(file.Find("QQ1AB"));
    EXPECT_EQ(file.Find("EA8AB")->Where->Name, "Canary Islands");
    // An alias's own place overrides the entity's centre, west positive like the entity's.
    EXPECT_DOUBLE_EQ(file.Find("EA8URL")->LatDeg, 28.1);
    EXPECT_DOUBLE_EQ(file.Find("EA8URL")->LonDeg, -15.4);
}

TEST(CountryFile, AFileOfNothingUsableIsRefusedWithAReason) {
    struct Case {
        std::string Text;
        const char *Problem;
    };
    const Case cases[] = {
        {"", "it holds no entity with prefixes"},
        {"<html><body>Not found</body></html>\n", "it holds no entity with prefixes"},
        {std::string(MaxCountryFileBytes + 1, ' '),
         "it is larger than 4 MiB, which no country file is"},
    };
    for (const Case &c : cases) {
        CountryFile file;
        const CountryFileReading reading = file.Read(c.Text);
        EXPECT_FALSE(reading.Read);
        EXPECT_EQ(reading.Problem, c.Problem);
        EXPECT_FALSE(file.Find("EA8URL"));
    }
}

TEST(CallPlace, TheGridMemoryComesBeforeTheCountryFile) {
    const CountryFile file = RealFile();
    GridMemory memory;
    constexpr std::int64_t At1002 = 1781172120; // 2026-06-11T10:02:00Z
    memory.Learn("EA8URL", "IL18", At1002);
    const auto heard = CallPlace("EA8URL", At1002 + 600, &memory, &file);
    ASSERT_TRUE(heard);
    EXPECT_EQ(heard->By, PlacedBy::Heard);
    EXPECT_EQ(heard->Locator, "IL18MM");
    EXPECT_EQ(heard->Text, "heard with IL18 at 10:02");
    EXPECT_TRUE(PlacedWithin(*heard, LocatorPlace("JN48")));
    const auto prefix = CallPlace("EA8ABC", At1002, &memory, &file);
    ASSERT_TRUE(prefix);
    EXPECT_EQ(prefix->Text, "prefix EA8 (Canary Islands) +-250 km");
    EXPECT_EQ(CallPlace("K1QM", At1002, nullptr, &file)->Text, "call K1QM (Puerto Rico) +-90 km");
    EXPECT_FALSE(PlacedWithin(*CallPlace("WA7ABC", At1002, nullptr, &file), *prefix));
    EXPECT_FALSE(CallPlace("G4ABC/MM", At1002, &memory, &file));
}

TEST(GridMemory, GridsAreUsedForAStatedTime) {
    GridMemory memory;
    constexpr std::int64_t Heard = 1781172000;
    memory.Learn("EA8URL", "il18ab", Heard);
    memory.Learn("ON4CAU/P", "JO20", Heard);
    struct Case {
        const char *Call;
        std::int64_t After;
        bool Found;
    };
    const Case cases[] = {
        {"ea8url", 0, true},
        {"EA8URL", GridUsedForS, true},
        {"EA8URL", GridUsedForS + 1, false},
        {"EA8URL", -60, true}, // a sighting after now counts as now
        {"ON4CAU/P", MobileGridUsedForS, true},
        {"ON4CAU/P", MobileGridUsedForS + 1, false}, // portable: a shorter time
        {"ON4CAU", 0, false},                        // another call
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.Call) + " after " + std::to_string(c.After));
        EXPECT_EQ(memory.Find(c.Call, Heard + c.After).has_value(), c.Found);
    }
    EXPECT_EQ(memory.Find("EA8URL", Heard)->Grid, "IL18AB");
}

TEST(GridMemory, KeepsTheLatestSightingAndForgetsTheOldestCallBeyondItsBound) {
    GridMemory memory(3);
    memory.Learn("EA8URL", "IL18", 100);
    memory.Learn("EA8URL", "IL28", 50); // older than the one kept: ignored
    memory.Learn("JN48", "JN48", 100);  // no call
    memory.Learn("DL1ABC", "JO6", 100); // no grid
    memory.Learn("DL1ABC", "JO62", 200);
    memory.Learn("ON4CAU", "JO20", 300);
    EXPECT_EQ(memory.Size(), 3U);
    EXPECT_EQ(memory.Find("EA8URL", 300)->Grid, "IL18");
    memory.Learn("EA8URL", "IL28", 400); // heard again: now the newest
    memory.Learn("G4ABC", "IO91", 500);  // a fourth call: DL1ABC, heard longest ago, goes
    EXPECT_EQ(memory.Size(), 3U);
    EXPECT_FALSE(memory.Find("DL1ABC", 500));
    EXPECT_EQ(memory.Find("EA8URL", 500)->Grid, "IL28");

    GridMemory restored(3);
    EXPECT_EQ(restored.Load(memory.Save() + "EA8URL IL18\nBAD LINE 12\n"), 2U);
    EXPECT_EQ(restored.Save(), memory.Save());
}

} // namespace
