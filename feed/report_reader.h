// Reading one report of the PSK Reporter feed: a JSON object with the sender's and the receiver's
// locators and the frequency in Hz becomes a spot, the same value the cluster's spot reader gives,
// or the reason why not.
#pragma once

#include "spot/spot_reader.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string_view>
#include <unordered_set>

namespace ionvane::feed {

using Seconds = std::chrono::sys_seconds;

/// Longest payload read as a report. A report is about 250 bytes; sixteen times that leaves room
/// for long calls and fields the feed may add, while one stray message cannot fill the memory.
constexpr std::size_t MaxPayloadBytes = 4096;

/// How far back a report's own time is believed: the tracker's window of one hour. An older time
/// is a sender's wrong clock or a report held up somewhere; the receipt time stands in for it.
constexpr std::chrono::minutes ReportTimeBehind{60};

/// How far ahead of the receipt time a report's own time is believed: a sender's clock a little
/// fast (digital modes need the clock within a second or two, so two minutes is generous).
constexpr std::chrono::minutes ReportTimeAhead{2};

/// Why a report gives no spot.
enum class ReportProblem {
    None,
    NotAReport,    ///< not a JSON object
    TooLong,       ///< a payload past MaxPayloadBytes
    MeteorScatter, ///< MSK144: meteor scatter, never Es, whatever the distance
    NoLocators,    ///< neither locator, or neither a valid one
    OneLocator,    ///< one valid locator only
    SameLocators,  ///< both locators name the same subsquare once cut or completed to six
    NoFrequency,   ///< no frequency, or none above zero
    Repeated,      ///< the same report (same sequence number) already received
    OffTopic,      ///< on a topic that matches no band followed
};

/// The user's words for a problem ("Only one locator in the report"); empty for None.
std::string_view ReportProblemText(ReportProblem problem);

/// What a report says.
struct ReportReading {
    ReportProblem Problem = ReportProblem::NotAReport;
    spot::Spot Read; ///< complete when Problem is None: From = sender, To = receiver, Mode kept
    Seconds Time{};  ///< the report's own time when believable, at most the receipt time
    bool OwnTime = false;                  ///< Time is the report's own
    std::optional<std::uint64_t> Sequence; ///< the feed's sequence number, when given
};

/// Reads one payload received at `receivedAt`. Locators of 4, 6, 8 or 10 characters count, any
/// case, cut to six; the frequency in Hz gives the exact decimal text in MHz (50313512 gives
/// "50.313512"); the report's time `t` (Unix seconds) is believed when it lies from
/// ReportTimeBehind before to ReportTimeAhead after the receipt, both ends included, and a time
/// ahead of the receipt is taken as the receipt time: nothing moves the tracker's clock past the
/// receipt clock. Knows nothing of repeats.
ReportReading ReadReport(std::string_view payload, Seconds receivedAt);

/// The tracker's sight of the sequence numbers of recent reports, so that a report delivered twice
/// counts once. Keeps at most RecentSequences numbers and forgets the oldest first.
class SequenceMemory {
  public:
    /// At 1,000 reports a minute (a busy opening on the bands followed) an hour of reports, the
    /// tracker's window: a repeat from further back finds its spot aged out anyway.
    static constexpr std::size_t RecentSequences = 65536;

    /// `capacity` numbers, at least one.
    explicit SequenceMemory(std::size_t capacity = RecentSequences)
        : Capacity(capacity == 0 ? 1 : capacity) {}

    /// Whether `sequence` is new; remembers it.
    bool Remember(std::uint64_t sequence);

    [[nodiscard]] std::size_t Size() const { return Order.size(); }

  private:
    std::size_t Capacity;
    std::deque<std::uint64_t> Order;
    std::unordered_set<std::uint64_t> Seen;
};

/// The report reader of a source or a replay: ReadReport, then a usable report whose sequence
/// number was seen before becomes Repeated.
class ReportReader {
  public:
    explicit ReportReader(std::size_t memory = SequenceMemory::RecentSequences) : Memory(memory) {}

    ReportReading Read(std::string_view payload, Seconds receivedAt);

  private:
    SequenceMemory Memory;
};

} // namespace ionvane::feed
