#include "map_view.h"
#include "thin_lines.h"

#include <QAction>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStaticText>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <numbers>

namespace ionvane::map {

// A label laid out once: its text shaped (which costs more than drawing its glyphs, and each
// label is drawn nine times for its halo) and its box round the baseline's start.
struct LabelText {
    QStaticText Text;
    QRectF Box;
};

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

  private:
    // The 324 field names, the ring and home labels in two or three fonts, and room to spare.
    static constexpr qsizetype MaxTexts = 2000;
    QHash<QString, LabelText> Texts;
};

namespace {

// Colours chosen to read at arm's length and for the common red-green colour weaknesses: a pale
// sea and a pale warm land so that saturated cloud colours stand out, and cloud classes that
// differ in lightness as well as in hue (dark blue, green, orange, red-magenta).
const QColor OutsideColour(0x4a, 0x50, 0x57);
const QColor SeaColour(0xdc, 0xe8, 0xf2);
const QColor LandColour(0xf1, 0xec, 0xdf);
const QColor CoastColour(0x7c, 0x93, 0xa8);
const QColor BorderColour(0xb3, 0xa5, 0x8c);
const QColor GridColour(0x6a, 0x5a, 0x9a, 0x90);
const QColor FieldLabelColour(0x5a, 0x4a, 0x8a, 0xc0);
const QColor RingColour(0x3a, 0x5f, 0x85, 0xa0);
const QColor RingTextColour(0x2a, 0x45, 0x62);
const QColor TextColour(0x20, 0x24, 0x28);
const QColor HaloColour(0xff, 0xff, 0xff, 0xd0);
const QColor HomeColour(0xc0, 0x10, 0x10);
const QColor SelectedColour(0x10, 0x10, 0x10);

// Opacity of cloud patches (0..255): opaque enough to read the class, light enough to show the
// coast under them; fading clouds at about half.
constexpr int CloudAlpha = 200;
constexpr int FadingCloudAlpha = 100;
constexpr int PathAlpha = 180;

// Interpolation steps (km) of projected lines: at the zoom that shows a whole hop a 100 km chord
// strays from the arc by well under a pixel.
constexpr double PathStepKm = 100.0;
constexpr double GridStepDeg = 1.0;

// Within about 1,300 km of the antipode the projection stretches a 100 km step of a coastline
// into more than 1,500 km across the map; such a step is not a line on the ground but the map
// tearing, and is not drawn.
constexpr double TearKm = 1500.0;

// The world disc is filled as a plain rectangle when every corner of the view lies this far
// (logical pixels) inside its edge: there its smoothed edge covers each pixel whole.
constexpr double DiscMarginPx = 2.0;

// Outline points closer than this (device pixels) to the last kept one add nothing visible.
constexpr double DecimateDevicePx = 0.6;

// Smallest on-screen sizes (logical pixels) so that clouds and drift stay visible zoomed out.
constexpr double MinCloudRadiusPx = 7.0;
constexpr double MinDriftArrowPx = 16.0;
// Cloud patches up to this radius (logical pixels) are drawn once per class and zoom and then
// copied: a smoothed circle with a 1.5 px edge costs the path stroker every time.
constexpr double MaxSpriteRadiusPx = 120.0;
// A drift arrow shows where the cloud will be in this many hours at its speed.
constexpr double DriftArrowHours = 1.0;

// Range rings (km) always drawn; the one-hop ring comes on top.
constexpr std::array<double, 3> RangeRingsKm{500.0, 1000.0, 2000.0};
// Bearing (degrees) along which the ring distances are written: south-south-east, away from the
// busy north-east quadrant of a European map.
constexpr double RingLabelBearingDeg = 160.0;

// Rings are labelled from this radius (logical pixels) up, where the text fits inside them.
constexpr double MinLabelledRingPx = 40.0;
// Free room round each field label (logical pixels): zoomed out, every other field is labelled
// rather than a wall of letters.
const QSizeF FieldLabelSpacingPx(12, 8);

// Maidenhead fields: 20 degrees of longitude by 10 of latitude, 18 by 18 of them.
constexpr int FieldCount = 18;
constexpr double FieldLonDeg = 20.0;
constexpr double FieldLatDeg = 10.0;

// Thin lines are one device pixel wide: Qt draws those with its fast line drawer, where a wider
// pen (two device pixels at 200%) goes through the path stroker, several times slower.
QPen ThinPen(const QColor &colour, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, 1.0, style);
    pen.setCosmetic(true);
    return pen;
}

QPointF ToPlanePixels(PlanePoint p, double pixelsPerKm) {
    return {p.XKm * pixelsPerKm, -p.YKm * pixelsPerKm};
}

// Polyline points as pixels, dropping those within `tolerancePx` of the last kept one; the last
// point always stays so that closed rings stay closed.
// Written through the polygon's data: a zoom step rescales every outline on view, and growing
// the polygon point by point checks its sharing and room each time.
QPolygonF Decimated(const std::vector<PlanePoint> &points, double pixelsPerKm, double tolerancePx) {
    QPolygonF out(static_cast<qsizetype>(points.size()));
    QPointF *kept = out.data();
    qsizetype count = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF p = ToPlanePixels(points[i], pixelsPerKm);
        if (count == 0 || i + 1 == points.size() ||
            (p - kept[count - 1]).manhattanLength() >= tolerancePx) {
            kept[count++] = p;
        }
    }
    out.resize(count);
    return out;
}

// A projected line cut where the map tears (see TearKm) and where `isCut` says a segment is no
// line on the ground.
template <class IsCut>
std::vector<std::vector<PlanePoint>> ProjectLine(const AzimuthalEquidistant &projection,
                                                 const GeoLine &line, IsCut isCut) {
    std::vector<std::vector<PlanePoint>> pieces(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const PlanePoint p = projection.Forward(line[i]);
        if (i > 0 && !pieces.back().empty()) {
            const PlanePoint q = pieces.back().back();
            if (std::hypot(p.XKm - q.XKm, p.YKm - q.YKm) > TearKm || isCut(line[i - 1], line[i])) {
                pieces.emplace_back();
            }
        }
        pieces.back().push_back(p);
    }
    std::erase_if(pieces, [](const auto &piece) { return piece.size() < 2; });
    return pieces;
}

std::vector<std::vector<PlanePoint>> ProjectLine(const AzimuthalEquidistant &projection,
                                                 const GeoLine &line) {
    return ProjectLine(projection, line, [](GeoPoint, GeoPoint) { return false; });
}

// The outlines are cut along the date line and close Antarctica along the South Pole's edge of
// the longitude-latitude plane: those edges are on no coast.
bool IsOutlineCut(GeoPoint a, GeoPoint b) {
    const bool dateLine = std::fabs(a.LonDeg) == 180.0 && std::fabs(b.LonDeg) == 180.0;
    const bool poleEdge = a.LatDeg < -89.99 && b.LatDeg < -89.99;
    return dateLine || poleEdge;
}

// Whether `point` lies inside `ring`, taken in the longitude-latitude plane: right for the world
// outlines, whose rings never cross the date line and whose one polar ring runs along the edge.
bool RingContains(const GeoLine &ring, GeoPoint point) {
    bool inside = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const GeoPoint a = ring[i];
        const GeoPoint b = ring[j];
        if ((a.LatDeg > point.LatDeg) != (b.LatDeg > point.LatDeg) &&
            point.LonDeg <
                (b.LonDeg - a.LonDeg) * (point.LatDeg - a.LatDeg) / (b.LatDeg - a.LatDeg) +
                    a.LonDeg) {
            inside = !inside;
        }
    }
    return inside;
}

GeoPoint Antipode(GeoPoint p) {
    return {-p.LatDeg, p.LonDeg > 0 ? p.LonDeg - 180.0 : p.LonDeg + 180.0};
}

QString FieldName(int lonIndex, int latIndex) {
    return QString(QChar(u'A' + lonIndex)) + QChar(u'A' + latIndex);
}

// `ring` cut to `rect` (Sutherland-Hodgman, one edge of the rectangle at a time). The cut
// leaves edges along the rectangle, which must therefore lie off screen; what is inside keeps its
// even-odd parity. A huge ring (Eurasia is 9,000 points at 1:50m) mostly off screen would
// otherwise be rasterized whole on every paint.
QPolygonF ClippedToRect(const QPolygonF &ring, const QRectF &rect) {
    QPolygonF in = ring;
    QPolygonF out;
    const auto pass = [&](auto inside, auto cross) {
        out.clear();
        for (qsizetype i = 0; i < in.size(); ++i) {
            const QPointF a = in[i];
            const QPointF b = in[(i + 1) % in.size()];
            if (inside(a)) {
                out.push_back(a);
                if (!inside(b)) {
                    out.push_back(cross(a, b));
                }
            } else if (inside(b)) {
                out.push_back(cross(a, b));
            }
        }
        std::swap(in, out);
    };
    const auto atX = [](double x) {
        return [x](QPointF a, QPointF b) {
            return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
        };
    };
    const auto atY = [](double y) {
        return [y](QPointF a, QPointF b) {
            return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
        };
    };
    pass([&](QPointF p) { return p.x() >= rect.left(); }, atX(rect.left()));
    pass([&](QPointF p) { return p.x() <= rect.right(); }, atX(rect.right()));
    pass([&](QPointF p) { return p.y() >= rect.top(); }, atY(rect.top()));
    pass([&](QPointF p) { return p.y() <= rect.bottom(); }, atY(rect.bottom()));
    return in;
}

struct Line {
    QPolygonF Points;
    QRectF Bounds;
};

Line ToScreenLine(const std::vector<PlanePoint> &points, double pixelsPerKm, double tolerancePx) {
    Line line{Decimated(points, pixelsPerKm, tolerancePx), {}};
    line.Bounds = line.Points.boundingRect();
    return line;
}

// The bounds of `points` in km with y down, as ToPlanePixels lays them out at one pixel a km.
QRectF PlaneBounds(const std::vector<PlanePoint> &points) {
    if (points.empty()) {
        return {};
    }
    double left = points[0].XKm, right = left, top = -points[0].YKm, bottom = top;
    for (const PlanePoint &p : points) {
        left = std::min(left, p.XKm);
        right = std::max(right, p.XKm);
        top = std::min(top, -p.YKm);
        bottom = std::max(bottom, -p.YKm);
    }
    return {QPointF(left, top), QPointF(right, bottom)};
}

// Whether a line with plane bounds `boundsKm` may show in `visiblePx` at `pixelsPerKm`. Its
// pixels are a subset of its points scaled, so a line this rejects would be rejected by the
// bounds of its pixels too.
bool MayShow(const QRectF &boundsKm, double pixelsPerKm, const QRectF &visiblePx) {
    const QRectF scaled(QPointF(boundsKm.left() * pixelsPerKm, boundsKm.top() * pixelsPerKm),
                        QPointF(boundsKm.right() * pixelsPerKm, boundsKm.bottom() * pixelsPerKm));
    return scaled.left() <= visiblePx.right() && scaled.right() >= visiblePx.left() &&
           scaled.top() <= visiblePx.bottom() && scaled.bottom() >= visiblePx.top();
}

// Draws `text` centred on `at` with a white halo, unless it would cover a label already placed.
bool PlaceLabel(QPainter &painter, LabelTexts &texts, const QString &text, QPointF at,
                const QColor &colour, std::vector<QRectF> &placed, QSizeF spacing = {3, 2}) {
    const LabelText &label = texts.Get(painter.font(), painter.device()->logicalDpiY(), text);
    QRectF box = label.Box;
    box.moveCenter(at);
    const QRectF margin =
        box.adjusted(-spacing.width(), -spacing.height(), spacing.width(), spacing.height());
    for (const QRectF &other : placed) {
        if (other.intersects(margin)) {
            return false;
        }
    }
    placed.push_back(margin);
    // The halo is the text drawn white a pixel off in eight directions: glyphs come from the
    // glyph cache, where stroking the outline of the text costs a path per label.
    const QPointF topLeft(box.left(), box.top());
    painter.setPen(HaloColour);
    for (const QPointF offset : {QPointF(-1, -1), QPointF(0, -1), QPointF(1, -1), QPointF(-1, 0),
                                 QPointF(1, 0), QPointF(-1, 1), QPointF(0, 1), QPointF(1, 1)}) {
        painter.drawStaticText(topLeft + offset, label.Text);
    }
    painter.setPen(colour);
    painter.drawStaticText(topLeft, label.Text);
    return true;
}

// One cloud patch: translucent fill in its class colour, a darker edge, dashed when fading.
void DrawCloud(QPainter &painter, QPointF at, double radiusPx, FreqClass freqClass, bool fading) {
    QColor fill = FreqClassColour(freqClass);
    const QColor edge = fill.darker(160);
    fill.setAlpha(fading ? FadingCloudAlpha : CloudAlpha);
    painter.setBrush(fill);
    painter.setPen(QPen(edge, 1.5, fading ? Qt::DashLine : Qt::SolidLine));
    painter.drawEllipse(at, radiusPx, radiusPx);
}

void DrawArrow(QPainter &painter, QPointF from, QPointF to, const QColor &colour) {
    const QLineF shaft(from, to);
    if (shaft.length() < 1.0) {
        return;
    }
    const QLineF back = QLineF(to, from).unitVector();
    const double headPx = 7.0;
    const QPointF base = to + (back.p2() - back.p1()) * headPx;
    const QPointF across(-(back.p2() - back.p1()).y() * headPx * 0.5,
                         (back.p2() - back.p1()).x() * headPx * 0.5);
    const QPolygonF head{to, base + across, base - across};
    for (const auto &[pen, brush] : {std::pair{QPen(HaloColour, 4.0), QColor(HaloColour)},
                                     std::pair{QPen(colour, 1.8), colour}}) {
        painter.setPen(pen);
        painter.setBrush(brush);
        painter.drawLine(from, base);
        painter.drawPolygon(head);
    }
}

} // namespace

QColor FreqClassColour(FreqClass freqClass) {
    switch (freqClass) {
    case FreqClass::Below50MHz:
        return {0x1f, 0x5f, 0xc8};
    case FreqClass::From50MHz:
        return {0x1c, 0x9a, 0x3c};
    case FreqClass::From70MHz:
        return {0xf0, 0x8a, 0x00};
    case FreqClass::From144MHz:
        return {0xd8, 0x10, 0x4a};
    }
    return Qt::black;
}

// The outlines, grid and field labels projected around one home (km), filled once per home.
struct MapView::PlaneWorld {
    GeoPoint Home;
    const WorldOutlines *Outlines = nullptr;
    struct Ring {
        std::vector<PlanePoint> Points;
        bool HoldsAntipode = false;
    };
    std::vector<Ring> LandRings;
    std::vector<std::vector<PlanePoint>> Coasts, Borders, Grid;
    // The bounds of each ring and line (km, y down as on screen), to tell at any scale which
    // of them a view shows before making their pixels.
    std::vector<QRectF> LandBounds, CoastBounds, BorderBounds, GridBounds;
    struct Label {
        PlanePoint At;
        QString Text;
    };
    std::vector<Label> FieldLabels;
};

// The same in pixels for one scale, with bounds for skipping what is off screen. A ring or line
// gets its pixels when a view at this scale first shows it: zoomed in to a continent, most of
// the world is never drawn, and a zoom step would otherwise rescale all of it.
struct MapView::ScreenWorld {
    double PixelsPerKm = 0;
    double DevicePixelRatio = 0;
    std::vector<std::optional<Line>> LandRings, Coasts, Borders, Grid;
};

// The scene's paths and clouds projected around home (km), filled once per scene and home.
struct MapView::PlaneScene {
    struct Path {
        std::vector<std::vector<PlanePoint>> Pieces;
        FreqClass Class;
        GeoPoint From;
        GeoPoint To;
    };
    std::vector<Path> Paths;
    struct Cloud {
        PlanePoint Centre;
        std::optional<PlanePoint> DriftTo;
        FreqClass Class;
        bool Fading;
        bool Highlighted;
    };
    std::vector<Cloud> Clouds;
    std::vector<std::vector<PlanePoint>> SelectedLine;
    std::optional<PlanePoint> TryTowards;
};

struct MapView::ScreenScene {
    double PixelsPerKm = 0;
    double DevicePixelRatio = 0;
    struct Path {
        Line Points;
        FreqClass Class;
    };
    std::vector<Path> Paths;
    std::vector<Line> SelectedLine;
};

MapView::MapView(QWidget *parent) : QWidget(parent), Labels(std::make_unique<LabelTexts>()) {
    setObjectName("mapView");
    setFocusPolicy(Qt::WheelFocus);
    setMinimumSize(200, 150);
    setCursor(Qt::OpenHandCursor);
    ActHome = new QAction(tr("&Home"), this);
    ActHome->setObjectName("actMapHome");
    ActHome->setShortcut(Qt::Key_Home);
    ActHome->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ActHome->setToolTip(tr("Home in the middle, 3,000 km to the edge (Home)"));
    addAction(ActHome);
    connect(ActHome, &QAction::triggered, this, &MapView::GoHome);
    cmdMapHome = new QToolButton(this);
    cmdMapHome->setObjectName("cmdMapHome");
    cmdMapHome->setDefaultAction(ActHome);
    cmdMapHome->setCursor(Qt::ArrowCursor);
    cmdMapHome->move(8, 8);
}

MapView::~MapView() = default;

void MapView::SetHome(GeoPoint home, const QString &label) {
    Projection = AzimuthalEquidistant(home);
    HomeLabel = label;
    PlaneWorldCache.reset();
    ScreenWorldCache.reset();
    PlaneSceneCache.reset();
    StalePlaneScene.reset();
    ScreenSceneCache.reset();
    DropPictures();
    GoHome();
}

void MapView::SetOutlines(std::shared_ptr<const WorldOutlines> outlines, const QString &error) {
    Outlines = std::move(outlines);
    OutlinesError = error;
    PlaneWorldCache.reset();
    ScreenWorldCache.reset();
    DropPictures();
    update();
}

void MapView::SetScene(MapScene scene) {
    Data = std::move(scene);
    // Kept for the paths the next scene repeats; an older one kept already serves as well.
    if (PlaneSceneCache) {
        StalePlaneScene = std::move(PlaneSceneCache);
    }
    PlaneSceneCache.reset();
    ScreenSceneCache.reset();
    PictureKey.reset();
    update();
}

void MapView::SetOneHopKm(double oneHopKm) {
    if (std::isfinite(oneHopKm) && oneHopKm > 0) {
        OneHopKm = std::min(oneHopKm, AntipodeDistanceKm());
        update();
    }
}

double MapView::PixelsPerKm() const {
    return std::min(width(), height()) / 2.0 / RadiusKm;
}

// Where home (the plane's origin) is on the widget.
QPointF MapView::PlaneOrigin() const {
    const double s = PixelsPerKm();
    return {width() / 2.0 - Centre.XKm * s, height() / 2.0 + Centre.YKm * s};
}

QPointF MapView::WidgetPoint(GeoPoint point) const {
    return PlaneOrigin() + ToPlanePixels(Projection.Forward(point), PixelsPerKm());
}

GeoPoint MapView::GeoPointAt(QPointF point) const {
    const double s = PixelsPerKm();
    const QPointF p = point - PlaneOrigin();
    return Projection.Inverse({p.x() / s, -p.y() / s});
}

void MapView::GoHome() {
    SetView({}, DefaultViewRadiusKm);
}

void MapView::SetView(PlanePoint centre, double radiusKm) {
    RadiusKm = std::clamp(radiusKm, MinViewRadiusKm, MaxViewRadiusKm);
    // The middle of the view stays on the world disc, so the map cannot be dragged away.
    const double fromHomeKm = std::hypot(centre.XKm, centre.YKm);
    const double edgeKm = AntipodeDistanceKm();
    if (fromHomeKm > edgeKm) {
        centre = {centre.XKm * edgeKm / fromHomeKm, centre.YKm * edgeKm / fromHomeKm};
    }
    Centre = centre;
    update();
    emit ViewChanged();
}

MapView::ScreenWorld &MapView::World(double pixelsPerKm, double devicePixelRatio) {
    const GeoPoint home = Projection.Home();
    if (!PlaneWorldCache) {
        auto world = std::make_unique<PlaneWorld>();
        world->Home = home;
        world->Outlines = Outlines.get();
        if (Outlines) {
            const GeoPoint antipode = Antipode(home);
            for (const GeoLine &ring : Outlines->Land) {
                PlaneWorld::Ring projected;
                projected.Points.reserve(ring.size());
                for (const GeoPoint &p : ring) {
                    projected.Points.push_back(Projection.Forward(p));
                }
                projected.HoldsAntipode = RingContains(ring, antipode);
                world->LandRings.push_back(std::move(projected));
                for (auto &piece : ProjectLine(Projection, ring, IsOutlineCut)) {
                    world->Coasts.push_back(std::move(piece));
                }
            }
            for (const GeoLine &border : Outlines->Borders) {
                for (auto &piece : ProjectLine(Projection, border)) {
                    world->Borders.push_back(std::move(piece));
                }
            }
        }
        // Field edges: meridians every 20 degrees pole to pole, parallels every 10 degrees.
        for (int i = 0; i < FieldCount; ++i) {
            GeoLine meridian;
            for (double lat = -90.0; lat <= 90.0; lat += GridStepDeg) {
                meridian.push_back({lat, -180.0 + i * FieldLonDeg});
            }
            GeoLine parallel;
            for (double lon = -180.0; lon <= 180.0; lon += GridStepDeg) {
                parallel.push_back({-90.0 + (i + 1) * FieldLatDeg, lon});
            }
            for (const GeoLine *line : {&meridian, &parallel}) {
                if (line == &parallel && i + 1 == FieldCount) {
                    continue; // the North Pole is no line
                }
                for (auto &piece : ProjectLine(Projection, *line)) {
                    world->Grid.push_back(std::move(piece));
                }
            }
            for (int j = 0; j < FieldCount; ++j) {
                const GeoPoint middle{-90.0 + (j + 0.5) * FieldLatDeg,
                                      -180.0 + (i + 0.5) * FieldLonDeg};
                world->FieldLabels.push_back({Projection.Forward(middle), FieldName(i, j)});
            }
        }
        for (const auto &ring : world->LandRings) {
            world->LandBounds.push_back(PlaneBounds(ring.Points));
        }
        for (const auto &[lines, bounds] : {std::pair{&world->Coasts, &world->CoastBounds},
                                            std::pair{&world->Borders, &world->BorderBounds},
                                            std::pair{&world->Grid, &world->GridBounds}}) {
            for (const auto &line : *lines) {
                bounds->push_back(PlaneBounds(line));
            }
        }
        PlaneWorldCache = std::move(world);
        ScreenWorldCache.reset();
    }
    if (!ScreenWorldCache || ScreenWorldCache->PixelsPerKm != pixelsPerKm ||
        ScreenWorldCache->DevicePixelRatio != devicePixelRatio) {
        auto screen = std::make_unique<ScreenWorld>();
        screen->PixelsPerKm = pixelsPerKm;
        screen->DevicePixelRatio = devicePixelRatio;
        screen->LandRings.resize(PlaneWorldCache->LandRings.size());
        screen->Coasts.resize(PlaneWorldCache->Coasts.size());
        screen->Borders.resize(PlaneWorldCache->Borders.size());
        screen->Grid.resize(PlaneWorldCache->Grid.size());
        ScreenWorldCache = std::move(screen);
    }
    return *ScreenWorldCache;
}

const MapView::ScreenScene &MapView::Scene(double pixelsPerKm, double devicePixelRatio) {
    if (!PlaneSceneCache) {
        auto scene = std::make_unique<PlaneScene>();
        // A new scene mostly repeats the paths of the last one (it holds the spots of the last
        // minutes, and a few arrive every few seconds): their great circles are taken from it.
        using Ends = std::array<double, 4>;
        std::map<Ends, const PlaneScene::Path *> earlier;
        if (StalePlaneScene) {
            for (const auto &path : StalePlaneScene->Paths) {
                earlier.emplace(
                    Ends{path.From.LatDeg, path.From.LonDeg, path.To.LatDeg, path.To.LonDeg},
                    &path);
            }
        }
        for (const SpotPath &path : Data.Paths) {
            const auto found = earlier.find(
                Ends{path.From.LatDeg, path.From.LonDeg, path.To.LatDeg, path.To.LonDeg});
            scene->Paths.push_back(
                {found != earlier.end()
                     ? found->second->Pieces
                     : ProjectLine(Projection, GreatCirclePoints(path.From, path.To, PathStepKm)),
                 ClassOfFreq(path.FreqMHz), path.From, path.To});
        }
        StalePlaneScene.reset();
        for (const CloudPatch &cloud : Data.Clouds) {
            PlaneScene::Cloud c{Projection.Forward(cloud.Centre), std::nullopt,
                                ClassOfFreq(cloud.HighestFreqMHz), cloud.Fading,
                                Data.HighlightedCloudId == cloud.Id};
            if (cloud.Drift && std::isfinite(cloud.Drift->SpeedKmh) &&
                std::isfinite(cloud.Drift->TowardsDeg) && cloud.Drift->SpeedKmh > 0) {
                c.DriftTo =
                    Projection.Forward(Destination(cloud.Centre, cloud.Drift->TowardsDeg,
                                                   cloud.Drift->SpeedKmh * DriftArrowHours));
            }
            scene->Clouds.push_back(c);
        }
        if (Data.Selected) {
            for (const auto &[from, to] :
                 {std::pair{Projection.Home(), Data.Selected->Cloud},
                  std::pair{Data.Selected->Cloud, Data.Selected->TryTowards}}) {
                for (auto &piece :
                     ProjectLine(Projection, GreatCirclePoints(from, to, PathStepKm / 2))) {
                    scene->SelectedLine.push_back(std::move(piece));
                }
            }
            scene->TryTowards = Projection.Forward(Data.Selected->TryTowards);
        }
        PlaneSceneCache = std::move(scene);
        ScreenSceneCache.reset();
    }
    if (!ScreenSceneCache || ScreenSceneCache->PixelsPerKm != pixelsPerKm ||
        ScreenSceneCache->DevicePixelRatio != devicePixelRatio) {
        auto screen = std::make_unique<ScreenScene>();
        screen->PixelsPerKm = pixelsPerKm;
        screen->DevicePixelRatio = devicePixelRatio;
        const double tolerancePx = DecimateDevicePx / devicePixelRatio;
        for (const auto &path : PlaneSceneCache->Paths) {
            for (const auto &piece : path.Pieces) {
                screen->Paths.push_back(
                    {ToScreenLine(piece, pixelsPerKm, tolerancePx), path.Class});
            }
        }
        for (const auto &piece : PlaneSceneCache->SelectedLine) {
            screen->SelectedLine.push_back(ToScreenLine(piece, pixelsPerKm, tolerancePx));
        }
        ScreenSceneCache = std::move(screen);
    }
    return *ScreenSceneCache;
}

const QImage &MapView::CloudSprite(FreqClass freqClass, bool fading, double radiusPx,
                                   double devicePixelRatio) {
    if (CloudSpriteRadiusPx != radiusPx || CloudSpriteRatio != devicePixelRatio) {
        CloudSprites = {};
        CloudSpriteRadiusPx = radiusPx;
        CloudSpriteRatio = devicePixelRatio;
    }
    QImage &sprite = CloudSprites[static_cast<std::size_t>(freqClass)][fading ? 1 : 0];
    if (sprite.isNull()) {
        const double sidePx = 2 * std::ceil(radiusPx + 2);
        const int side = static_cast<int>(std::ceil(sidePx * devicePixelRatio));
        sprite = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        sprite.setDevicePixelRatio(devicePixelRatio);
        sprite.fill(Qt::transparent);
        QPainter painter(&sprite);
        painter.setRenderHint(QPainter::Antialiasing);
        const double middle = side / devicePixelRatio / 2;
        DrawCloud(painter, QPointF(middle, middle), radiusPx, freqClass, fading);
    }
    return sprite;
}

// Makes `layer` a layer of the widget's size at `devicePixelRatio`, whose fonts come out at the
// widget's size: a font's pixel size follows the device's dots per inch, 72 by default for an
// image. Its memory is kept while the size holds (a new 3 MB image on every pan step costs page
// faults and cache misses); what it held is painted over.
void MapView::ReadyLayer(QImage &layer, double devicePixelRatio) const {
    const QSize sizePx(static_cast<int>(std::ceil(width() * devicePixelRatio)),
                       static_cast<int>(std::ceil(height() * devicePixelRatio)));
    if (layer.size() != sizePx || layer.format() != QImage::Format_ARGB32_Premultiplied) {
        layer = QImage(sizePx, QImage::Format_ARGB32_Premultiplied);
    }
    layer.setDevicePixelRatio(devicePixelRatio);
    // 0.0254 m to the inch.
    layer.setDotsPerMeterX(static_cast<int>(std::lround(logicalDpiX() / 0.0254)));
    layer.setDotsPerMeterY(static_cast<int>(std::lround(logicalDpiY() / 0.0254)));
}

void MapView::DropPictures() {
    StaticKey.reset();
    PictureKey.reset();
}

void MapView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    Paint(painter);
}

void MapView::Paint(QPainter &painter) {
    // Device pixels per logical pixel as this painter draws: more than the device's own ratio
    // when the widget is rendered into a larger image.
    const QTransform device = painter.deviceTransform();
    const double dpr = device.m11();
    if (device.type() > QTransform::TxScale || !(dpr > 0) || device.m22() != dpr) {
        // A rotated or mirrored painter would get a resampled picture: painted directly instead.
        painter.save();
        PaintStatic(painter);
        painter.restore();
        painter.save();
        PaintScene(painter);
        painter.restore();
        return;
    }
    const LayerKey key{size(), dpr, Centre.XKm, Centre.YKm, RadiusKm, OneHopKm, font()};
    if (PictureKey != key) {
        if (StaticKey != key) {
            ReadyLayer(StaticLayer, dpr);
            QPainter layer(&StaticLayer);
            PaintStatic(layer);
            StaticKey = key;
        }
        ReadyLayer(PictureLayer, dpr);
        if (!StaticLayer.isNull()) {
            std::memcpy(PictureLayer.bits(), StaticLayer.constBits(),
                        static_cast<std::size_t>(StaticLayer.sizeInBytes()));
        }
        QPainter layer(&PictureLayer);
        PaintScene(layer);
        PictureKey = key;
    }
    painter.drawImage(QPointF(0, 0), PictureLayer);
}

void MapView::PaintStatic(QPainter &painter) {
    const double s = PixelsPerKm();
    const double dpr = painter.device()->devicePixelRatioF();
    ScreenWorld &world = World(s, dpr);
    const PlaneWorld &plane = *PlaneWorldCache;
    const double tolerancePx = DecimateDevicePx / dpr;
    const QPointF origin = PlaneOrigin();
    const QRectF visible = QRectF(rect()).translated(-origin).adjusted(-4, -4, 4, 4);
    const double edgePx = AntipodeDistanceKm() * s;

    // Zoomed in, the world disc covers the whole view: its smoothed edge circle (thousands of
    // pixels across) would be flattened and filled only to paint every pixel sea.
    const QRectF view = QRectF(rect()).translated(-origin);
    double farthestPx = 0.0;
    for (const QPointF corner :
         {view.topLeft(), view.topRight(), view.bottomLeft(), view.bottomRight()}) {
        farthestPx = std::max(farthestPx, std::hypot(corner.x(), corner.y()));
    }
    if (farthestPx < edgePx - DiscMarginPx) {
        painter.fillRect(rect(), SeaColour);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(origin);
    } else {
        painter.fillRect(rect(), OutsideColour);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(origin);
        painter.setPen(Qt::NoPen);
        painter.setBrush(SeaColour);
        painter.drawEllipse(QPointF(0, 0), edgePx, edgePx);
    }

    // Land: every visible ring in one even-odd path, so lakes stay water. A ring around the
    // antipode holds the edge of the map: its land lies between it and the edge circle.
    QPainterPath land;
    land.setFillRule(Qt::OddEvenFill);
    const QRectF clip = visible.adjusted(-8, -8, 8, 8);
    for (std::size_t i = 0; i < plane.LandRings.size(); ++i) {
        const bool holdsAntipode = plane.LandRings[i].HoldsAntipode;
        if (!holdsAntipode && !MayShow(plane.LandBounds[i], s, visible)) {
            continue;
        }
        if (!world.LandRings[i]) {
            world.LandRings[i] = ToScreenLine(plane.LandRings[i].Points, s, tolerancePx);
        }
        const Line &ring = *world.LandRings[i];
        if (holdsAntipode) {
            land.addEllipse(QPointF(0, 0), edgePx, edgePx);
        } else if (!ring.Bounds.intersects(visible)) {
            continue;
        }
        land.addPolygon(clip.contains(ring.Bounds) ? ring.Points
                                                   : ClippedToRect(ring.Points, clip));
    }
    // Unsmoothed: the smoothed coastline drawn over the edge hides the steps, and the fill is
    // several times faster without.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(land, LandColour);
    painter.setRenderHint(QPainter::Antialiasing);

    const auto drawLines = [&](std::vector<std::optional<Line>> &lines,
                               const std::vector<std::vector<PlanePoint>> &planeLines,
                               const std::vector<QRectF> &bounds, const QColor &colour) {
        ThinLines thin(painter);
        thin.SetColour(colour);
        painter.setPen(ThinPen(colour));
        painter.setBrush(Qt::NoBrush);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!MayShow(bounds[i], s, visible)) {
                continue;
            }
            if (!lines[i]) {
                lines[i] = ToScreenLine(planeLines[i], s, tolerancePx);
            }
            const Line &line = *lines[i];
            if (line.Bounds.intersects(visible)) {
                if (thin.IsActive()) {
                    thin.DrawPolyline(line.Points);
                } else {
                    painter.drawPolyline(line.Points);
                }
            }
        }
    };
    drawLines(world.Borders, plane.Borders, plane.BorderBounds, BorderColour);
    drawLines(world.Coasts, plane.Coasts, plane.CoastBounds, CoastColour);
    drawLines(world.Grid, plane.Grid, plane.GridBounds, GridColour);

    // Range rings: exact circles round home on this projection; their distances are written
    // over the paths and clouds.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(ThinPen(RingColour.darker(170), Qt::DashLine));
    painter.drawEllipse(QPointF(0, 0), OneHopKm * s, OneHopKm * s);
    painter.setPen(ThinPen(RingColour));
    for (const double km : RangeRingsKm) {
        if (std::fabs(km - OneHopKm) > 1.0) {
            painter.drawEllipse(QPointF(0, 0), km * s, km * s);
        }
    }
}

void MapView::PaintScene(QPainter &painter) {
    const double s = PixelsPerKm();
    const double dpr = painter.device()->devicePixelRatioF();
    World(s, dpr);
    const ScreenScene &scene = Scene(s, dpr);
    const QPointF origin = PlaneOrigin();
    const QRectF visible = QRectF(rect()).translated(-origin).adjusted(-4, -4, 4, 4);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(origin);

    const auto drawLines = [&](const std::vector<Line> &lines, const QPen &pen) {
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        for (const Line &line : lines) {
            if (line.Bounds.intersects(visible)) {
                painter.drawPolyline(line.Points);
            }
        }
    };

    QFont labelFont = font();
    labelFont.setPointSizeF(std::max(labelFont.pointSizeF(), 9.0));
    struct RingLabel {
        double Km;
        QString Text;
    };
    std::vector<RingLabel> ringLabels{{OneHopKm, tr("%1 km one hop").arg(std::lround(OneHopKm))}};
    for (const double km : RangeRingsKm) {
        if (std::fabs(km - OneHopKm) > 1.0) {
            ringLabels.push_back({km, tr("%1 km").arg(std::lround(km))});
        }
    }

    // Spot paths, thin and translucent in their band's colour, one class at a time (changing the
    // pen is a good part of the cost of a short line).
    ThinLines thin(painter);
    for (const FreqClass freqClass : {FreqClass::Below50MHz, FreqClass::From50MHz,
                                      FreqClass::From70MHz, FreqClass::From144MHz}) {
        QColor colour = FreqClassColour(freqClass);
        colour.setAlpha(PathAlpha);
        painter.setPen(ThinPen(colour));
        thin.SetColour(colour);
        for (const auto &path : scene.Paths) {
            if (path.Class == freqClass && path.Points.Bounds.intersects(visible)) {
                if (thin.IsActive()) {
                    thin.DrawPolyline(path.Points.Points);
                } else {
                    painter.drawPolyline(path.Points.Points);
                }
            }
        }
    }

    // Clouds over the paths that placed them; the highlighted one ringed in black.
    if (PlaneSceneCache) {
        const double radiusPx = std::max(CloudPatchRadiusKm * s, MinCloudRadiusPx);
        for (const auto &cloud : PlaneSceneCache->Clouds) {
            const QPointF at = ToPlanePixels(cloud.Centre, s);
            if (!visible.adjusted(-radiusPx, -radiusPx, radiusPx, radiusPx).contains(at)) {
                continue;
            }
            if (radiusPx <= MaxSpriteRadiusPx) {
                const QImage &sprite = CloudSprite(cloud.Class, cloud.Fading, radiusPx, dpr);
                painter.drawImage(at - QPointF(sprite.width(), sprite.height()) / (2 * dpr),
                                  sprite);
            } else {
                DrawCloud(painter, at, radiusPx, cloud.Class, cloud.Fading);
            }
            if (cloud.Highlighted) {
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(HaloColour, 5.0));
                painter.drawEllipse(at, radiusPx + 4, radiusPx + 4);
                painter.setPen(QPen(SelectedColour, 2.5));
                painter.drawEllipse(at, radiusPx + 4, radiusPx + 4);
            }
            if (cloud.DriftTo) {
                QPointF to = ToPlanePixels(*cloud.DriftTo, s);
                const QLineF arrow(at, to);
                if (arrow.length() < MinDriftArrowPx && arrow.length() > 0) {
                    to = at + (to - at) * (MinDriftArrowPx / arrow.length());
                }
                DrawArrow(painter, at, to, TextColour);
            }
        }
    }

    // Labels over paths and clouds: ring distances first, then the fields where there is room.
    std::vector<QRectF> labels;
    painter.setFont(labelFont);
    const double labelBearingRad = RingLabelBearingDeg * std::numbers::pi / 180.0;
    const QPointF labelDirection(std::sin(labelBearingRad), -std::cos(labelBearingRad));
    for (const auto &label : ringLabels) {
        // A ring smaller than its label is left unlabelled.
        if (label.Km * s >= MinLabelledRingPx) {
            PlaceLabel(painter, *Labels, label.Text, labelDirection * label.Km * s, RingTextColour,
                       labels);
        }
    }
    QFont fieldFont = labelFont;
    fieldFont.setBold(true);
    fieldFont.setPointSizeF(labelFont.pointSizeF() + 1.0);
    painter.setFont(fieldFont);
    if (PlaneWorldCache) {
        for (const auto &label : PlaneWorldCache->FieldLabels) {
            const QPointF at = ToPlanePixels(label.At, s);
            if (visible.contains(at)) {
                PlaceLabel(painter, *Labels, label.Text, at, FieldLabelColour, labels,
                           FieldLabelSpacingPx);
            }
        }
    }

    // The selected band: home, the cloud, the try-towards point.
    if (!scene.SelectedLine.empty()) {
        for (const auto &[pen, _] :
             {std::pair{QPen(HaloColour, 6.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), 0},
              std::pair{QPen(SelectedColour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
                        0}}) {
            drawLines(scene.SelectedLine, pen);
        }
        if (PlaneSceneCache && PlaneSceneCache->TryTowards) {
            const QPointF at = ToPlanePixels(*PlaneSceneCache->TryTowards, s);
            painter.setPen(QPen(SelectedColour, 2.5));
            painter.setBrush(HaloColour);
            painter.drawEllipse(at, 6.0, 6.0);
            painter.drawLine(at - QPointF(10, 0), at + QPointF(10, 0));
            painter.drawLine(at - QPointF(0, 10), at + QPointF(0, 10));
            if (Data.Selected && !Data.Selected->Label.empty()) {
                painter.setFont(labelFont);
                const QString text = QString::fromStdString(Data.Selected->Label);
                const double widthPx = QFontMetricsF(labelFont).horizontalAdvance(text);
                std::vector<QRectF> none;
                PlaceLabel(painter, *Labels, text, at + QPointF(widthPx / 2 + 14, -12),
                           SelectedColour, none);
            }
        }
    }

    // Home on top of everything.
    painter.setPen(QPen(Qt::white, 2.0));
    painter.setBrush(HomeColour);
    painter.drawEllipse(QPointF(0, 0), 5.5, 5.5);
    if (!HomeLabel.isEmpty()) {
        QFont homeFont = labelFont;
        homeFont.setBold(true);
        painter.setFont(homeFont);
        std::vector<QRectF> none;
        const QFontMetricsF homeMetrics(homeFont);
        // Below right of home, or on the side away from the selected cloud so as not to hide
        // its line.
        QPointF side(1, 1);
        if (Data.Selected) {
            const PlanePoint cloud = Projection.Forward(Data.Selected->Cloud);
            side = {cloud.XKm > 0 ? -1.0 : 1.0, cloud.YKm < 0 ? -1.0 : 1.0};
        }
        const QPointF offset(side.x() * (homeMetrics.horizontalAdvance(HomeLabel) / 2 + 10),
                             side.y() * (homeMetrics.height() / 2 + 4));
        PlaceLabel(painter, *Labels, HomeLabel, offset, HomeColour, none);
    }
    painter.resetTransform();

    // The legend of the cloud colours, bottom left.
    painter.setFont(labelFont);
    const QFontMetricsF metrics(labelFont);
    const std::array<std::pair<FreqClass, QString>, 4> legend{{
        {FreqClass::From144MHz, tr("144 MHz and up")},
        {FreqClass::From70MHz, tr("70 to 144 MHz")},
        {FreqClass::From50MHz, tr("50 to 70 MHz")},
        {FreqClass::Below50MHz, tr("below 50 MHz")},
    }};
    const QString title = tr("Highest frequency");
    const double lineHeight = metrics.height() + 3;
    double boxWidth = metrics.horizontalAdvance(title);
    for (const auto &entry : legend) {
        boxWidth = std::max(boxWidth, metrics.horizontalAdvance(entry.second) + lineHeight + 4);
    }
    const QRectF box(8, height() - 8 - lineHeight * 5 - 8, boxWidth + 16, lineHeight * 5 + 8);
    painter.setPen(QPen(QColor(0, 0, 0, 0x60), 1.0));
    painter.setBrush(QColor(255, 255, 255, 0xe0));
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(TextColour);
    painter.drawText(QPointF(box.left() + 8, box.top() + 4 + metrics.ascent()), title);
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const double top = box.top() + 4 + lineHeight * static_cast<double>(i + 1);
        const QRectF swatch(box.left() + 8, top + 2, lineHeight - 6, lineHeight - 6);
        QColor fill = FreqClassColour(legend[i].first);
        painter.setPen(QPen(fill.darker(160), 1.5));
        fill.setAlpha(CloudAlpha);
        painter.setBrush(fill);
        painter.drawEllipse(swatch);
        painter.setPen(TextColour);
        painter.drawText(QPointF(swatch.right() + 6, top + metrics.ascent()), legend[i].second);
    }

    // Scale: the radius of the view.
    const QString scaleText = tr("%1 km to the edge").arg(std::lround(RadiusKm));
    const QRectF scaleBox(width() - 8 - metrics.horizontalAdvance(scaleText) - 12,
                          height() - 8 - lineHeight - 4, metrics.horizontalAdvance(scaleText) + 12,
                          lineHeight + 4);
    painter.setPen(QPen(QColor(0, 0, 0, 0x60), 1.0));
    painter.setBrush(QColor(255, 255, 255, 0xe0));
    painter.drawRoundedRect(scaleBox, 4, 4);
    painter.setPen(TextColour);
    painter.drawText(scaleBox, Qt::AlignCenter, scaleText);

    if (!Outlines && !OutlinesError.isEmpty()) {
        const QRectF messageBox(8, 44, width() - 16, lineHeight * 2 + 8);
        painter.setBrush(QColor(255, 255, 255, 0xe0));
        painter.setPen(QPen(HomeColour, 1.0));
        painter.drawRoundedRect(messageBox, 4, 4);
        painter.setPen(TextColour);
        painter.drawText(messageBox.adjusted(8, 4, -8, -4), Qt::AlignLeft | Qt::TextWordWrap,
                         tr("No coastlines: %1").arg(OutlinesError));
    }
}

void MapView::changeEvent(QEvent *event) {
    // The texts are translated and laid out anew; the font itself is part of the layers' key.
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::LocaleChange) {
        DropPictures();
        update();
    }
    QWidget::changeEvent(event);
}

void MapView::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    emit ViewChanged();
}

void MapView::wheelEvent(QWheelEvent *event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) {
        return;
    }
    // Zoom about the cursor: the map point under it stays under it.
    const QPointF cursor = event->position();
    const double before = PixelsPerKm();
    const PlanePoint under{Centre.XKm + (cursor.x() - width() / 2.0) / before,
                           Centre.YKm - (cursor.y() - height() / 2.0) / before};
    const double radiusKm = std::clamp(RadiusKm * std::pow(ZoomPerWheelNotch, -notches),
                                       MinViewRadiusKm, MaxViewRadiusKm);
    const double after = std::min(width(), height()) / 2.0 / radiusKm;
    SetView({under.XKm - (cursor.x() - width() / 2.0) / after,
             under.YKm + (cursor.y() - height() / 2.0) / after},
            radiusKm);
    event->accept();
}

void MapView::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        DragFrom = event->position();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MapView::mouseMoveEvent(QMouseEvent *event) {
    if (!DragFrom) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF delta = event->position() - *DragFrom;
    DragFrom = event->position();
    const double s = PixelsPerKm();
    SetView({Centre.XKm - delta.x() / s, Centre.YKm + delta.y() / s}, RadiusKm);
    event->accept();
}

void MapView::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton && DragFrom) {
        DragFrom.reset();
        setCursor(Qt::OpenHandCursor);
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MapView::keyPressEvent(QKeyEvent *event) {
    // Keys for those without a wheel: + and - zoom, the arrows pan a tenth of the view.
    const double stepKm = RadiusKm / 5;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        SetView(Centre, RadiusKm / ZoomPerWheelNotch);
        break;
    case Qt::Key_Minus:
        SetView(Centre, RadiusKm * ZoomPerWheelNotch);
        break;
    case Qt::Key_Left:
        SetView({Centre.XKm - stepKm, Centre.YKm}, RadiusKm);
        break;
    case Qt::Key_Right:
        SetView({Centre.XKm + stepKm, Centre.YKm}, RadiusKm);
        break;
    case Qt::Key_Up:
        SetView({Centre.XKm, Centre.YKm + stepKm}, RadiusKm);
        break;
    case Qt::Key_Down:
        SetView({Centre.XKm, Centre.YKm - stepKm}, RadiusKm);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace ionvane::map
