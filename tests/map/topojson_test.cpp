// The TopoJSON reader on small topologies made by hand: delta decoding, the transform, reversed
// arcs, rings stitched from arcs, shared borders, and the refusals with their messages.
#include "map/topojson.h"

#include <gtest/gtest.h>

#include <string>

using namespace ionvane::map;

namespace {

// Two one-by-ten-degree squares side by side along 0 E, sharing the edge 40..41 N at 0 E.
// Quantized with x = (lon + 10) / 0.5 and y = (lat - 40) / 0.25, delta-encoded:
//   arc 0, the shared edge:  (0 E 40 N) -> (0 E 41 N)
//   arc 1, the west square:  (0 E 41 N) -> (10 W 41 N) -> (10 W 40 N) -> (0 E 40 N)
//   arc 2, the east square:  (0 E 40 N) -> (10 E 40 N) -> (10 E 41 N) -> (0 E 41 N)
// West ring [0, 1]; east ring [2, ~0], arc 0 walked backwards; the land is [1, 2].
const char *const TwoSquares = R"({
  "type": "Topology",
  "transform": {"scale": [0.5, 0.25], "translate": [-10, 40]},
  "arcs": [
    [[20, 0], [0, 4]],
    [[20, 4], [-20, 0], [0, -4], [20, 0]],
    [[20, 0], [20, 0], [0, 4], [-20, 0]]
  ],
  "objects": {
    "countries": {"type": "GeometryCollection", "geometries": [
      {"type": "Polygon", "arcs": [[0, 1]], "properties": {"name": "West"}},
      {"type": "MultiPolygon", "arcs": [[[2, -1]]]},
      {"type": "Point", "coordinates": [3, 4]},
      {"type": null}
    ]},
    "land": {"type": "Polygon", "arcs": [[1, 2]]}
  }
})";

void ExpectRing(const GeoLine &ring, const std::vector<GeoPoint> &expected) {
    ASSERT_EQ(ring.size(), expected.size());
    for (std::size_t i = 0; i < ring.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(ring[i].LatDeg, expected[i].LatDeg);
        EXPECT_DOUBLE_EQ(ring[i].LonDeg, expected[i].LonDeg);
    }
}

Topology Read(const std::string &json) {
    TopologyResult result = ReadTopology(QByteArray::fromStdString(json));
    EXPECT_EQ(result.Error, "");
    return result.Value.value_or(Topology{});
}

std::string ErrorOf(const std::string &json) {
    const TopologyResult result = ReadTopology(QByteArray::fromStdString(json));
    EXPECT_FALSE(result.Value.has_value());
    return result.Error;
}

} // namespace

TEST(TopoJson, ArcsAreDeltaDecodedThroughTheTransform) {
    const Topology t = Read(TwoSquares);
    ASSERT_EQ(t.Arcs.size(), 3u);
    ExpectRing(t.Arcs[0], {{40, 0}, {41, 0}});
    ExpectRing(t.Arcs[1], {{41, 0}, {41, -10}, {40, -10}, {40, 0}});
    ExpectRing(t.Arcs[2], {{40, 0}, {40, 10}, {41, 10}, {41, 0}});
}

TEST(TopoJson, RingsAreStitchedWithReversedArcs) {
    const Topology t = Read(TwoSquares);
    const auto countries = ObjectRings(t, "countries");
    ASSERT_EQ(countries.size(), 2u);
    ExpectRing(countries[0], {{40, 0}, {41, 0}, {41, -10}, {40, -10}, {40, 0}});
    // ~0 walks the shared edge from 41 N down to 40 N, closing the east square.
    ExpectRing(countries[1], {{40, 0}, {40, 10}, {41, 10}, {41, 0}, {40, 0}});
    const auto land = ObjectRings(t, "land");
    ASSERT_EQ(land.size(), 1u);
    ExpectRing(land[0], {{41, 0}, {41, -10}, {40, -10}, {40, 0}, {40, 10}, {41, 10}, {41, 0}});
    EXPECT_TRUE(ObjectRings(t, "oceans").empty());
}

TEST(TopoJson, SharedArcsAreTheBordersOnly) {
    const Topology t = Read(TwoSquares);
    const auto borders = SharedArcs(t, "countries");
    ASSERT_EQ(borders.size(), 1u);
    ExpectRing(borders[0], {{40, 0}, {41, 0}});
    // One geometry using an arc twice (two of its own polygons) draws no border.
    EXPECT_TRUE(SharedArcs(t, "land").empty());
}

TEST(TopoJson, WithoutTransformPositionsStandAsTheyAre) {
    const Topology t = Read(R"({"type":"Topology","arcs":[[[0.5,40],[1.5,41.25],[2,40]]],
        "objects":{"x":{"type":"Polygon","arcs":[[0]]}}})");
    ASSERT_EQ(t.Arcs.size(), 1u);
    ExpectRing(t.Arcs[0], {{40, 0.5}, {41.25, 1.5}, {40, 2}});
    // Three positions are no ring.
    EXPECT_TRUE(ObjectRings(t, "x").empty());
}

TEST(TopoJson, BadDataIsRefusedWithItsPlace) {
    const std::string head = R"({"type":"Topology",)";
    const std::string unit = R"("transform":{"scale":[1,1],"translate":[0,0]},)";
    const std::string noObjects = R"("objects":{}})";
    struct Case {
        std::string Json, Error;
    };
    const Case cases[] = {
        {"", "not JSON: "},
        {"{\"type\":", "not JSON: "},
        {R"({"type":"FeatureCollection"})", "not a TopoJSON topology"},
        {"[1,2]", "not a TopoJSON topology"},
        {head + R"("transform":{"scale":[0,1],"translate":[0,0]},"arcs":[],)" + noObjects,
         "zero or non-finite"},
        {head + R"("transform":{"scale":[1e400,1],"translate":[0,0]},"arcs":[],)" + noObjects,
         "not JSON: illegal number"},
        {head + R"("transform":{"scale":[1],"translate":[0,0]},"arcs":[],)" + noObjects,
         "\"transform\" needs"},
        {head + noObjects, "\"arcs\" is missing"},
        {head + R"("arcs":[]})", "\"objects\" is missing"},
        {head + unit + R"("arcs":[[[0,0]]],)" + noObjects, "arc 0 has fewer than two positions"},
        {head + unit + R"("arcs":[[[0,0],[0,0]],[[0,0],["1",2]]],)" + noObjects,
         "arc 1, position 1 is not a pair of numbers"},
        {head + unit + R"("arcs":[[[0,0],[1]]],)" + noObjects,
         "arc 0, position 1 is not a pair of numbers"},
        {head + unit + R"("arcs":[[[0,0],[0.5,0]]],)" + noObjects,
         "arc 0, position 1 is not a whole number"},
        {head + unit + R"("arcs":[[[0,0],[4294967296,0]]],)" + noObjects,
         "arc 0, position 1 is not a whole number"},
        // Deltas 50 and 45 add up to latitude 95.
        {head + unit + R"("arcs":[[[0,50],[0,45]]],)" + noObjects,
         "arc 0, position 1 is off the globe (latitude 95"},
        {head + R"("arcs":[[[180.5,0],[0,0]]],)" + noObjects, "arc 0, position 0 is off the globe"},
        {head + R"("arcs":[[[0,0],[1,1]]],"objects":{"a":{"type":"Polygon","arcs":[[1]]}}})",
         "object \"a\": arc index 1 does not name one of the 1 arcs"},
        // ~1 would be arc 1 backwards, but there is only arc 0.
        {head + R"("arcs":[[[0,0],[1,1]]],"objects":{"a":{"type":"Polygon","arcs":[[-2]]}}})",
         "arc index -2 does not name"},
        {head + R"("arcs":[[[0,0],[1,1]]],"objects":{"a":{"type":"Polygon","arcs":[[0.5]]}}})",
         "arc index 0.5 does not name"},
        {head + R"("arcs":[[[0,0],[1,1]]],"objects":{"a":{"type":"Polygon","arcs":[["0"]]}}})",
         "arc index \"0\" does not name"},
        {head + R"("arcs":[],"objects":{"a":{"type":"Polygon","arcs":[0]}}})",
         "object \"a\": a ring is not an array"},
        {head + R"("arcs":[],"objects":{"a":{"type":"MultiPolygon"}}})",
         "object \"a\": a MultiPolygon without \"arcs\""},
        {head + R"("arcs":[],"objects":{"a":{"type":"GeometryCollection"}}})",
         "without \"geometries\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Json);
        const std::string error = ErrorOf(c.Json);
        EXPECT_NE(error.find(c.Error), std::string::npos) << error;
    }
}

TEST(TopoJson, SizesAreBounded) {
    EXPECT_NE(ErrorOf(std::string(MaxTopologyBytes + 1, ' ')).find("too large"), std::string::npos);

    // Collections nested one deeper than allowed.
    std::string nested = R"({"type":"Polygon","arcs":[]})";
    for (int depth = 0; depth <= MaxTopologyNesting; ++depth) {
        nested = R"({"type":"GeometryCollection","geometries":[)" + nested + "]}";
    }
    EXPECT_NE(ErrorOf(R"({"type":"Topology","arcs":[],"objects":{"a":)" + nested + "}}")
                  .find("nested too deep"),
              std::string::npos);

    // One arc of 100 positions referenced 100,000 times stitches to ten million positions: a few
    // hundred kilobytes of text must not take hundreds of megabytes.
    std::string arc = "[0,0]";
    for (int i = 1; i < 100; ++i) {
        arc += ",[0,0]";
    }
    std::string ring = "0";
    for (int i = 1; i < 100'000; ++i) {
        ring += ",0";
    }
    EXPECT_NE(ErrorOf(R"({"type":"Topology","arcs":[[)" + arc +
                      R"(]],"objects":{"a":{"type":"Polygon","arcs":[[)" + ring + "]]}}}")
                  .find("too many positions"),
              std::string::npos);
}
