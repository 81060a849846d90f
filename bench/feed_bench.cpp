// Reports per second from an MQTT broker through the tracker, beside the replay of the same
// reports from a capture file, and the memory after a burst and after a second burst an hour of
// simulated time later.
//
//   ionvane_feed_bench PUBLISHER [MOSQUITTO]
//   ionvane_feed_bench --write DIR                    (the two bursts' captures, for profiles)
//   ionvane_feed_bench --feed PORT PUBLISHER CAPTURE...
//   ionvane_feed_bench --replay CAPTURE...
//
// Starts a mosquitto of its own on 127.0.0.1 (an ephemeral port, a config of its own). Then, in
// turns, three times each, in child processes pinned to core 0:
// - the feed: a FeedSource subscribed to the four Es bands, each report read and fed to the
//   tracker (SpotPipeline::FeedSpot) in the slot of its event; a publisher (PUBLISHER, pinned to
//   core 1 with the broker) publishes a burst of 100,000 reports at QoS 0 as fast as it can, and
//   the time runs from its start until the last report has passed the tracker; then the second
//   burst, its reports two hours after the first burst's;
// - the replay: the same two bursts as capture lines, read from the file through the same report
//   reader and into the same tracker, as --replay does.
// The receipt times come from an injected clock: each report is received 3 s after its own time,
// 100,000 of them spread over one hour of simulated time (1,667 a minute: a very big opening).
#include "child_process.h"
#include "feed/capture_body.h"
#include "feed/feed_event.h"
#include "feed/feed_source.h"
#include "feed_burst.h"
#include "local_broker.h"
#include "process_figures.h"
#include "synthetic/synthetic_capture.h"
#include "tracker/spot_pipeline.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <netinet/in.h>
#include <random>
#include <sched.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ionvane::bench::CpuSeconds;
using ionvane::bench::Finished;
using ionvane::bench::Memory;
using ionvane::bench::ProcessCpu;
using ionvane::bench::WallSeconds;
using ionvane::bench::WriteBurst;
using ionvane::feed::Seconds;

// A burst: 100,000 reports.
constexpr int BurstReports = 100000;
// A burst spans one hour of simulated time.
constexpr std::int64_t BurstSpanS = 3600;
// The second burst starts this long after the first, s: two hours, so that the first burst's
// spots and clouds have all left the tracker's 60-minute window.
constexpr std::int64_t SecondBurstAfterS = 2 * 3600;
// A report reaches the feed this long after its own time, s.
constexpr std::int64_t FeedDelayS = 3;
// 2026-06-14T10:00:00Z.
constexpr std::int64_t T0 = 1781431200;
// Feed sequence numbers of the first report.
constexpr std::uint64_t FirstSequence = 30142870000;
// Rounds of each measure; the medians are printed.
constexpr int Rounds = 3;
// The longest a burst may take before the benchmark gives up, ms.
constexpr int BurstLimitMs = 300000;

// The receipt times of a capture's lines, in order.
std::vector<Seconds> ReceiptTimes(const fs::path &file) {
    std::vector<Seconds> times;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        if (const auto report = ionvane::feed::ReadCaptureLine(line)) {
            times.push_back(report->ReceivedAt);
        }
    }
    return times;
}

ionvane::tracker::SpotPipeline Pipeline() {
    return {
        ionvane::tracker::SpotCalculator(ionvane::calc::PlainNumberFormat(),
                                         ionvane::tracker::HomeSettings{"IO90IR", 110.0F, 0.15F}),
        ionvane::tracker::TrackerSettings{}, false};
}

// Starts `argv` pinned to `core`, its output to `output` (or /dev/null).
pid_t Spawn(const std::vector<std::string> &argv, int core, const std::string &output) {
    return ionvane::bench::StartPinned(argv, core, "", output);
}

// Figures of one burst.
struct Burst {
    long Reports = 0;
    long Spots = 0;
    double Wall = 0;
    double Cpu = 0;
    double PublisherCpu = 0;
    long RssKb = 0;
    long HwmKb = 0;
};

// The feed side: reports from the broker at `port` through the tracker, burst after burst.
int FeedMode(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const int port = std::atoi(argv[2]);
    const std::string publisher = argv[3];
    std::vector<Seconds> receipts;
    for (int i = 4; i < argc; ++i) {
        const auto times = ReceiptTimes(argv[i]);
        receipts.insert(receipts.end(), times.begin(), times.end());
    }

    ionvane::feed::FeedSettings settings;
    settings.Host = "127.0.0.1";
    settings.Port = port;
    settings.Bands = {ionvane::spot::AllBands.begin(), ionvane::spot::AllBands.end()};
    std::size_t received = 0;
    ionvane::feed::FeedEnvironment environment;
    environment.Now = [&] {
        return std::chrono::system_clock::time_point(
            receipts[std::min(received, receipts.size() - 1)]);
    };
    ionvane::feed::FeedSource source(settings, environment);
    ionvane::tracker::SpotPipeline pipeline = Pipeline();
    std::vector<ionvane::tracker::TrackerEvent> events;
    QEventLoop loop;
    std::size_t target = 0;
    long spots = 0;
    bool live = false;
    QObject::connect(&source, &ionvane::feed::FeedSource::Event, &source,
                     [&](const ionvane::feed::FeedEvent &event) {
                         using Kind = ionvane::feed::FeedEvent::Kind;
                         if (event.What == Kind::Connection) {
                             live = source.State() == ionvane::feed::FeedState::Live;
                             loop.quit();
                             return;
                         }
                         ++received;
                         events.clear();
                         if (event.What == Kind::Spot) {
                             ++spots;
                             pipeline.FeedSpot(event.Time.time_since_epoch().count(),
                                               event.Reading.Read, events);
                         } else {
                             pipeline.Tick(event.ReceivedAt.time_since_epoch().count(), events);
                         }
                         if (received >= target) {
                             loop.quit();
                         }
                     });
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);

    source.Start();
    limit.start(BurstLimitMs);
    while (!live && limit.isActive()) {
        loop.exec();
    }
    if (!live) {
        std::fprintf(stderr, "the feed source did not get live\n");
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        target += static_cast<std::size_t>(BurstReports);
        const long spotsBefore = spots;
        const std::size_t receivedBefore = received;
        const double cpu = CpuSeconds();
        const double wall = WallSeconds();
        const pid_t child = Spawn({publisher, std::to_string(port), argv[i]}, 1, "");
        limit.start(BurstLimitMs);
        while (received < target && limit.isActive()) {
            loop.exec();
        }
        Burst burst;
        burst.Wall = WallSeconds() - wall;
        burst.Cpu = CpuSeconds() - cpu;
        burst.Reports = static_cast<long>(received - receivedBefore);
        burst.Spots = spots - spotsBefore;
        std::tie(burst.RssKb, burst.HwmKb) = Memory();
        if (!Finished(child, &burst.PublisherCpu) || received < target) {
            std::fprintf(stderr, "burst %d: %ld of %d reports\n", i - 3, burst.Reports,
                         BurstReports);
            return 1;
        }
        std::printf("%ld %ld %.6f %.6f %.6f %ld %ld\n", burst.Reports, burst.Spots, burst.Wall,
                    burst.Cpu, burst.PublisherCpu, burst.RssKb, burst.HwmKb);
    }
    source.Stop();
    return 0;
}

// The replay side: the same reports read from the capture files through the same reader and
// tracker.
int ReplayMode(int argc, char *argv[]) {
    ionvane::feed::ReportReader reader;
    ionvane::tracker::SpotPipeline pipeline = Pipeline();
    std::vector<ionvane::tracker::TrackerEvent> events;
    for (int i = 2; i < argc; ++i) {
        Burst burst;
        const double cpu = CpuSeconds();
        const double wall = WallSeconds();
        std::ifstream in(argv[i]);
        for (std::string line; std::getline(in, line);) {
            const auto event = ionvane::feed::ReplayEvent(reader, line);
            if (!event) {
                continue;
            }
            ++burst.Reports;
            events.clear();
            if (event->What == ionvane::feed::FeedEvent::Kind::Spot) {
                ++burst.Spots;
                pipeline.FeedSpot(event->Time.time_since_epoch().count(), event->Reading.Read,
                                  events);
            } else {
                pipeline.Tick(event->ReceivedAt.time_since_epoch().count(), events);
            }
        }
        burst.Wall = WallSeconds() - wall;
        burst.Cpu = CpuSeconds() - cpu;
        std::tie(burst.RssKb, burst.HwmKb) = Memory();
        std::printf("%ld %ld %.6f %.6f %.6f %ld %ld\n", burst.Reports, burst.Spots, burst.Wall,
                    burst.Cpu, burst.PublisherCpu, burst.RssKb, burst.HwmKb);
    }
    return 0;
}

std::vector<Burst> ReadBursts(const fs::path &file) {
    std::vector<Burst> bursts;
    std::ifstream in(file);
    Burst b;
    while (in >> b.Reports >> b.Spots >> b.Wall >> b.Cpu >> b.PublisherCpu >> b.RssKb >> b.HwmKb) {
        bursts.push_back(b);
    }
    return bursts;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Orchestrate(const std::string &self, const std::string &publisher,
                const std::string &mosquitto) {
    const fs::path dir =
        fs::temp_directory_path() / ("ionvane-feed-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path first = dir / "burst1.capture";
    const fs::path second = dir / "burst2.capture";
    WriteBurst(first, T0, FirstSequence, 1, BurstReports, BurstSpanS, FeedDelayS);
    WriteBurst(second, T0 + SecondBurstAfterS, FirstSequence + BurstReports, 2, BurstReports,
               BurstSpanS, FeedDelayS);

    const ionvane::bench::LocalBroker localBroker = ionvane::bench::StartBroker(mosquitto, dir, 1);
    if (localBroker.Pid == 0) {
        std::fprintf(stderr, "%s did not start on 127.0.0.1\n", mosquitto.c_str());
        fs::remove_all(dir);
        return 1;
    }
    const pid_t broker = localBroker.Pid;
    const std::uint16_t port = localBroker.Port;

    std::vector<double> feedRate[2], feedCpuRate[2], replayRate[2], replayCpuRate[2];
    std::vector<Burst> feedBursts;
    std::vector<double> receiverUs, brokerUs, publisherUs;
    bool ok = true;
    for (int round = 0; round < Rounds && ok; ++round) {
        const fs::path feedOut = dir / "feed.out";
        const fs::path replayOut = dir / "replay.out";
        const double brokerCpu = ProcessCpu(broker);
        ok = Finished(Spawn(
            {self, "--feed", std::to_string(port), publisher, first.string(), second.string()}, 0,
            feedOut.string()));
        const double brokerPerRound = ProcessCpu(broker) - brokerCpu;
        ok = ok && Finished(Spawn({self, "--replay", first.string(), second.string()}, 0,
                                  replayOut.string()));
        const auto feed = ReadBursts(feedOut);
        const auto replay = ReadBursts(replayOut);
        if (!ok || feed.size() != 2 || replay.size() != 2) {
            ok = false;
            break;
        }
        for (int b = 0; b < 2; ++b) {
            feedRate[b].push_back(static_cast<double>(feed[b].Reports) / feed[b].Wall);
            feedCpuRate[b].push_back(static_cast<double>(feed[b].Reports) / feed[b].Cpu);
            replayRate[b].push_back(static_cast<double>(replay[b].Reports) / replay[b].Wall);
            replayCpuRate[b].push_back(static_cast<double>(replay[b].Reports) / replay[b].Cpu);
        }
        feedBursts.insert(feedBursts.end(), feed.begin(), feed.end());
        const double reports = static_cast<double>(feed[0].Reports + feed[1].Reports);
        receiverUs.push_back((feed[0].Cpu + feed[1].Cpu) / reports * 1e6);
        brokerUs.push_back(brokerPerRound / reports * 1e6);
        publisherUs.push_back((feed[0].PublisherCpu + feed[1].PublisherCpu) / reports * 1e6);
    }
    ionvane::bench::StopBroker(localBroker);
    fs::remove_all(dir);
    if (!ok) {
        std::fprintf(stderr, "the feed benchmark failed\n");
        return 1;
    }

    std::printf("Feed: %d reports a burst from a local mosquitto through FeedSource, the report "
                "reader and the tracker (receiver on core 0), medians of %d\n",
                BurstReports, Rounds);
    std::printf("%-34s %14s %14s %14s %14s\n", "", "burst 1", "burst 2", "burst 1 CPU",
                "burst 2 CPU");
    std::printf("%-34s %12.0f/s %12.0f/s %12.0f/s %12.0f/s\n", "from the broker",
                Median(feedRate[0]), Median(feedRate[1]), Median(feedCpuRate[0]),
                Median(feedCpuRate[1]));
    std::printf("%-34s %12.0f/s %12.0f/s %12.0f/s %12.0f/s\n", "replay of the same capture",
                Median(replayRate[0]), Median(replayRate[1]), Median(replayCpuRate[0]),
                Median(replayCpuRate[1]));
    std::printf("%-34s %14.2f %14.2f %14.2f %14.2f\n", "broker / replay",
                Median(feedRate[0]) / Median(replayRate[0]),
                Median(feedRate[1]) / Median(replayRate[1]),
                Median(feedCpuRate[0]) / Median(replayCpuRate[0]),
                Median(feedCpuRate[1]) / Median(replayCpuRate[1]));
    std::printf("spots among the reports: %ld of %ld\n", feedBursts[0].Spots,
                feedBursts[0].Reports);
    std::printf("CPU time a report: receiver %.1f us, broker %.1f us, publisher %.1f us\n",
                Median(receiverUs), Median(brokerUs), Median(publisherUs));
    for (std::size_t i = 0; i + 1 < feedBursts.size(); i += 2) {
        std::printf("memory of round %zu: after burst 1 VmRSS %.1f MB VmHWM %.1f MB; after burst 2 "
                    "(an hour after the first ended) VmRSS %.1f MB VmHWM %.1f MB\n",
                    i / 2 + 1, static_cast<double>(feedBursts[i].RssKb) / 1024,
                    static_cast<double>(feedBursts[i].HwmKb) / 1024,
                    static_cast<double>(feedBursts[i + 1].RssKb) / 1024,
                    static_cast<double>(feedBursts[i + 1].HwmKb) / 1024);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc >= 5 && std::string(argv[1]) == "--feed") {
        return FeedMode(argc, argv);
    }
    if (argc >= 3 && std::string(argv[1]) == "--replay") {
        return ReplayMode(argc, argv);
    }
    if (argc == 3 && std::string(argv[1]) == "--write") {
        // The two bursts alone, for profiling the --feed and --replay sides by hand.
        fs::create_directories(argv[2]);
        WriteBurst(fs::path(argv[2]) / "burst1.capture", T0, FirstSequence, 1, BurstReports,
                   BurstSpanS, FeedDelayS);
        WriteBurst(fs::path(argv[2]) / "burst2.capture", T0 + SecondBurstAfterS,
                   FirstSequence + BurstReports, 2, BurstReports, BurstSpanS, FeedDelayS);
        return 0;
    }
    if (argc < 2 || argc > 3 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: ionvane_feed_bench PUBLISHER [MOSQUITTO]\n");
        return 2;
    }
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    return Orchestrate(self, argv[1], argc > 2 ? argv[2] : "/usr/sbin/mosquitto");
}
