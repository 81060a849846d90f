// The live window's Es MUF layer and map pictures: View > Es MUF layer and its window, the layer's
// squares handed to the map, and File > Save map picture / Copy map picture: the map with its
// layer, legends, home and time over the band rows, at the window's size and scale.
#include "live_window.h"

#include "tracker/muf_layer.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QDateTime>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QStatusBar>

#include <cmath>
#include <tuple>

namespace ionvane::livewindow {

namespace {

// How long the word of a saved or copied picture stays in the status bar, ms.
constexpr int PictureWordShownMs = 5000;
// The time caption's margin and padding in the picture, logical pixels.
constexpr double CaptionMarginPx = 8;
constexpr double CaptionPaddingPx = 5;
constexpr int SecondsPerMinute = 60;

} // namespace

void frmLive::BuildMapMenu(QMenu *file, QMenu *view) {
    QAction *save = new QAction("Save map &picture...", this);
    save->setObjectName("mnuSaveMapPicture");
    connect(save, &QAction::triggered, this, [this] {
        const QString path = Setup.AskSavePath
                                 ? Setup.AskSavePath("Save map picture")
                                 : QFileDialog::getSaveFileName(this, "Save map picture",
                                                                "ionvane-map.png", "PNG (*.png)");
        if (path.isEmpty()) {
            return;
        }
        const bool saved = MapPicture().save(path, "PNG");
        statusBar()->showMessage(saved ? "Map picture saved to " + path
                                       : "The map picture could not be saved to " + path,
                                 PictureWordShownMs);
    });
    QAction *copy = new QAction("C&opy map picture", this);
    copy->setObjectName("mnuCopyMapPicture");
    connect(copy, &QAction::triggered, this, [this] {
        QGuiApplication::clipboard()->setImage(MapPicture());
        statusBar()->showMessage("Map picture copied", PictureWordShownMs);
    });
    // Before the Exit at the end, after the calculator's separator.
    const QList<QAction *> items = file->actions();
    QAction *before = items.size() >= 2 ? items.at(items.size() - 2) : nullptr;
    file->insertActions(before, {save, copy});
    file->insertSeparator(before);

    view->addSeparator();
    QAction *layer = view->addAction("Es &MUF layer");
    layer->setObjectName("mnuEsLayer");
    layer->setCheckable(true);
    layer->setChecked(Remembered.MufLayer);
    connect(layer, &QAction::toggled, this, [this](bool on) {
        Remembered.MufLayer = on;
        SaveLiveSettings(Setup.ConfigDir, Remembered);
        RefreshMap();
    });
    auto *windows = new QActionGroup(this);
    for (const auto &[name, text, minutes] :
         {std::tuple{"mnuEsLayer15", "Es MUF over &15 minutes", 15},
          std::tuple{"mnuEsLayer30", "Es MUF over &30 minutes", 30}}) {
        QAction *action = view->addAction(text);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(Remembered.MufWindowMinutes == minutes);
        windows->addAction(action);
        connect(action, &QAction::triggered, this, [this, chosen = minutes] {
            Remembered.MufWindowMinutes = chosen;
            SaveLiveSettings(Setup.ConfigDir, Remembered);
            RefreshMap();
        });
    }
}

std::optional<map::MufLayerScene> frmLive::MufLayerNow() const {
    if (!Remembered.MufLayer) {
        return std::nullopt;
    }
    map::MufLayerScene layer;
    layer.TimeS = Shown().Now();
    layer.WindowMinutes = Remembered.MufWindowMinutes;
    for (const tracker::MufSquare &square :
         Shown().MufSquares(static_cast<UnixSeconds>(layer.WindowMinutes) * SecondsPerMinute)) {
        const tracker::SquareBounds b = tracker::BoundsOf(square.Square);
        layer.Squares.push_back({b.SouthDeg, b.WestDeg, b.NorthDeg, b.EastDeg, square.MufMHz});
    }
    return layer;
}

QImage frmLive::MapPicture() {
    // At the screen's scale: a picture taken at 200% is twice as many pixels each way.
    const double dpr = devicePixelRatioF();
    const QSize mapSize = mapView->size();
    const QSize rowsSize = bandPanel->size();
    const QSize logical(std::max(mapSize.width(), rowsSize.width()),
                        mapSize.height() + rowsSize.height());
    QImage picture(static_cast<int>(std::ceil(logical.width() * dpr)),
                   static_cast<int>(std::ceil(logical.height() * dpr)),
                   QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(dpr);
    picture.fill(palette().window().color());
    QPainter painter(&picture);
    mapView->Paint(painter);
    painter.resetTransform();
    painter.scale(dpr, dpr);
    // The time the picture shows, top left: the map's own legend gives it only with the layer.
    const QString when =
        QDateTime::fromSecsSinceEpoch(Live->Now(), Qt::UTC).toString("yyyy-MM-dd HH:mm") + " UTC";
    const QFontMetricsF metrics(font());
    const QRectF caption(CaptionMarginPx, CaptionMarginPx,
                         metrics.horizontalAdvance(when) + 2 * CaptionPaddingPx,
                         metrics.height() + CaptionPaddingPx);
    const map::MapPalette &colours = mapView->Palette();
    painter.setPen(QPen(colours.BoxEdge, 1.0));
    painter.setBrush(colours.BoxFill);
    painter.drawRoundedRect(caption, 4, 4);
    painter.setPen(colours.Text);
    painter.drawText(caption, Qt::AlignCenter, when);
    painter.end();
    // The band rows under the map, as the window draws them.
    QPainter rows(&picture);
    bandPanel->render(&rows, QPoint(0, mapSize.height()));
    return picture;
}

} // namespace ionvane::livewindow
