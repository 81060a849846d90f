// Starting a measured program as the benchmarks do: pinned to one core, its standard streams
// redirected, its environment extended. Linux only, as the benchmarks are.
#pragma once

#include <sched.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace ionvane::bench {

/// Starts `argv` (the program's path first) on `core`, reading `input` (or the inherited stdin
/// when empty), writing its stdout to `output` (or /dev/null when empty) and its stderr to
/// /dev/null, with `environment` ("NAME=VALUE") added; returns the child's id.
inline pid_t StartPinned(const std::vector<std::string> &argv, int core, const std::string &input,
                         const std::string &output,
                         const std::vector<std::string> &environment = {}) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(core, &set);
    sched_setaffinity(0, sizeof set, &set);
    if (!input.empty() && std::freopen(input.c_str(), "r", stdin) == nullptr) {
        _exit(126);
    }
    if (std::freopen(output.empty() ? "/dev/null" : output.c_str(), "w", stdout) == nullptr ||
        std::freopen("/dev/null", "w", stderr) == nullptr) {
        _exit(126);
    }
    for (const auto &variable : environment) {
        putenv(const_cast<char *>(variable.c_str()));
    }
    std::vector<char *> args;
    for (const auto &arg : argv) {
        args.push_back(const_cast<char *>(arg.c_str()));
    }
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
}

} // namespace ionvane::bench
