// Where a drifting cloud will be in a quarter of an hour, as the tracker's nowcast gives it: a
// faint arrow head on the map, paler than the drift arrow, since it is a forecast and not a
// sighting. Internal to the map.
#pragma once

#include "map_view_caches.h"

#include <QColor>
#include <QRectF>

#include <vector>

class QPainter;

namespace ionvane::map {

/// Opacity of a nowcast's arrow head, of the map's text colour (0-255): about a third, so that it
/// reads as a hint beside the drift arrow, which is drawn at full strength.
inline constexpr int NowcastHeadAlpha = 90;
/// The arrow head's length from tip to base, logical pixels: a little larger than the drift
/// arrow's head (7 px), so that its outline shows through its faint fill.
inline constexpr double NowcastHeadPx = 10.0;

/// The arrow heads of the live clouds of `clouds` that carry a nowcast, each with its tip at the
/// nowcast point and pointing away from the cloud's position; those outside `visible` (the plane
/// at `pixelsPerKm`, origin at home) are left out.
void PaintNowcastHeads(QPainter &painter, const std::vector<PlaneScene::Cloud> &clouds,
                       double pixelsPerKm, const QRectF &visible, const QColor &textColour);

} // namespace ionvane::map
