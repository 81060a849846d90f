// The Es MUF layer at the feed's busiest: 1,000 Es spots a second held for the 15-minute window
// (900,000 reflections over about 300 squares of Europe), on this machine, in one run:
// - a spot added and the oldest aged out, as the live window does per report (CPU ns, median of
//   blocks of 10,000 spots);
// - the squares read out for the map, as each refresh does four times a second (CPU us);
// - the same layer rebuilt from all its spots, as a layer without incremental updates would be per
//   spot (CPU ms), and its ratio to the incremental step;
// - the map's scene painted with those squares and without (1000x800 logical pixels, offscreen,
//   CPU ms, medians of 20 paints) and the ratio of the two.
// The live window's own burst figures (live_burst_bench) are taken with the layer on, as it is by
// default.
#include "map/map_view.h"
#include "tracker/muf_layer.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <ctime>
#include <functional>
#include <iomanip>
#include <iostream>
#include <random>
#include <vector>

namespace {

using ionvane::tracker::MufLayer;
using ionvane::tracker::Reflection;
using ionvane::tracker::TimedReflection;
using ionvane::tracker::UnixSeconds;

// 2026-06-14T10:00:00Z.
constexpr UnixSeconds Start = 1781431200;
constexpr int SpotsPerSecond = 1000;
constexpr int WindowS = 15 * 60;
constexpr int BlockSpots = 10'000;
constexpr int Blocks = 15;
constexpr int Paints = 20;

double CpuNs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Reflection points over Europe's Es belt, 36 to 56 N and 10 W to 30 E: about 300 squares.
class Spots {
  public:
    Reflection Next() { return {{Lat(Random), Lon(Random)}, Muf(Random)}; }

  private:
    std::mt19937 Random{20260614};
    std::uniform_real_distribution<double> Lat{36, 56};
    std::uniform_real_distribution<double> Lon{-10, 30};
    std::uniform_real_distribution<double> Muf{28, 200};
};

double PaintMs(ionvane::map::MapView &view, bool layer,
               const std::vector<ionvane::tracker::MufSquare> &squares) {
    ionvane::map::MapScene scene;
    if (layer) {
        scene.Muf = ionvane::map::MufLayerScene{Start, 15, {}};
        for (const auto &square : squares) {
            const auto b = ionvane::tracker::BoundsOf(square.Square);
            scene.Muf->Squares.push_back(
                {b.SouthDeg, b.WestDeg, b.NorthDeg, b.EastDeg, square.MufMHz});
        }
    }
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> ms;
    for (int i = 0; i < Paints; ++i) {
        view.SetScene(scene);
        QPainter painter(&image);
        const double before = CpuNs();
        view.Paint(painter);
        ms.push_back((CpuNs() - before) / 1e6);
    }
    return Median(ms);
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MufLayer layer(WindowS);
    Spots spots;
    std::vector<TimedReflection> all;
    // Fill the window: a quarter hour at the rate, each spot a thousandth of a second later
    // (whole seconds: a thousand spots share each).
    const int held = SpotsPerSecond * WindowS;
    all.reserve(held);
    for (int i = 0; i < held; ++i) {
        const UnixSeconds t = Start + i / SpotsPerSecond;
        const Reflection r = spots.Next();
        layer.Add(t, {r});
        all.push_back({t, r});
    }
    std::vector<double> stepNs;
    int n = held;
    for (int block = 0; block < Blocks; ++block) {
        const double before = CpuNs();
        for (int i = 0; i < BlockSpots; ++i, ++n) {
            const UnixSeconds t = Start + n / SpotsPerSecond;
            layer.AgeTo(t);
            layer.Add(t, {spots.Next()});
        }
        stepNs.push_back((CpuNs() - before) / BlockSpots);
    }
    std::vector<double> readUs;
    std::vector<ionvane::tracker::MufSquare> squares;
    for (int i = 0; i < Paints; ++i) {
        const double before = CpuNs();
        squares = layer.Squares();
        readUs.push_back((CpuNs() - before) / 1e3);
    }
    const double rebuildStart = CpuNs();
    const auto rebuilt = ionvane::tracker::MufSquaresAt(all, Start + WindowS - 1, WindowS);
    const double rebuildMs = (CpuNs() - rebuildStart) / 1e6;

    ionvane::map::MapView view;
    view.resize(1000, 800);
    view.SetHome({50.7, -1.3}, "IO90IR");
    const double withoutMs = PaintMs(view, false, squares);
    const double withMs = PaintMs(view, true, squares);

    const double step = Median(stepNs);
    std::cout << std::fixed << std::setprecision(1) << "Es MUF layer, " << SpotsPerSecond
              << " spots a second held for 15 minutes (" << layer.Size() << " reflections, "
              << squares.size() << " squares; rebuilt " << rebuilt.size()
              << "), CPU, this machine:\n"
              << "  spot added and aged out " << step << " ns; squares read " << Median(readUs)
              << " us; whole layer rebuilt " << rebuildMs << " ms = " << std::setprecision(0)
              << rebuildMs * 1e6 / step << " times a spot's step\n"
              << std::setprecision(2) << "  map scene painted with the squares " << withMs
              << " ms, without " << withoutMs << " ms: ratio " << withMs / withoutMs << "\n";
    return 0;
}
