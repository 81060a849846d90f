// What the benchmarks read of a process: its CPU and wall-clock time, its memory, and the end and
// CPU time of a child. Linux only, as the benchmarks are.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>

namespace ionvane::bench {

/// The CPU time of this process so far (user and system), s.
inline double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// The steady clock, s.
inline double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// VmRSS and VmHWM of this process, kB.
inline std::pair<long, long> Memory() {
    std::ifstream in("/proc/self/status");
    long rss = 0;
    long hwm = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            rss = std::atol(line.c_str() + 6);
        } else if (line.rfind("VmHWM:", 0) == 0) {
            hwm = std::atol(line.c_str() + 6);
        }
    }
    return {rss, hwm};
}

// Waits for `child`; whether it ended well. `cpu` gets its CPU time, s.
inline bool Finished(pid_t child, double *cpu = nullptr) {
    int status = 0;
    rusage usage{};
    const bool ended = wait4(child, &status, 0, &usage) == child;
    if (cpu != nullptr) {
        *cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The CPU time of process `pid` so far, s (its /proc stat: user and system clock ticks).
inline double ProcessCpu(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto end = text.rfind(')');
    if (end == std::string::npos) {
        return 0;
    }
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    double ticks = 0;
    // Fields 14 and 15 (utime, stime) are the 12th and 13th after the command's ")".
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i >= 14) {
            ticks += std::atof(field.c_str());
        }
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace ionvane::bench
