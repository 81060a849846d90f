// The map's repaint time: 1000x800 logical pixels, offscreen, pinned to one core, with the world
// outlines, 50 clouds and 500 spot paths. Medians of repeated paints into an image:
// - repaint: the same view again (the kept picture is copied);
// - a new scene: the same view with the scene set again, as when a spot arrives (the paths and
//   clouds are projected and painted over the kept static layer);
// - panning: the view moved by the arrow keys, a fifth of its radius (80 px) each time (the
//   pictures are painted again, the outlines in pixels hold: they are per home and zoom);
// - zooming: each paint one wheel notch further (the outlines on view are rescaled from km);
// - a new home: the paint right after it (the old picture, while the outlines are projected round
//   the new home in a worker), the paint once they are (every outline scaled to pixels again),
//   and the wall-clock time from setting the home to its picture;
// - the same scene, pan and zoom with 10,000 paths in the window (200 a cloud, of which the map
//   draws the newest 50 of each and all of the ringed cloud);
// and once, reading the built-in outlines.
// `ionvane_map_bench --profile scene|pan|zoom N` paints N times of one kind and prints nothing,
// for `valgrind --tool=callgrind --toggle-collect='*ProfiledPaints*'`, whose instruction counts
// hold on a busy machine where the clock does not.
#include "map/map_view.h"
#include "tests/map/fake_scene.h"
#include "tests/map/user_view.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QKeyEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sched.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time of the whole process (Qt's raster engine may hand large fills to pooled threads):
// on a shared machine it moves far less than the wall clock.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Figure {
    double WallMs, CpuMs;
};

Figure MedianMs(int runs, const std::function<void()> &before, const std::function<void()> &paint) {
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        before();
        const auto start = Clock::now();
        const double cpuStart = CpuMs();
        paint();
        cpu.push_back(CpuMs() - cpuStart);
        wall.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

// N paints of one kind, each after its change (see the file's header).
void ProfiledPaints(int count, const std::function<void()> &before,
                    const std::function<void()> &paint) {
    for (int i = 0; i < count; ++i) {
        before();
        paint();
    }
}

} // namespace

int main(int argc, char *argv[]) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    using namespace ionvane::map;

    const auto loadStart = Clock::now();
    const WorldOutlinesResult outlines = LoadWorldOutlines();
    const double loadMs = Milliseconds(Clock::now() - loadStart);
    MapView view;
    if (!testing::SetUpUserView(view, outlines)) {
        return 1;
    }
    view.SetScene(testing::FakeOpening(50, 500));
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    QImage image2(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image2.setDevicePixelRatio(2.0);
    const auto paint = [&] { view.render(&image); };
    const auto nothing = [] {};
    const MapScene busy = testing::FakeOpening(50, 500);
    const auto newScene = [&] { view.SetScene(busy); };
    int step = 0;
    // Ten steps right, ten back: the view stays near home, as a user pans about an opening.
    const auto panStep = [&] {
        QKeyEvent key(QEvent::KeyPress, (step++ / 10) % 2 ? Qt::Key_Left : Qt::Key_Right,
                      Qt::NoModifier);
        QApplication::sendEvent(&view, &key);
    };
    int notch = 0;
    // Four notches out, four back in, about the middle.
    const auto zoomStep = [&] { testing::TurnWheel(view, (notch++ / 4) % 2 ? 1 : -1); };

    const QStringList args = QApplication::arguments();
    if (args.size() == 4 && args[1] == "--profile") {
        view.SetHome(testing::HomeIO90IR, "IO90IR");
        paint();
        const int count = args[3].toInt();
        if (args[2] == "scene") {
            ProfiledPaints(count, newScene, paint);
        } else if (args[2] == "pan") {
            ProfiledPaints(count, panStep, paint);
        } else if (args[2] == "zoom") {
            ProfiledPaints(count, zoomStep, paint);
        } else {
            std::fprintf(stderr, "--profile scene|pan|zoom COUNT\n");
            return 2;
        }
        return 0;
    }

    // A new home: the paint at once (the old picture), the paint once the outlines are projected
    // round it, and the time from one to the other; IO90IR and JN58TD in turns.
    paint();
    std::vector<double> homeOld, homeOldCpu, homeNew, homeNewCpu, homeTotal;
    for (int i = 0; i < 11; ++i) {
        const auto start = Clock::now();
        double cpu = CpuMs();
        if (i % 2 == 0) {
            view.SetHome({48.145833333333333, 11.625}, "JN58TD");
        } else {
            view.SetHome(testing::HomeIO90IR, "IO90IR");
        }
        paint();
        homeOld.push_back(Milliseconds(Clock::now() - start));
        homeOldCpu.push_back(CpuMs() - cpu);
        QEventLoop wait;
        QObject::connect(&view, &MapView::homeShown, &wait, &QEventLoop::quit);
        if (view.HomePending()) {
            wait.exec();
        }
        const auto shown = Clock::now();
        cpu = CpuMs();
        paint();
        homeNew.push_back(Milliseconds(Clock::now() - shown));
        homeNewCpu.push_back(CpuMs() - cpu);
        homeTotal.push_back(Milliseconds(Clock::now() - start));
    }
    const auto median = [](std::vector<double> values) {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    };
    view.SetHome(testing::HomeIO90IR, "IO90IR");
    QEventLoop settle;
    QObject::connect(&view, &MapView::homeShown, &settle, &QEventLoop::quit);
    if (view.HomePending()) {
        settle.exec();
    }
    paint();
    const Figure repaint = MedianMs(100, nothing, paint);
    const Figure scene = MedianMs(100, newScene, paint);
    const Figure repaint2 = MedianMs(100, nothing, [&] { view.render(&image2); });
    const Figure pan = MedianMs(100, panStep, paint);
    view.GoHome();
    const Figure zoom = MedianMs(40, zoomStep, paint);

    // 10,000 paths in the window.
    view.GoHome();
    notch = 0;
    step = 0;
    const MapScene crowded = testing::FakeOpening(50, 10000);
    const Figure crowdedScene = MedianMs(
        40, [&] { view.SetScene(crowded); }, paint);
    const Figure crowdedPan = MedianMs(40, panStep, paint);
    view.GoHome();
    const Figure crowdedZoom = MedianMs(40, zoomStep, paint);

    std::printf("Map, 1000x800, world outlines, 50 clouds, 500 paths, one core, medians "
                "(wall clock / process CPU time):\n");
    const auto line = [](const char *what, Figure f) {
        std::printf("  %-44s %8.2f ms / %6.2f ms\n", what, f.WallMs, f.CpuMs);
    };
    line("repaint, same view (100 paints; target 16 ms)", repaint);
    line("repaint after a new scene (100 paints)", scene);
    line("repaint at 200% (2000x1600 device pixels)", repaint2);
    line("repaint while panning (100 paints)", pan);
    line("repaint after a zoom step (40 paints)", zoom);
    line("a new home: paint at once (old picture)", {median(homeOld), median(homeOldCpu)});
    line("a new home: paint once projected", {median(homeNew), median(homeNewCpu)});
    std::printf("  %-44s %8.2f ms\n", "a new home: set to its picture shown", median(homeTotal));
    std::printf("With 10,000 paths in the window (50 clouds, 200 paths each; drawn: the newest 50 "
                "a cloud and all of the ringed one):\n");
    line("repaint after a new scene (40 paints)", crowdedScene);
    line("repaint while panning (40 paints)", crowdedPan);
    line("repaint after a zoom step (40 paints)", crowdedZoom);
    std::printf("  %-44s %8.2f ms\n", "reading the built-in outlines (once)", loadMs);
    return 0;
}
