// The map widget: the world on the home-centred azimuthal-equidistant projection, the Maidenhead
// fields, range rings, spot paths, Es clouds and the selected band's line, painted with QPainter.
#pragma once

#include "map_palette.h"
#include "map_scene.h"
#include "world_outlines.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QWidget>

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QToolButton;

namespace ionvane::map {

class LabelTexts;
struct PlaneWorld;
struct ScreenWorld;
struct PlaneScene;
struct ScreenScene;

/// The view at start and after "Home": home in the middle, 3,000 km to the nearer edge, which
/// takes in every single-hop Es path from home with room to spare.
constexpr double DefaultViewRadiusKm = 3000.0;
/// Closest zoom: 100 km to the edge, about a Maidenhead square and its neighbours.
constexpr double MinViewRadiusKm = 100.0;
/// Furthest zoom: the whole world disc (20,016 km) with a margin.
constexpr double MaxViewRadiusKm = 21000.0;
/// Zoom per wheel notch (120 eighths of a degree): four notches double the scale.
constexpr double ZoomPerWheelNotch = 1.189207115002721;
/// The one-hop limit drawn as the outer range ring unless told otherwise (km): the tracker's
/// default longest single-hop Es path.
constexpr double DefaultOneHopKm = 2400.0;
/// Ground radius of a cloud patch (km): half the 250 km within which a spot joins a cloud.
constexpr double CloudPatchRadiusKm = 125.0;

/// The colour of a frequency class, for cloud patches, paths and the legend.
QColor FreqClassColour(FreqClass freqClass);

class MapView : public QWidget {
    Q_OBJECT

  public:
    explicit MapView(QWidget *parent = nullptr);
    ~MapView() override;

    /// Centres the map on `home` (its locator as `label`) and goes back to the default view. With
    /// a picture on screen, the outlines are projected around the new home in a worker while the
    /// old picture stays; the map changes when they are ready (homeShown).
    void SetHome(GeoPoint home, const QString &label);
    /// Whether a new home waits for its outlines to be projected.
    bool HomePending() const { return HomeAsked != HomeApplied; }
    /// The land and borders to draw; without them (null) the map shows `error` instead.
    void SetOutlines(std::shared_ptr<const WorldOutlines> outlines, const QString &error = {});
    /// What to show: its clouds, the selected band's line, and of its paths those ChoosePaths
    /// picks (the newest of each cloud, all of the highlighted cloud); the others are counted
    /// beside their cloud.
    void SetScene(MapScene scene);
    /// The radius (km) of the dashed one-hop ring; non-finite or non-positive keeps the old one.
    void SetOneHopKm(double oneHopKm);
    /// Where the rotator reports the antenna pointing (degrees); none hides the line.
    void SetRotatorDeg(std::optional<double> azimuthDeg);

    /// Distance (km) from the middle of the view to its nearer edge.
    double ViewRadiusKm() const { return RadiusKm; }
    /// The map point in the middle of the view (km from home).
    PlanePoint ViewCentre() const { return Centre; }
    /// Where `point` is drawn, in widget coordinates.
    QPointF WidgetPoint(GeoPoint point) const;
    /// The position under widget point `point` (the antipode beyond the world's edge).
    GeoPoint GeoPointAt(QPointF point) const;
    /// Paints with `palette` from now on (DayPalette at first).
    void SetPalette(const MapPalette &palette);
    [[nodiscard]] const MapPalette &Palette() const { return Colours; }
    /// Where the legend was drawn in the last picture, widget coordinates.
    QRectF LegendRect() const { return LegendBox; }
    /// Where the Es MUF scale was drawn in the last picture, widget coordinates; empty when the
    /// scene has no MUF layer.
    QRectF MufLegendRect() const { return Data.Muf ? MufLegendBox : QRectF(); }
    /// "Home": back to home in the middle at the default radius (also the Home key).
    QAction *HomeAction() const { return ActHome; }

    /// Paints the whole map on `painter` at the widget's size: what paintEvent does. The picture
    /// is kept and copied until the home, outlines, scene, view, size, scale, one-hop ring or
    /// font change.
    void Paint(QPainter &painter);

  public slots:
    void GoHome();

  signals:
    void ViewChanged();
    /// The home last set is the one the map shows.
    void homeShown();

  protected:
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    // What a picture of the map depends on besides the home, outlines and scene, whose setters
    // drop the pictures.
    struct LayerKey {
        QSize Size;
        double DevicePixelRatio;
        double CentreXKm;
        double CentreYKm;
        double RadiusKm;
        double OneHopKm;
        QFont Font;
        bool operator==(const LayerKey &) const = default;
    };

    void ApplyHome(GeoPoint home, const QString &label, std::unique_ptr<PlaneWorld> world);
    void ReadyLayer(QImage &layer, double devicePixelRatio) const;
    void DropPictures();
    // The sea, land, borders, coasts, field grid and range rings.
    void PaintStatic(QPainter &painter);
    // What every step of the scene paints with: the scale, the device's pixel ratio, the part of
    // the plane in view (pixels, home at 0, 0) and the labels' font.
    struct SceneFrame {
        double PixelsPerKm;
        double DevicePixelRatio;
        QRectF Visible;
        QFont LabelFont;
    };
    // Over the static layer, in its steps: the MUF squares, paths, clouds, double-hop marks,
    // labels, the selected line, home, legends and scale. A step from PaintMufSquares to
    // PaintHome paints on the plane (home at 0, 0); the later ones in widget pixels.
    void PaintScene(QPainter &painter);
    /// The Es MUF layer: translucent squares in the colours of the MUF scale (muf_layer_paint.cpp).
    void PaintMufSquares(QPainter &painter, const SceneFrame &frame);
    void PaintPaths(QPainter &painter, const ScreenScene &scene, const SceneFrame &frame);
    void PaintClouds(QPainter &painter, const SceneFrame &frame);
    void PaintDoubleHops(QPainter &painter, const ScreenScene &scene, const SceneFrame &frame);
    /// Cloud numbers, paths not drawn, ring distances and fields; returns where they went.
    std::vector<QRectF> PaintLabels(QPainter &painter, const SceneFrame &frame);
    /// The selected band's line and try-towards point; returns where its label went.
    std::vector<QRectF> PaintSelectedLine(QPainter &painter, const ScreenScene &scene,
                                          const SceneFrame &frame);
    /// Home and its label, whose place is added to `pinned`.
    void PaintHome(QPainter &painter, const SceneFrame &frame, std::vector<QRectF> &pinned);
    /// The scale box, bottom right; returns where it went.
    QRectF PaintScale(QPainter &painter, const SceneFrame &frame);
    /// The MUF scale with its band marks, the window and the time, above `scaleBox`.
    void PaintMufLegend(QPainter &painter, const SceneFrame &frame, const QRectF &scaleBox);
    void PaintOutlinesMessage(QPainter &painter, const SceneFrame &frame);
    // The legend, bottom left: cloud colours, what of the paths is drawn and how many are not.
    /// The legend in the first corner (bottom left, top left, top right) where it overlaps none
    /// of `keepClear` (widget pixels), else where it overlaps the fewest.
    void PaintLegend(QPainter &painter, std::size_t pathsNotDrawn,
                     const std::vector<QRectF> &keepClear);
    /// What the legend must leave in view, widget pixels: the labels placed (`labels`, plane
    /// pixels), home, the selected band's line and its try-towards crosshair.
    std::vector<QRectF> LegendKeepClear(const std::vector<QRectF> &labels, const ScreenScene &scene,
                                        QPointF origin, double pixelsPerKm) const;
    /// Where the legend was last drawn, widget pixels.
    QRectF LegendBox;
    /// Where the MUF scale was last drawn, widget pixels (empty while the layer is off).
    QRectF MufLegendBox;
    double PixelsPerKm() const;
    QPointF PlaneOrigin() const;
    void SetView(PlanePoint centre, double radiusKm);
    ScreenWorld &World(double pixelsPerKm, double devicePixelRatio);
    const ScreenScene &Scene(double pixelsPerKm, double devicePixelRatio);
    const QImage &CloudSprite(FreqClass freqClass, bool fading, double radiusPx,
                              double devicePixelRatio);

    AzimuthalEquidistant Projection{GeoPoint{}};
    // Counts of homes asked for and shown: a home asked for while another is projected wins.
    unsigned HomeAsked = 0;
    unsigned HomeApplied = 0;
    QString HomeLabel;
    std::shared_ptr<const WorldOutlines> Outlines;
    QString OutlinesError;
    MapScene Data; ///< its paths: those drawn
    std::map<int, std::size_t> PathsNotDrawn;
    std::size_t PathsNotDrawnElsewhere = 0;
    double OneHopKm = DefaultOneHopKm;

    PlanePoint Centre;
    double RadiusKm = DefaultViewRadiusKm;
    std::optional<QPointF> DragFrom;

    // Caches: outlines projected (km) per home, then scaled to pixels per zoom; the scene alike.
    std::unique_ptr<PlaneWorld> PlaneWorldCache;
    std::unique_ptr<ScreenWorld> ScreenWorldCache;
    std::unique_ptr<PlaneScene> PlaneSceneCache;
    // The last scene's projection, until the next scene has taken the paths it repeats.
    std::unique_ptr<PlaneScene> StalePlaneScene;
    std::unique_ptr<ScreenScene> ScreenSceneCache;

    // Cloud patches drawn once per class, fading or not, for one radius and pixel ratio: they
    // outlive the scenes, which change every few seconds in an opening.
    std::array<std::array<QImage, 2>, 4> CloudSprites;
    double CloudSpriteRadiusPx = 0.0;
    double CloudSpriteRatio = 0.0;

    // The map painted once and copied until something it shows changes: the static layer alone
    // (kept while only the scene changes) and the whole picture.
    QImage StaticLayer;
    std::optional<LayerKey> StaticKey;
    QImage PictureLayer;
    std::optional<LayerKey> PictureKey;

    std::unique_ptr<LabelTexts> Labels;
    MapPalette Colours = DayPalette();
    std::optional<double> RotatorDeg;

    QAction *ActHome = nullptr;
    QToolButton *cmdMapHome = nullptr;
};

} // namespace ionvane::map
