// The live window under a feed burst: a mosquitto of its own on 127.0.0.1 and a publisher (both on
// core 1) sending realistic FT8 and FT4 reports at 200 and then 1,000 a second for 30 s each to
// `ionvane --live`'s window (core 0, its history store in a folder of its own, all four Es bands
// subscribed). For each rate, measured inside the window's process:
// - its CPU share: CPU time of the whole process (all threads) over the wall-clock time of the
//   burst, of one core;
// - how far it falls behind: the reports sent but not yet taken (sampled every 100 ms), and the
//   age of the newest report the spot list shows, each time the list is painted (each report
//   leaves at a known instant of the monotonic clock, which both processes share);
// - reports lost: sent and never taken;
// - how soon it answers a key: once a second a thread outside the event loop posts + or - to the
//   map, as a keyboard does, and the time runs until the map has repainted at its new zoom.
//
//   ionvane_live_burst_bench PUBLISHER MOSQUITTO [--other OTHER-BENCH] [--pictures DIR]
//   ionvane_live_burst_bench --window PORT PUBLISHER CAPTURE RATE [PICTURE]
//
// --other runs the same bursts against another build of this benchmark (main's, say) in the same
// run, in turns. --pictures saves the map at two thirds of the 1,000-a-second burst as
// DIR/burst-1000.png (at the screen's scale: run under QT_SCALE_FACTOR=2 for 200%), with the
// busiest cloud selected and the 6 m line drawn.
#include "child_process.h"
#include "feed_burst.h"
#include "local_broker.h"
#include "paint_watch.h"
#include "process_figures.h"

#include "history/history_store.h"
#include "live/live_core.h"
#include "livewindow/live_window.h"
#include "window/locale_format.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QInputDevice>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ionvane::bench::CpuSeconds;
using ionvane::bench::KeyWatch;
using ionvane::bench::ListWatch;
using ionvane::bench::MonotonicSeconds;

// Each burst lasts this long, s.
constexpr int BurstSeconds = 30;
// The publisher starts this long after the window's feed is live, ms: room to spawn it.
constexpr int PublisherLeadMs = 300;
// After the last report has left, the window gets this long to take the rest, ms.
constexpr int DrainLimitMs = 20000;
// How long to wait for the window's feed to get live and for the land to be read, ms.
constexpr int ReadyLimitMs = 30000;
// Backlog samples and key presses: every 100 ms and every second of the burst.
constexpr int SampleIntervalMs = 100;
constexpr int KeyIntervalMs = 1000;
// 2026-06-14T10:00:00Z: the burst's own report times, replaced by the publisher as it sends.
constexpr std::int64_t T0 = 1781431200;

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Max(const std::vector<double> &values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

int WindowMode(int argc, char *argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const QString port = argv[2];
    const std::string publisher = argv[3];
    const std::string capture = argv[4];
    const double rate = std::atof(argv[5]);
    const QString picture = argc > 6 ? QString::fromLocal8Bit(argv[6]) : QString();
    long total = 0;
    {
        std::ifstream in(capture);
        for (std::string line; std::getline(in, line);) {
            total += ionvane::feed::ReadCaptureLine(line) ? 1 : 0;
        }
    }

    using namespace ionvane;
    QTemporaryDir dir;
    const auto nowUtc = [] { return QDateTime::currentSecsSinceEpoch(); };
    history::HistoryStore store(dir.filePath("history.sqlite"), nowUtc());
    livewindow::LiveWindowSetup setup;
    setup.ConfigDir = dir.path();
    setup.Home = window::Settings{"IO90IR", 110.0F, 0.15F, "IO90IR"};
    setup.Format = window::NumberFormatOf(QLocale::c());
    setup.NowUtc = nowUtc;
    setup.OpenCore = [&store](live::CoreSetup core) {
        core.Store = &store;
        return std::make_unique<live::LiveCore>(std::move(core));
    };
    livewindow::frmLive live(std::move(setup));
    // The context of this benchmark's connections: gone before the window, whose feed still
    // reports its end when it goes.
    QObject context;
    QEventLoop wait;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &wait, &QEventLoop::quit);
    bool outlines = false;
    QObject::connect(&live, &livewindow::frmLive::outlinesRead, &wait, [&] {
        outlines = true;
        wait.quit();
    });
    live.show();
    limit.start(ReadyLimitMs);
    while (!outlines && limit.isActive()) {
        wait.exec();
    }

    live.findChild<QLineEdit *>("txtBroker")->setText("127.0.0.1:" + port);
    for (const char *band : {"10m", "6m", "4m", "2m"}) {
        live.findChild<QCheckBox *>(QString("chkFeed") + band)->setChecked(true);
    }
    live.findChild<QPushButton *>("cmdFeedConnect")->click();
    long received = 0;
    bool connected = false;
    live.Session().Core()->Subscribe(&context, [&](const ionvane::live::LiveEvent &event) {
        if (const auto *taken = std::get_if<ionvane::live::SpotTaken>(&event);
            taken != nullptr && taken->From == ionvane::live::LineSource::Feed &&
            !taken->Restored) {
            ++received;
        } else if (const auto *state = std::get_if<ionvane::live::SourceState>(&event);
                   state != nullptr && state->From == ionvane::live::LineSource::Feed) {
            connected = std::get<ionvane::live::FeedConnection>(state->News).Event.Connection ==
                        feed::FeedConnection::Subscribed;
            wait.quit();
        }
    });
    limit.start(ReadyLimitMs);
    while (!connected && limit.isActive()) {
        wait.exec();
    }
    if (!connected) {
        std::fprintf(stderr, "the window's feed did not get live\n");
        return 1;
    }

    const double start = MonotonicSeconds() + PublisherLeadMs / 1e3;
    const auto sentBy = [&](double at) {
        return std::clamp(static_cast<long>((at - start) * rate) + 1, 0L, total);
    };
    // What the spot list shows was taken when its model last changed.
    long shown = 0;
    QAbstractItemModel *spots = live.findChild<QTableView *>("tblSpots")->model();
    QObject::connect(spots, &QAbstractItemModel::modelReset, &context, [&] { shown = received; });
    QObject::connect(spots, &QAbstractItemModel::layoutChanged, &context,
                     [&] { shown = received; });
    QObject::connect(spots, &QAbstractItemModel::rowsInserted, &context, [&] { shown = received; });
    ListWatch list(shown, [&](long report) {
        return MonotonicSeconds() - (start + static_cast<double>(report) / rate);
    });
    live.findChild<QTableView *>("tblSpots")->viewport()->installEventFilter(&list);
    auto *map = live.findChild<QWidget *>("mapView");
    KeyWatch keys;
    map->installEventFilter(&keys);

    const double cpuBefore = CpuSeconds();
    const pid_t child =
        ionvane::bench::StartPinned({publisher, port.toStdString(), capture, std::to_string(rate),
                                     std::to_string(static_cast<long long>(start * 1e9))},
                                    1, "", "");
    const double end = start + static_cast<double>(total) / rate;
    // A key event made in the presser thread would make the keyboard's device object there.
    QInputDevice::primaryKeyboard();
    std::atomic<bool> stop = false;
    std::thread presser([&] {
        int presses = 0;
        for (double at = start + 0.5; at < end && !stop; at += KeyIntervalMs / 1e3) {
            while (MonotonicSeconds() < at && !stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            {
                std::lock_guard guard(keys.Lock);
                keys.PostedAt.push_back(MonotonicSeconds());
            }
            QCoreApplication::postEvent(
                map, new QKeyEvent(QEvent::KeyPress, presses++ % 2 ? Qt::Key_Minus : Qt::Key_Plus,
                                   Qt::NoModifier));
        }
    });
    long maxQueued = 0;
    QTimer sampler;
    // Every tick also hands control back to the waits below, which look again.
    QObject::connect(&sampler, &QTimer::timeout, &context, [&] {
        maxQueued = std::max(maxQueued, sentBy(MonotonicSeconds()) - received);
        wait.quit();
    });
    sampler.start(SampleIntervalMs);
    if (!picture.isEmpty()) {
        QTimer::singleShot(static_cast<int>((end - MonotonicSeconds()) * 2 / 3 * 1000), &context,
                           [&] {
                               live.findChild<QPushButton *>("cmdBand6m")->click();
                               auto *clouds = live.findChild<QTableView *>("tblClouds");
                               clouds->selectRow(0);
                               QTimer::singleShot(livewindow::DefaultRefreshIntervalMs * 2, &live,
                                                  [map, picture] { map->grab().save(picture); });
                           });
    }
    limit.start(static_cast<int>((end - MonotonicSeconds()) * 1000) + DrainLimitMs);
    while (limit.isActive() && !(received >= total && MonotonicSeconds() > end)) {
        wait.exec();
    }
    const double cpu = CpuSeconds() - cpuBefore;
    const double wall = MonotonicSeconds() - start;
    // The last report on screen: the spot list's first paint that shows it. A window that
    // refreshes inside the report's own handling (as one without gathering does) resets its list
    // before this benchmark's slot, connected after the window's, has counted the report: there
    // the list is one report ahead of `shown`, which this allows for (its ages are then one
    // report's interval too high).
    const long last = received;
    const auto paintShowing = [&](long report) {
        return std::find(list.ShownAt.begin(), list.ShownAt.end(), report);
    };
    const double drainStart = MonotonicSeconds();
    limit.start(DrainLimitMs);
    while (
        limit.isActive() && paintShowing(last) == list.ShownAt.end() &&
        !(paintShowing(last - 1) != list.ShownAt.end() && MonotonicSeconds() - drainStart > 2.0)) {
        wait.exec();
    }
    auto at = paintShowing(last);
    if (at == list.ShownAt.end()) {
        at = paintShowing(last - 1);
    }
    const double lastShownAge =
        at == list.ShownAt.end() ? -1
                                 : list.Ages[static_cast<std::size_t>(at - list.ShownAt.begin())];
    stop = true;
    presser.join();
    int status = 0;
    waitpid(child, &status, 0);
    std::lock_guard guard(keys.Lock);
    std::printf("%.0f %ld %ld %.4f %ld %.4f %.4f %.4f %.4f %.4f %zu %zu\n", rate, total, received,
                cpu / wall, maxQueued, Median(list.Ages), Max(list.Ages), lastShownAge,
                Median(keys.Answers), Max(keys.Answers), keys.Answers.size(), keys.PostedAt.size());
    std::fflush(stdout);
    live.close();
    return 0;
}

struct Result {
    double Rate = 0;
    long Sent = 0;
    long Taken = 0;
    double CpuShare = 0;
    long MaxQueued = 0;
    double AgeMedian = 0;
    double AgeMax = 0;
    double LastAge = 0;
    double KeyMedian = 0;
    double KeyMax = 0;
    std::size_t Keys = 0;
    std::size_t KeysPosted = 0;
};

bool ReadResult(const fs::path &file, Result &r) {
    std::ifstream in(file);
    return static_cast<bool>(in >> r.Rate >> r.Sent >> r.Taken >> r.CpuShare >> r.MaxQueued >>
                             r.AgeMedian >> r.AgeMax >> r.LastAge >> r.KeyMedian >> r.KeyMax >>
                             r.Keys >> r.KeysPosted);
}

int Orchestrate(int argc, char *argv[]) {
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string publisher = argv[1];
    const std::string mosquitto = argv[2];
    std::string other;
    std::string pictures;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--other") {
            other = argv[i + 1];
        } else if (std::string(argv[i]) == "--pictures") {
            pictures = argv[i + 1];
        }
    }
    const fs::path dir =
        fs::temp_directory_path() / ("ionvane-live-burst-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const ionvane::bench::LocalBroker broker = ionvane::bench::StartBroker(mosquitto, dir, 1);
    if (broker.Pid == 0) {
        std::fprintf(stderr, "%s did not start on 127.0.0.1\n", mosquitto.c_str());
        return 1;
    }
    std::vector<std::pair<std::string, std::string>> builds = {{"this build", self}};
    if (!other.empty()) {
        builds.emplace_back("other build", other);
    }
    std::vector<std::pair<std::string, Result>> results;
    bool ok = true;
    for (const int rate : {200, 1000}) {
        const fs::path capture = dir / ("burst-" + std::to_string(rate) + ".capture");
        ionvane::bench::WriteBurst(capture, T0, 30142870000ULL, static_cast<unsigned>(rate),
                                   rate * BurstSeconds, BurstSeconds, 3);
        for (const auto &[name, program] : builds) {
            std::vector<std::string> args = {
                program,   "--window",       std::to_string(broker.Port),
                publisher, capture.string(), std::to_string(rate)};
            if (!pictures.empty() && rate == 1000 && program == self) {
                args.push_back((fs::path(pictures) / "burst-1000.png").string());
            }
            const fs::path out = dir / "window.out";
            const pid_t child = ionvane::bench::StartPinned(args, 0, "", out.string());
            int status = 0;
            waitpid(child, &status, 0);
            Result r;
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !ReadResult(out, r)) {
                std::fprintf(stderr, "%s at %d a second failed\n", name.c_str(), rate);
                ok = false;
                continue;
            }
            results.emplace_back(name, r);
        }
    }
    ionvane::bench::StopBroker(broker);
    fs::remove_all(dir);
    std::printf("Live window under a feed burst (%d s at each rate; window on core 0, broker and "
                "publisher on core 1):\n",
                BurstSeconds);
    std::printf("  %-11s %7s %6s %5s %9s %7s %16s %10s %19s\n", "build", "rate", "sent", "lost",
                "CPU share", "queued", "newest shown", "last shown", "key answered");
    std::printf("  %-11s %7s %6s %5s %9s %7s %16s %10s %19s\n", "", "", "", "", "of a core",
                "at most", "median/max ms", "after ms", "median/max ms");
    for (const auto &[name, r] : results) {
        std::printf("  %-11s %5.0f/s %6ld %5ld %8.1f%% %7ld %7.0f / %-6.0f %10.0f %7.0f / %-5.0f "
                    "(%zu of %zu)\n",
                    name.c_str(), r.Rate, r.Sent, r.Sent - r.Taken, r.CpuShare * 100, r.MaxQueued,
                    r.AgeMedian * 1e3, r.AgeMax * 1e3, r.LastAge * 1e3, r.KeyMedian * 1e3,
                    r.KeyMax * 1e3, r.Keys, r.KeysPosted);
    }
    std::printf("  newest shown: the age of the newest report in the spot list at each of its "
                "paints; last shown: from the last report's sending to the list's paint that "
                "shows it\n");
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc >= 6 && std::string(argv[1]) == "--window") {
        return WindowMode(argc, argv);
    }
    if (argc < 3 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: ionvane_live_burst_bench PUBLISHER MOSQUITTO [--other "
                             "OTHER-BENCH] [--pictures DIR]\n");
        return 2;
    }
    return Orchestrate(argc, argv);
}
