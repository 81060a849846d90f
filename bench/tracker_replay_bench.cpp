// A 6,000-report feed replay through the tracker, as whole `ionvane-cli --replay` processes, and
// the country file's load.
//
//   ionvane_tracker_replay_bench CLI [OLD_CLI] [COUNTRY_FILE]
//
// In turns, eleven rounds, each process pinned to core 0, its CPU time from wait4:
// - CLI as shipped: the country file (COUNTRY_FILE, default Debian's hamradio-files cty.dat) and
//   the grid memory on;
// - CLI with `--cty none --no-grid-memory`;
// - OLD_CLI, another build (the program as it was before the alarm-trust rules), when given.
// Reports a second of CPU time, medians, and their ratios from this one run. Then the country
// file read as the program reads it at start, in this process, median of 21 loads.
//
// The capture: 6,000 feed reports of the benchmarks' big 6 m opening (bench/feed_burst.h) over
// 30 minutes, about 2% without the receiver's locator, which the grid memory then places.
#include "child_process.h"
#include "feed_burst.h"
#include "live/country_file_reading.h"
#include "process_figures.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// 6,000 reports over 30 minutes (200 a minute, a busy feed in a big opening), received 3 s after
// their times; 2026-06-14T10:00:00Z.
constexpr int Reports = 6000;
constexpr std::int64_t SpanS = 30 * 60;
constexpr std::int64_t FeedDelayS = 3;
constexpr std::int64_t Start = 1781431200;
// Eleven rounds: a replay takes a fifth of a second, and on a shared machine fewer medians of so
// short a run drift by a tenth between runs.
constexpr int Rounds = 11;
constexpr int CountryLoads = 21;
constexpr const char *DefaultCountryFile = "/usr/share/hamradio-files/cty.dat";

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One replay; its CPU time, s, or a negative number when it failed.
double ReplayCpu(const std::vector<std::string> &argv) {
    const pid_t child = ionvane::bench::StartPinned(argv, 0, "", "");
    double cpu = 0;
    return ionvane::bench::Finished(child, &cpu) ? cpu : -1;
}

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The country file read as a session or a replay reads it at start (live::ReadCountryFile).
void CountryFileLoad(const std::string &path) {
    std::error_code error;
    const auto bytes = fs::file_size(path, error);
    if (error) {
        std::printf("country file %s: not found, load not measured\n", path.c_str());
        return;
    }
    std::vector<double> wallMs;
    std::vector<double> cpuMs;
    for (int i = 0; i < CountryLoads; ++i) {
        const auto wall = std::chrono::steady_clock::now();
        const double cpu = ProcessCpuSeconds();
        const ionvane::live::CountryFileLoad load = ionvane::live::ReadCountryFile(path);
        cpuMs.push_back((ProcessCpuSeconds() - cpu) * 1e3);
        wallMs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall)
                .count());
        if (!load.File) {
            std::printf("country file %s: not read (%s)\n", path.c_str(), load.Problem.c_str());
            return;
        }
    }
    std::printf("country file %s (%ju bytes): load %.1f ms wall, %.1f ms CPU (median of %d)\n",
                path.c_str(), static_cast<std::uintmax_t>(bytes), Median(wallMs), Median(cpuMs),
                CountryLoads);
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::cerr << "usage: ionvane_tracker_replay_bench CLI [OLD_CLI] [COUNTRY_FILE]\n";
        return 2;
    }
    const std::string cli = argv[1];
    const std::string old = argc > 2 ? argv[2] : "";
    const std::string countryFile = argc > 3 ? argv[3] : DefaultCountryFile;
    const fs::path dir =
        fs::temp_directory_path() / ("ionvane-replay-bench-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path capture = dir / "feed-6000.txt";
    ionvane::bench::WriteBurst(capture, Start, 1, 31, Reports, SpanS, FeedDelayS);

    const std::vector<std::string> common{"--replay", capture.string(), "--home", "JN58TD"};
    struct Run {
        const char *Name;
        std::vector<std::string> Argv;
        std::vector<double> Cpu;
    };
    std::vector<Run> runs;
    auto shipped = std::vector<std::string>{cli};
    shipped.insert(shipped.end(), common.begin(), common.end());
    shipped.insert(shipped.end(), {"--cty", countryFile});
    auto bare = std::vector<std::string>{cli};
    bare.insert(bare.end(), common.begin(), common.end());
    bare.insert(bare.end(), {"--cty", "none", "--no-grid-memory"});
    runs.push_back({"country file and grid memory", shipped, {}});
    runs.push_back({"neither", bare, {}});
    if (!old.empty()) {
        auto before = std::vector<std::string>{old};
        before.insert(before.end(), common.begin(), common.end());
        runs.push_back({"the other build", before, {}});
    }
    for (int round = 0; round < Rounds; ++round) {
        for (Run &run : runs) {
            const double cpu = ReplayCpu(run.Argv);
            if (cpu < 0) {
                std::cerr << "ionvane_tracker_replay_bench: " << run.Argv[0] << " failed ("
                          << run.Name << ")\n";
                fs::remove_all(dir);
                return 1;
            }
            run.Cpu.push_back(cpu);
        }
    }
    std::printf("6,000-report feed replay through the tracker (CPU time, median of %d, core 0):\n",
                Rounds);
    std::vector<double> rate;
    for (const Run &run : runs) {
        rate.push_back(Reports / Median(run.Cpu));
        std::printf("  %-30s %8.0f reports/s (%.3f s)\n", run.Name, rate.back(), Median(run.Cpu));
    }
    std::printf("  with the country file and grid memory / without: %.2f\n", rate[0] / rate[1]);
    if (runs.size() > 2) {
        std::printf("  this build / the other build: %.2f (without the country file and grid "
                    "memory: %.2f)\n",
                    rate[0] / rate[2], rate[1] / rate[2]);
    }
    fs::remove_all(dir);
    CountryFileLoad(countryFile);
    return 0;
}
