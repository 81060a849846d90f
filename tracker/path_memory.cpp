#include "path_memory.h"

#include "calc/ascii.h"

#include <algorithm>

namespace ionvane::tracker {

PathMemory::Run PathMemory::Note(UnixSeconds time, std::string_view a, std::string_view b,
                                 std::int64_t gapS) {
    std::string first = calc::UpperCaseAscii(a);
    std::string second = calc::UpperCaseAscii(b);
    if (second < first) {
        std::swap(first, second);
    }
    // A separator no locator or call holds keeps "AB"+"C" apart from "A"+"BC".
    std::string key = first + '|' + second;
    auto found = Paths.find(key);
    if (found == Paths.end()) {
        if (Paths.size() >= MaxRememberedPaths) {
            Paths.erase(
                std::min_element(Paths.begin(), Paths.end(), [](const auto &x, const auto &y) {
                    return x.second.Last < y.second.Last;
                }));
        }
        found = Paths.emplace(std::move(key), Seen{time, time, 0}).first;
    }
    Seen &seen = found->second;
    if (time - seen.Last > gapS) {
        seen = Seen{time, time, 0};
    }
    seen.First = std::min(seen.First, time);
    seen.Last = std::max(seen.Last, time);
    ++seen.Spots;
    return Run{seen.Last - seen.First, seen.Spots};
}

} // namespace ionvane::tracker
