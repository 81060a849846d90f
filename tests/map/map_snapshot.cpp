// Writes pictures of the map as a user sees it, centred on IO90IR with a made-up opening:
// map-100.png at 100% and map-200.png at 200% device pixel ratio, 1000x800 logical pixels, and
// map-world.png zoomed out to the whole world, in the directory given (default: the current one).
#include "fake_scene.h"
#include "map/map_view.h"
#include "user_view.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <cstdio>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    using namespace ionvane::map;
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    MapView view;
    if (!testing::SetUpUserView(view, LoadWorldOutlines())) {
        return 1;
    }
    view.SetHome(testing::HomeIO90IR, "IO90IR");
    view.SetScene(testing::FakeOpening(12, 60));
    for (const int percent : {100, 200, 0}) {
        const double ratio = percent == 200 ? 2.0 : 1.0;
        if (percent == 0) {
            // Wheel notches out until the whole world shows.
            for (int notch = 0; notch < 20; ++notch) {
                testing::TurnWheel(view, -1);
            }
        }
        QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        view.render(&image);
        const QString file = out.filePath(percent == 0 ? QString("map-world.png")
                                                       : QString("map-%1.png").arg(percent));
        if (!image.save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }
    return 0;
}
