// Reading TopoJSON topologies (the format of the world outlines): quantized, delta-encoded arcs
// turned back into positions, and polygons as rings of positions stitched from those arcs.
#pragma once

#include "projection.h"

#include <QByteArray>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::map {

/// A line or ring of positions; a ring's last position repeats its first.
using GeoLine = std::vector<GeoPoint>;

/// Bounds on what a topology may hold. The world outlines at 1:50m are 0.5 to 0.8 MB with 1,959
/// arcs, 80,617 positions and 241 geometries; even the 1:10m files (3.7 MB) stay far below these.
constexpr std::size_t MaxTopologyBytes = 32 * 1024 * 1024;
constexpr std::size_t MaxTopologyArcs = 200'000;
constexpr std::size_t MaxTopologyPositions = 4'000'000;
constexpr std::size_t MaxTopologyArcReferences = 2'000'000;
constexpr std::size_t MaxTopologyGeometries = 100'000;
/// Positions of all rings once stitched: an arc may be referenced many times, so this bounds the
/// memory ObjectRings can take (the 1:50m countries stitch to about 160,000).
constexpr std::size_t MaxTopologyRingPositions = 8'000'000;
/// Geometry collections nested deeper than this are refused (the outlines nest one deep).
constexpr int MaxTopologyNesting = 8;

/// One polygon-bearing geometry of an object: its polygons, each a list of rings (outer ring
/// first, then holes), each ring a list of arc references. A reference i >= 0 names arc i; a
/// negative reference ~i (that is -1 - i) names arc i walked backwards.
struct TopoGeometry {
    std::vector<std::vector<std::vector<int>>> Polygons;
};

/// A named object of the topology: every Polygon and MultiPolygon found in it, in file order,
/// collections flattened. Points and lines are not kept.
struct TopoObject {
    std::string Name;
    std::vector<TopoGeometry> Geometries;
};

struct Topology {
    std::vector<GeoLine> Arcs; ///< decoded: absolute positions in degrees
    std::vector<TopoObject> Objects;
};

/// A topology, or the reason there is none.
struct TopologyResult {
    std::optional<Topology> Value;
    std::string Error; ///< empty when Value holds the topology
};

/// Reads a TopoJSON text. With a "transform", arc positions are quantized and delta-encoded
/// (each position after the first is an offset from the one before) and become
/// `position * scale + translate`; without one they are taken as they stand. Every position must
/// lie on the globe (latitude -90..90, longitude -180..180), every arc reference must name an
/// arc, and the bounds above hold; anything else is refused with a message naming the place.
TopologyResult ReadTopology(const QByteArray &json);

/// The rings of every polygon of object `objectName`, stitched from their arcs (each arc after
/// the first drops its first position, which repeats the last of the one before). Rings of
/// fewer than four positions enclose nothing and are left out. Empty for an unknown object.
std::vector<GeoLine> ObjectRings(const Topology &topology, std::string_view objectName);

/// The arcs that two different geometries of object `objectName` share, once each: between
/// countries, their land borders without the coasts.
std::vector<GeoLine> SharedArcs(const Topology &topology, std::string_view objectName);

} // namespace ionvane::map
