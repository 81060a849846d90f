// One Es opening as cluster lines and as the feed reports that carry the same spots, and the
// tracker's events written out field by field, for comparing the two.
#pragma once

#include "tracker/tracker_events.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace ionvane::feed::opening {

// Feed sequence numbers are large (30142870791 in a real report): the test's start above 2^32, so
// that a sequence number squeezed into 32 bits would show.
constexpr std::uint64_t FirstSequence = 30142870000;

/// A capture line: its time and the received line.
struct Line {
    tracker::UnixSeconds Time = 0;
    std::string Text;
};

/// The lines of a capture; every line must read.
std::vector<Line> CaptureLines(std::istream &in);

/// A feed report of the capture's line LineIndex.
struct Report {
    std::size_t LineIndex = 0;
    tracker::UnixSeconds Time = 0;
    std::string Topic;
    std::string Payload;
};

/// The feed report of a capture line (sequence number FirstSequence + index), or nothing when the
/// feed would not carry it: a spot without two locators, off the feed's bands, or tagged with
/// another propagation mode.
std::optional<Report> ReportOf(const Line &line, std::size_t index);

/// Every field of an event, every number to the last bit.
std::string EventText(const tracker::TrackerEvent &event);

/// New clouds, drifts and 2 m alarms among the events.
struct Tally {
    std::size_t Clouds = 0;
    std::size_t Drifts = 0;
    std::size_t TwoMetreAlarms = 0;
};
Tally Count(const std::vector<tracker::TrackerEvent> &events);

/// The capture with every Es tag left out, as the feed reports the same spots.
std::string WithoutEsTags(std::string capture);

} // namespace ionvane::feed::opening
