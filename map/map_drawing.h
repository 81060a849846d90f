// What the map's painting shares: its colours and sizes, lines projected in km and scaled to
// pixels, labels with halos, cloud patches and arrows. Internal to the map.
#pragma once

#include "map_scene.h"
#include "world_outlines.h"

#include <QColor>
#include <QFontMetricsF>
#include <QHash>
#include <QPen>
#include <QPolygonF>
#include <QRectF>
#include <QStaticText>
#include <QString>

#include <array>
#include <vector>

class QPainter;

namespace ionvane::map {

// A label laid out once: its text shaped (which costs more than drawing its glyphs, and each
// label is drawn nine times for its halo) and its box round the baseline's start.
struct LabelText {
    QStaticText Text;
    QRectF Box;
};

// Colours chosen to read at arm's length and for the common red-green colour weaknesses: a pale
// sea and a pale warm land so that saturated cloud colours stand out, and cloud classes that
// differ in lightness as well as in hue (dark blue, green, orange, red-magenta).
inline const QColor OutsideColour(0x4a, 0x50, 0x57);
inline const QColor SeaColour(0xdc, 0xe8, 0xf2);
inline const QColor LandColour(0xf1, 0xec, 0xdf);
inline const QColor CoastColour(0x7c, 0x93, 0xa8);
inline const QColor BorderColour(0xb3, 0xa5, 0x8c);
inline const QColor GridColour(0x6a, 0x5a, 0x9a, 0x90);
inline const QColor FieldLabelColour(0x5a, 0x4a, 0x8a, 0xc0);
inline const QColor RingColour(0x3a, 0x5f, 0x85, 0xa0);
inline const QColor RingTextColour(0x2a, 0x45, 0x62);
inline const QColor TextColour(0x20, 0x24, 0x28);
inline const QColor HaloColour(0xff, 0xff, 0xff, 0xd0);
inline const QColor HomeColour(0xc0, 0x10, 0x10);
inline const QColor SelectedColour(0x10, 0x10, 0x10);

// Laid-out labels by font and text, kept from repaint to repaint: the field names, ring
// distances and home do not change while the map is panned and zoomed.
class LabelTexts {
  public:
    // `dpi`: the logical dots per inch of the device painted on, by which the font has its
    // pixel size.
    const LabelText &Get(const QFont &font, int dpi, const QString &text) {
        const QString key = font.key() + QChar(u'\n') + QString::number(dpi) + QChar(u'\n') + text;
        auto found = Texts.find(key);
        if (found == Texts.end()) {
            // A bound for a window left open for days whose selected-band labels keep changing.
            if (Texts.size() >= MaxTexts) {
                Texts.clear();
            }
            QStaticText staticText(text);
            staticText.setTextFormat(Qt::PlainText);
            found = Texts.insert(key, {staticText, QFontMetricsF(font).boundingRect(text)});
        }
        return *found;
    }

    /// The halo drawn behind each label: white by day, near-black by night.
    QColor Halo = HaloColour;

  private:
    // The 324 field names, the ring and home labels in two or three fonts, and room to spare.
    static constexpr qsizetype MaxTexts = 2000;
    QHash<QString, LabelText> Texts;
};

// Opacity of cloud patches (0..255): opaque enough to read the class, light enough to show the
// coast under them; fading clouds at about half.
inline constexpr int CloudAlpha = 200;
inline constexpr int FadingCloudAlpha = 100;
inline constexpr int PathAlpha = 180;

// Interpolation steps (km) of projected lines: at the zoom that shows a whole hop a 100 km chord
// strays from the arc by well under a pixel.
inline constexpr double PathStepKm = 100.0;
inline constexpr double GridStepDeg = 1.0;

// Within about 1,300 km of the antipode the projection stretches a 100 km step of a coastline
// into more than 1,500 km across the map; such a step is not a line on the ground but the map
// tearing, and is not drawn.
inline constexpr double TearKm = 1500.0;

// The world disc is filled as a plain rectangle when every corner of the view lies this far
// (logical pixels) inside its edge: there its smoothed edge covers each pixel whole.
inline constexpr double DiscMarginPx = 2.0;

// Outline points closer than this (device pixels) to the last kept one add nothing visible.
inline constexpr double DecimateDevicePx = 0.6;

// Smallest on-screen sizes (logical pixels) so that clouds and drift stay visible zoomed out.
inline constexpr double MinCloudRadiusPx = 7.0;
inline constexpr double MinDriftArrowPx = 16.0;
// Cloud patches up to this radius (logical pixels) are drawn once per class and zoom and then
// copied: a smoothed circle with a 1.5 px edge costs the path stroker every time.
inline constexpr double MaxSpriteRadiusPx = 120.0;
// A double hop's reflection points: dots small beside a cloud patch (MinCloudRadiusPx), so that a
// point within a cloud shows on it, and the thin line between them (logical pixels).
inline constexpr double HopMarkRadiusPx = 4.0;
inline constexpr double HopLinePx = 1.5;
// A drift arrow shows where the cloud will be in this many hours at its speed.
inline constexpr double DriftArrowHours = 1.0;

// Range rings (km) always drawn; the one-hop ring comes on top.
inline constexpr std::array<double, 3> RangeRingsKm{500.0, 1000.0, 2000.0};
// Bearing (degrees) along which the ring distances are written: south-south-east, away from the
// busy north-east quadrant of a European map.
inline constexpr double RingLabelBearingDeg = 160.0;

// Rings are labelled from this radius (logical pixels) up, where the text fits inside them.
inline constexpr double MinLabelledRingPx = 40.0;
// Free room round each field label (logical pixels): zoomed out, every other field is labelled
// rather than a wall of letters.
inline const QSizeF FieldLabelSpacingPx(12, 8);

// Maidenhead fields: 20 degrees of longitude by 10 of latitude, 18 by 18 of them.
inline constexpr int FieldCount = 18;
inline constexpr double FieldLonDeg = 20.0;
inline constexpr double FieldLatDeg = 10.0;

// Paths are drawn in this many shades, from the oldest drawn (palest) to the newest: a colour
// change per path would cost more than the line.
inline constexpr int PathShades = 4;

// The shade (0 palest .. PathShades - 1) of a path of `weight` (FadedPathWeight .. 1).
int PathShade(double weight);

// The opacity (0..255) of paths of `shade`: PathAlpha for the newest, down to FadedPathWeight of
// it.
int PathShadeAlpha(int shade);

// Thin lines are one device pixel wide: Qt draws those with its fast line drawer, where a wider
// pen (two device pixels at 200%) goes through the path stroker, several times slower.
QPen ThinPen(const QColor &colour, Qt::PenStyle style = Qt::SolidLine);

QPointF ToPlanePixels(PlanePoint p, double pixelsPerKm);

// Whether the segment from the first point to the second is no line on the ground.
using SegmentCut = bool (*)(GeoPoint, GeoPoint);

// A projected line cut where the map tears (see TearKm) and where `isCut` (if any) says a
// segment is no line on the ground.
std::vector<std::vector<PlanePoint>> ProjectLine(const AzimuthalEquidistant &projection,
                                                 const GeoLine &line, SegmentCut isCut = nullptr);

// The outlines are cut along the date line and close Antarctica along the South Pole's edge of
// the longitude-latitude plane: those edges are on no coast.
bool IsOutlineCut(GeoPoint a, GeoPoint b);

// Whether `point` lies inside `ring`, taken in the longitude-latitude plane.
bool RingContains(const GeoLine &ring, GeoPoint point);

GeoPoint Antipode(GeoPoint p);

QString FieldName(int lonIndex, int latIndex);

// `ring` cut to `rect`; see the definition.
QPolygonF ClippedToRect(const QPolygonF &ring, const QRectF &rect);

// A line in pixels with its bounds.
struct Line {
    QPolygonF Points;
    QRectF Bounds;
};

// `points` (km) as pixels at `pixelsPerKm`, leaving out points within `tolerancePx` of the last
// one kept.
Line ToScreenLine(const std::vector<PlanePoint> &points, double pixelsPerKm, double tolerancePx);

// The bounds of `points` in km with y down, as ToPlanePixels lays them out at one pixel a km.
QRectF PlaneBounds(const std::vector<PlanePoint> &points);

// Whether a line with plane bounds `boundsKm` may show in `visiblePx` at `pixelsPerKm`.
bool MayShow(const QRectF &boundsKm, double pixelsPerKm, const QRectF &visiblePx);

// Draws `text` centred on `at` with a white halo, unless it would cover a label already placed.
bool PlaceLabel(QPainter &painter, LabelTexts &texts, const QString &text, QPointF at,
                const QColor &colour, std::vector<QRectF> &placed, QSizeF spacing = {3, 2});

// One cloud patch: translucent fill in its class colour, a darker edge, dashed when fading.
void DrawCloud(QPainter &painter, QPointF at, double radiusPx, FreqClass freqClass, bool fading);

void DrawArrow(QPainter &painter, QPointF from, QPointF to, const QColor &colour);

} // namespace ionvane::map
