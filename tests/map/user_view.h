// The map as its pictures and its benchmark show it: 1000x800 logical pixels (a maximised window
// on a small laptop screen) with the built-in world outlines, and the wheel turned over its middle.
#pragma once

#include "map/map_view.h"
#include "map/world_outlines.h"

#include <QApplication>
#include <QWheelEvent>

#include <cstdio>

namespace ionvane::map::testing {

/// Sizes `view` and gives it `outlines`; false, with the reason on stderr, when they did not read.
inline bool SetUpUserView(MapView &view, const WorldOutlinesResult &outlines) {
    if (!outlines.Value) {
        std::fprintf(stderr, "%s\n", outlines.Error.c_str());
        return false;
    }
    view.resize(1000, 800);
    view.SetOutlines(outlines.Value);
    return true;
}

/// One wheel notch over the middle of the view: 120 eighths of a degree (Qt's notch), out for a
/// negative `notches`.
inline void TurnWheel(MapView &view, int notches) {
    constexpr int NotchEighths = 120;
    const QPointF middle(view.width() / 2.0, view.height() / 2.0);
    QWheelEvent wheel(middle, middle, QPoint(), QPoint(0, notches * NotchEighths), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
}

} // namespace ionvane::map::testing
