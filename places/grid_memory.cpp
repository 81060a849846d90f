#include "grid_memory.h"

#include "call_sign.h"

#include <algorithm>
#include <charconv>

namespace ionvane::places {

namespace {

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return upper;
}

// "JN48" or "JN48AB", any case: the only grids remembered.
bool IsGrid(std::string_view grid) {
    if (grid.size() != 4 && grid.size() != 6) {
        return false;
    }
    const std::string g = Upper(grid);
    const auto in = [](char c, char last) { return c >= 'A' && c <= last; };
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    return in(g[0], 'R') && in(g[1], 'R') && digit(g[2]) && digit(g[3]) &&
           (g.size() == 4 || (in(g[4], 'X') && in(g[5], 'X')));
}

} // namespace

void GridMemory::Learn(std::string_view call, std::string_view grid, UnixSeconds when) {
    const std::string key = StationCall(call);
    if (!IsCallSign(key) || !IsGrid(grid) || MaxCalls == 0) {
        return;
    }
    const auto found = Calls.find(key);
    if (found != Calls.end()) {
        if (found->second.Heard.When > when) {
            return;
        }
        ByTime.erase(found->second.Order);
        Calls.erase(found);
    }
    while (Calls.size() >= MaxCalls) {
        Calls.erase(ByTime.begin()->second);
        ByTime.erase(ByTime.begin());
    }
    const auto order = ByTime.emplace(when, key);
    Calls.emplace(key, Entry{HeardGrid{Upper(grid), when}, order});
}

std::optional<HeardGrid> GridMemory::Find(std::string_view call, UnixSeconds now) const {
    const std::string key = StationCall(call);
    const auto found = Calls.find(key);
    if (found == Calls.end()) {
        return std::nullopt;
    }
    const UnixSeconds usedFor =
        key.find('/') == std::string::npos ? GridUsedForS : MobileGridUsedForS;
    const HeardGrid &heard = found->second.Heard;
    if (now - std::min(heard.When, now) > usedFor) {
        return std::nullopt;
    }
    return heard;
}

std::string GridMemory::Save() const {
    std::string text;
    for (const auto &[when, call] : ByTime) {
        text += call;
        text += ' ';
        text += Calls.at(call).Heard.Grid;
        text += ' ';
        text += std::to_string(when);
        text += '\n';
    }
    return text;
}

std::size_t GridMemory::Load(std::string_view text) {
    std::size_t passedOver = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t first = line.find(' ');
        const std::size_t second =
            first == std::string_view::npos ? first : line.find(' ', first + 1);
        UnixSeconds when = 0;
        const std::string_view seconds =
            second == std::string_view::npos ? std::string_view() : line.substr(second + 1);
        const auto [at, error] =
            std::from_chars(seconds.data(), seconds.data() + seconds.size(), when);
        const std::string_view call = line.substr(0, first);
        const std::string_view grid = second == std::string_view::npos
                                          ? std::string_view()
                                          : line.substr(first + 1, second - first - 1);
        if (seconds.empty() || error != std::errc() || at != seconds.data() + seconds.size() ||
            !IsCallSign(call) || !IsGrid(grid)) {
            ++passedOver;
            continue;
        }
        Learn(call, grid, when);
    }
    return passedOver;
}

GridMemory &GridMemory::operator=(const GridMemory &other) {
    if (this != &other) {
        MaxCalls = other.MaxCalls;
        Calls = other.Calls;
        ByTime = other.ByTime;
        for (auto at = ByTime.begin(); at != ByTime.end(); ++at) {
            Calls.at(at->second).Order = at;
        }
    }
    return *this;
}

} // namespace ionvane::places
