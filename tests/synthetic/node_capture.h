// A synthetic capture of a busy all-band cluster node: mostly HF spots without locators, talk,
// announcements and prompts, and Es openings on 10, 6, 4 and 2 m whose clouds drift over Europe.
// The same arguments always give the same capture.
#pragma once

#include <cstdint>
#include <ostream>

namespace ionvane::synthetic {

/// The capture's first line is at 2026-06-14T00:00:00Z, a summer day in the Es season.
constexpr std::int64_t NodeCaptureStart = 1781395200;

/// Writes `hours` hours of capture at `linesPerHour` lines an hour (both above zero), the openings
/// and lines drawn from a generator seeded with `seed`, to `out`.
void WriteNodeCapture(std::ostream &out, int hours, int linesPerHour, unsigned seed);

} // namespace ionvane::synthetic
