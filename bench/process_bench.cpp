// Whole-process figures: ionvane-cli --batch over 200,000 lines (lines per second on one core,
// peak memory) beside GeographicLib's GeodSolve -i on the same paths, and the start-up of the
// window (ionvane's start, left once the window is shown: bench/window_start.cpp) and of the live
// window (`ionvane --live`: bench/live_window_start.cpp) beside a bare Qt window.
#include "calc/locator.h"
#include "child_process.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sched.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Measure {
    double Seconds;
    long PeakKb;
};

// Runs `argv` with stdin and stdout redirected, pinned to one core; wall time and peak memory.
Measure Run(const std::vector<std::string> &argv, const std::string &input,
            const std::string &output, const std::vector<std::string> &environment = {}) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ionvane::bench::StartPinned(argv, 0, input, output, environment);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0].c_str(), status);
        std::exit(1);
    }
    return {elapsed.count(), usage.ru_maxrss};
}

Measure Median(std::vector<Measure> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Measure &a, const Measure &b) { return a.Seconds < b.Seconds; });
    Measure median = runs[runs.size() / 2];
    for (const auto &run : runs) {
        median.PeakKb = std::max(median.PeakKb, run.PeakKb);
    }
    return median;
}

// Spots as a cluster gives them: locators across Europe and North America, VHF frequencies. The
// same paths go to `geodesics` as "lat1 lon1 lat2 lon2" lines of subsquare centres, for GeodSolve.
void WriteSpots(const fs::path &file, const fs::path &geodesics, int lines) {
    std::mt19937 random(7);
    const char *fields[] = {"IO", "IN", "JO", "JN", "JM", "KN", "KO", "KP", "IM", "FN", "EN", "EM"};
    const char *freqs[] = {"50.1", "50.313", "50.125", "70.2", "144.174", "28.885", "144.3"};
    const auto locator = [&] {
        std::string loc = fields[random() % 12];
        loc += static_cast<char>('0' + random() % 10);
        loc += static_cast<char>('0' + random() % 10);
        if (random() % 3 != 0) {
            loc += static_cast<char>('A' + random() % 24);
            loc += static_cast<char>('A' + random() % 24);
        }
        return loc;
    };
    const auto centre = [](const std::string &loc) {
        return ionvane::calc::DecodeLocator(std::string_view(loc.size() == 4 ? loc + "MM" : loc));
    };
    std::ofstream out(file);
    std::ofstream paths(geodesics);
    paths.precision(17);
    for (int i = 0; i < lines; ++i) {
        const std::string from = locator();
        const std::string to = locator();
        out << from << ' ' << to << ' ' << freqs[random() % 7];
        if (i % 4 == 0) {
            out << ' ' << locator();
        }
        out << '\n';
        const auto a = centre(from);
        const auto b = centre(to);
        paths << a.LatDeg << ' ' << a.LonDeg << ' ' << b.LatDeg << ' ' << b.LonDeg << '\n';
    }
}

// Lines in a capture file.
long CountLines(const fs::path &file) {
    std::ifstream in(file);
    long lines = 0;
    for (std::string line; std::getline(in, line);) {
        ++lines;
    }
    return lines;
}

// ionvane-cli --replay over generated captures of a busy all-band node (4,200 lines an hour, most
// of them HF spots without locators): lines per second through the reader, the calculation, the
// classifier, the tracker and the verdicts, without and with the history store, as a ratio to the
// batch rate just measured; then peak memory after 2, 6 and 24 hours of capture.
void ReplayFigures(const std::string &cli, const std::string &generator, const fs::path &work,
                   double batchRate) {
    const std::vector<std::string> home = {"--home", "IO90IR", "--es-layer", "110",
                                           "--masl", "150",    "--locale",   "en_US"};
    std::vector<std::pair<int, fs::path>> captures;
    for (const int hours : {2, 6, 24}) {
        const fs::path capture = work / ("capture-" + std::to_string(hours) + "h.txt");
        Run({generator, std::to_string(hours)}, "", capture);
        captures.emplace_back(hours, capture);
    }
    const fs::path day = captures.back().second;
    const long dayLines = CountLines(day);
    const fs::path store = work / "history.sqlite";
    for (const bool withStore : {false, true}) {
        std::vector<Measure> runs;
        for (int i = 0; i < 3; ++i) {
            std::vector<std::string> args = {cli, "--replay", day.string()};
            args.insert(args.end(), home.begin(), home.end());
            if (withStore) {
                fs::remove(store);
                fs::remove(store.string() + "-wal");
                fs::remove(store.string() + "-shm");
                args.insert(args.end(), {"--history", store.string()});
            }
            runs.push_back(Run(args, "", work / "replay.jsonl",
                               {"XDG_DATA_HOME=" + (work / "data").string()}));
        }
        const Measure m = Median(runs);
        const double rate = static_cast<double>(dayLines) / m.Seconds;
        std::printf("%-44s %10.0f l/s %9ld kB\n",
                    (std::string("ionvane-cli --replay, 24 h, ") +
                     (withStore ? "with store" : "no store") + ", one core")
                        .c_str(),
                    rate, m.PeakKb);
        std::printf("%-44s %14.2f\n", "  ratio to the --batch line rate", rate / batchRate);
    }
    // Placing calls (the default country file read at start, the grid memory) against neither, in
    // the same run: the cost of placing spots without locators.
    std::array<double, 2> rates{};
    for (const bool placing : {true, false}) {
        std::vector<Measure> runs;
        for (int i = 0; i < 3; ++i) {
            std::vector<std::string> args = {cli, "--replay", day.string()};
            args.insert(args.end(), home.begin(), home.end());
            if (!placing) {
                args.insert(args.end(), {"--cty", "none", "--no-grid-memory"});
            }
            runs.push_back(Run(args, "", work / "replay.jsonl"));
        }
        rates[placing ? 0 : 1] = static_cast<double>(dayLines) / Median(runs).Seconds;
    }
    std::printf("%-44s %14.2f\n", "  placing calls / neither (--cty none)", rates[0] / rates[1]);
    for (const auto &[hours, capture] : captures) {
        std::vector<std::string> args = {cli, "--replay", capture.string()};
        args.insert(args.end(), home.begin(), home.end());
        const Measure m = Run(args, "", work / "replay.jsonl");
        std::printf("%-44s %10ld lines %9ld kB\n",
                    ("ionvane-cli --replay, " + std::to_string(hours) + " h capture").c_str(),
                    CountLines(capture), m.PeakKb);
    }
}

// Puts the live module (or, in an older build, the window's and its core's) beside a copied start
// program where it looks for them, taken from beside the program the copy is made of (a build from
// before the modules has none).
void CopyLiveModule(const fs::path &program, const fs::path &copyBin) {
    const fs::path folder = (program.parent_path() / IONVANE_LIVE_MODULE_RELATIVE).parent_path();
    if (!fs::exists(folder)) {
        return;
    }
    const fs::path copy = (copyBin / IONVANE_LIVE_MODULE_RELATIVE).parent_path();
    fs::create_directories(copy);
    for (const fs::directory_entry &module : fs::directory_iterator(folder)) {
        if (module.path().extension() == ".so") {
            fs::copy_file(module.path(), copy / module.path().filename(),
                          fs::copy_options::overwrite_existing);
        }
    }
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc != 7 && argc != 9) {
        std::fprintf(stderr,
                     "usage: %s IONVANE-CLI WINDOW-START LIVE-WINDOW-START BARE-WINDOW GEODSOLVE "
                     "CAPTURE-GENERATOR [OTHER-WINDOW-START OTHER-LIVE-WINDOW-START]\n",
                     argv[0]);
        return 2;
    }
    const fs::path work = fs::temp_directory_path() / ("ionvane-bench-" + std::to_string(getpid()));
    fs::create_directories(work);
    const std::string cli = argv[1];
    const std::string geodSolve = argv[5];
    const std::vector<std::string> settings = {"--batch", "--home", "IO90IR",   "--es-layer", "110",
                                               "--masl",  "150",    "--locale", "en_US"};

    std::printf("%-44s %14s %12s\n", "process", "figure", "peak memory");
    double batchRate = 0;
    for (const int lines : {20'000, 200'000}) {
        const fs::path input = work / ("spots-" + std::to_string(lines) + ".txt");
        const fs::path geodesics = work / ("paths-" + std::to_string(lines) + ".txt");
        WriteSpots(input, geodesics, lines);
        std::vector<std::string> args = {cli};
        args.insert(args.end(), settings.begin(), settings.end());
        // Taken in turns, so that both see the same state of the machine.
        std::vector<Measure> runs;
        std::vector<Measure> peerRuns;
        for (int i = 0; i < 5; ++i) {
            runs.push_back(Run(args, input, work / "out.jsonl"));
            peerRuns.push_back(Run({geodSolve, "-i"}, geodesics, work / "geod.out"));
        }
        const Measure m = Median(runs);
        const Measure peer = Median(peerRuns);
        const std::string count = std::to_string(lines) + " lines";
        std::printf("%-44s %10.0f l/s %9ld kB\n",
                    ("ionvane-cli --batch, " + count + ", one core").c_str(), lines / m.Seconds,
                    m.PeakKb);
        std::printf("%-44s %10.0f l/s %9ld kB\n", ("GeodSolve -i, same paths, " + count).c_str(),
                    lines / peer.Seconds, peer.PeakKb);
        std::printf("%-44s %14.2f\n", "ratio of line rates, ionvane-cli / GeodSolve",
                    peer.Seconds / m.Seconds);
        batchRate = lines / m.Seconds;
    }
    ReplayFigures(cli, argv[6], work, batchRate);

    // The window programs are copied so that nothing they might write lands beside the real one,
    // with the live window's module where they look for it; the live window's settings and
    // history store go to folders of the benchmark's own (the first run makes them, the others
    // start as a user does, with an empty hour behind them). A second pair of start programs
    // (another build's, such as main's) may be given to be measured in the same turns.
    const fs::path bin = work / "bin";
    fs::create_directories(bin);
    CopyLiveModule(argv[3], bin);
    std::vector<std::pair<std::string, fs::path>> programs = {
        {"ionvane start to window shown (offscreen)", bin / "ionvane"},
        {"ionvane --live start to live window shown", bin / "ionvane-live"}};
    fs::copy_file(argv[2], programs[0].second, fs::copy_options::overwrite_existing);
    fs::copy_file(argv[3], programs[1].second, fs::copy_options::overwrite_existing);
    if (argc == 9) {
        // In a tree of its own, so that its --live loads its own module.
        const fs::path baseBin = work / "other" / "bin";
        fs::create_directories(baseBin);
        CopyLiveModule(argv[8], baseBin);
        programs.emplace_back("  the same, other build", baseBin / "ionvane");
        programs.emplace_back("  the same --live, other build", baseBin / "ionvane-live");
        fs::copy_file(argv[7], programs[2].second, fs::copy_options::overwrite_existing);
        fs::copy_file(argv[8], programs[3].second, fs::copy_options::overwrite_existing);
    }
    const std::string bareWindow = argv[4];
    const std::vector<std::string> offscreen = {"QT_QPA_PLATFORM=offscreen"};
    const std::vector<std::string> liveEnvironment = {
        "QT_QPA_PLATFORM=offscreen", "XDG_DATA_HOME=" + (work / "live-data").string(),
        "XDG_CONFIG_HOME=" + (work / "live-config").string()};
    std::vector<std::vector<Measure>> runs(programs.size());
    std::vector<Measure> bareRuns;
    // Taken in turns, so that all see the same state of the machine.
    for (int i = 0; i < 21; ++i) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const bool live = p % 2 == 1;
            runs[p].push_back(Run({programs[p].second.string()}, "", work / "window.out",
                                  live ? liveEnvironment : offscreen));
        }
        bareRuns.push_back(Run({bareWindow}, "", work / "bare.out", offscreen));
    }
    const Measure bare = Median(bareRuns);
    std::vector<Measure> medians;
    for (std::size_t p = 0; p < programs.size(); ++p) {
        medians.push_back(Median(runs[p]));
        std::printf("%-44s %11.1f ms %9ld kB\n", programs[p].first.c_str(),
                    medians[p].Seconds * 1e3, medians[p].PeakKb);
    }
    std::printf("%-44s %11.1f ms %9ld kB\n", "bare Qt window, same measure", bare.Seconds * 1e3,
                bare.PeakKb);
    const char *ratioNames[] = {"ratio ionvane / bare", "ratio ionvane --live / bare",
                                "  other build: ionvane / bare", "  other build: --live / bare"};
    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::printf("%-44s %14.2f\n", ratioNames[p], medians[p].Seconds / bare.Seconds);
    }
    fs::remove_all(work);
    return 0;
}
