// The evening in review on a busy history: seven hours of a busy node's 14 lines a second (six
// hours shown, the hour before them read as the tracker's lead-in) recorded in a store, then
// read and replayed once, then 60 positions of the slider spread over the six hours in a shuffled
// order, each timed from the move to the state the window draws. Reports the first read, the
// median and the slowest position, and the median as a share of the 200 ms a position may take.
#include "history/history_store.h"
#include "review/review_engine.h"
#include "spot/capture_line.h"
#include "synthetic/node_capture.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using namespace ionvane;
using Clock = std::chrono::steady_clock;

// A busy node: 14 lines a second (the history store's own figure), 50,400 an hour.
constexpr int LinesPerHour = 50'400;
constexpr int Hours = 7;
constexpr int Positions = 60;
constexpr double PositionBudgetMs = 200;
// Lines a transaction while the store is filled: the filling is not what is measured.
constexpr int LinesPerCommit = 10'000;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

std::int64_t FillStore(const QString &path) {
    std::stringstream capture;
    synthetic::WriteNodeCapture(capture, Hours, LinesPerHour, 7);
    history::HistoryStore store(path, synthetic::NodeCaptureStart, 365, LinesPerCommit);
    std::string text;
    std::int64_t last = synthetic::NodeCaptureStart;
    while (std::getline(capture, text)) {
        if (const auto line = spot::ReadCaptureLine(text)) {
            store.AddLine(line->Time, line->Line);
            store.EndLine();
            last = line->Time;
        }
    }
    store.Finish();
    return last;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("history.sqlite");
    const std::int64_t now = FillStore(path) + 1;

    review::ReviewSetup setup;
    setup.Format = calc::PlainNumberFormat();
    setup.Home = {"JO62QM", 110.0F, 0.15F};
    review::ReviewEngine engine(setup, path);
    const auto loadStart = Clock::now();
    const review::ReviewSpan span = engine.Load(now, review::DefaultReviewHours);
    const double loadMs = Ms(Clock::now() - loadStart);

    std::vector<review::UnixSeconds> times;
    for (int i = 0; i < Positions; ++i) {
        times.push_back(span.From + (span.To - span.From) * i / Positions);
    }
    std::shuffle(times.begin(), times.end(), std::mt19937(1));
    std::vector<double> ms;
    std::size_t clouds = 0;
    for (const review::UnixSeconds at : times) {
        const auto start = Clock::now();
        const review::ReviewMoment moment = engine.At(at);
        ms.push_back(Ms(Clock::now() - start));
        clouds = std::max(clouds, moment.Clouds.size());
    }
    std::sort(ms.begin(), ms.end());
    const double median = (ms[Positions / 2 - 1] + ms[Positions / 2]) / 2;
    std::cout << std::fixed << std::setprecision(1) << "Review of six hours of a busy history ("
              << span.Lines << " lines, " << engine.CheckpointCount() << " snapshots, up to "
              << clouds << " clouds) on " << QSysInfo::prettyProductName().toStdString() << ", "
              << std::thread::hardware_concurrency() << " cores:\n"
              << "  first read and replay          " << std::setw(8) << loadMs << " ms\n"
              << "  a slider position, median      " << std::setw(8) << median << " ms\n"
              << "  a slider position, slowest     " << std::setw(8) << ms.back() << " ms\n"
              << std::setprecision(2)
              << "  median / the 200 ms a position may take: " << median / PositionBudgetMs << "\n";
    return 0;
}
