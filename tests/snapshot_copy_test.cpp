// Copies of the tracker's memories that outlive their originals, as the review's snapshots do: a
// copy once kept iterators into the original's containers, and the first forgetting after the
// original was gone freed what it no longer owned.
#include "places/grid_memory.h"
#include "tracker/counted_spots.h"

#include <gtest/gtest.h>

#include <memory>

namespace ionvane {
namespace {

constexpr tracker::UnixSeconds T0 = 1781431200; // 2026-06-14T10:00:00Z

TEST(SnapshotCopy, CountedSpotsForgetTheirOwnKeys) {
    auto original = std::make_unique<tracker::CountedSpots>();
    const tracker::SpotKey first{"DK7UK", "EA7XYZ", 501100, T0 / 60};
    const tracker::SpotKey second{"G4ABC", "S51ABC", 501000, T0 / 60 + 1};
    original->Count(T0, first);
    original->Count(T0 + 60, second);
    tracker::CountedSpots copy = *original;
    tracker::CountedSpots assigned;
    assigned = *original;
    original.reset();
    for (tracker::CountedSpots *spots : {&copy, &assigned}) {
        EXPECT_TRUE(spots->Seen(T0 + 120, first));
        // An hour after the first: it is forgotten, the second still counted.
        EXPECT_FALSE(spots->Seen(T0 + tracker::CountedOnceS, first));
        EXPECT_TRUE(spots->Seen(T0 + tracker::CountedOnceS, second));
        EXPECT_FALSE(spots->Seen(T0 + tracker::CountedOnceS + 60, second));
    }
}

TEST(SnapshotCopy, GridMemoryForgetsItsOwnOldestCalls) {
    auto original = std::make_unique<places::GridMemory>(2);
    original->Learn("DK7UK", "JO31", T0);
    original->Learn("G4ABC", "IO91", T0 + 60);
    places::GridMemory copy = *original;
    original.reset();
    // A third call pushes the oldest out of the copy's own order; a newer sighting moves one.
    copy.Learn("G4ABC", "IO92", T0 + 120);
    copy.Learn("EA7XYZ", "IM67", T0 + 180);
    EXPECT_EQ(copy.Size(), 2U);
    EXPECT_FALSE(copy.Find("DK7UK", T0 + 180).has_value());
    EXPECT_EQ(copy.Find("G4ABC", T0 + 180)->Grid, "IO92");
    EXPECT_EQ(copy.Find("EA7XYZ", T0 + 180)->Grid, "IM67");
}

} // namespace
} // namespace ionvane
