// The map's colours by day and by night: the day palette reads on a bright screen in daylight, the
// night palette keeps a dark desktop dark (a bright map beside dark widgets dazzles at 2 a.m. and
// hides the cloud colours' contrast). Cloud and path classes keep their colours in both.
#pragma once

#include <QColor>
#include <QPalette>

namespace ionvane::map {

struct MapPalette {
    QColor Outside; ///< beyond the world's edge
    QColor Sea;
    QColor Land;
    QColor Coast;
    QColor Border;
    QColor Grid; ///< the Maidenhead fields
    QColor FieldLabel;
    QColor Ring; ///< range rings
    QColor RingText;
    QColor Text;     ///< labels, legend, scale
    QColor Halo;     ///< behind labels and the selected line
    QColor Selected; ///< the selected band's line and the ringed cloud
    QColor BoxFill;  ///< legend and scale boxes
    QColor BoxEdge;
};

/// Pale sea and warm land so that saturated cloud colours stand out; dark text.
MapPalette DayPalette();
/// Dark blue sea and grey land, light text with a dark halo.
MapPalette NightPalette();

/// How the map chooses its palette.
enum class MapTheme { FollowDesktop, Day, Night };

/// Whether a desktop palette is dark: its window colour darker than mid-grey.
bool IsDark(const QPalette &desktop);

} // namespace ionvane::map
