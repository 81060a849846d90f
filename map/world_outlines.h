// The world the map is drawn on: land polygons and the borders between countries, read once from
// the Natural Earth outlines built into the program.
#pragma once

#include "topojson.h"

#include <QByteArray>

#include <memory>
#include <string>

namespace ionvane::map {

struct WorldOutlines {
    std::vector<GeoLine> Land;    ///< closed rings: outer rings and holes alike, to fill even-odd
    std::vector<GeoLine> Borders; ///< open lines between two countries
};

struct WorldOutlinesResult {
    std::shared_ptr<const WorldOutlines> Value; ///< null when the outlines cannot be read
    std::string Error;                          ///< why, naming the file
};

/// Builds the outlines from two TopoJSON texts: the land rings of `landJson` (object "land") and
/// the shared arcs of `countriesJson` (object "countries").
WorldOutlinesResult MakeWorldOutlines(const QByteArray &landJson, const QByteArray &countriesJson);

/// The outlines built into the program (Natural Earth 1:50m from world-atlas 2.0.2).
WorldOutlinesResult LoadWorldOutlines();

} // namespace ionvane::map
