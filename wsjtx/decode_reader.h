// What a WSJT-X datagram means for the tracker: a decode whose message carries the sender's grid
// becomes a spot from that grid to the user's own station; every other decode is skipped with its
// reason; heartbeats and status messages say where WSJT-X stands.
#pragma once

#include "datagram.h"
#include "spot/spot_reader.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace ionvane::wsjtx {

using Seconds = std::chrono::sys_seconds;

/// A decode whose slot time lies this far or less ahead of its receipt is of today: WSJT-X needs
/// the clock within a second or two, so a later time is yesterday's slot received after midnight.
constexpr std::chrono::seconds SlotTimeAhead{60};

/// A decode comes at the end of its slot: a slot whose end lies more than this before the receipt
/// is a wrong time on the wire (a time of 0 ms read at 18:00 would date a spot 18 hours back).
constexpr std::chrono::seconds SlotTimeBehind{60};

/// Longest slot believed from a status, seconds: FST4's longest period is 30 minutes.
constexpr std::uint32_t MaxSlotPeriodS = 1800;

/// A slot this old is refused whatever its period, as the tracker refuses a cluster's listing as
/// old as its recent stretch (15 minutes).
constexpr std::chrono::minutes OldestSlot{15};

/// Highest audio offset of a decode, Hz: WSJT-X's waterfall and decoders reach 5000 Hz.
constexpr std::uint32_t MaxAudioOffsetHz = 5000;

/// Highest dial frequency believed, Hz: 300 GHz, the top of the radio spectrum. Below it a dial
/// plus an offset cannot wrap ("18446744073709550616 Hz" plus 1512 Hz is not 50.313 MHz).
constexpr std::uint64_t MaxDialHz = 300'000'000'000ULL;

/// Heartbeats and status messages recorded (logged, stored, told) in a minute at most: WSJT-X
/// sends one on each change of dial, mode or grid, a handful a minute while the user turns the
/// dial; more is a flood (of invented ids, say).
constexpr int NewsRecordsPerMinute = 30;

/// Unreadable datagrams recorded in a minute at most; the rest are counted, and the next one
/// recorded carries their number.
constexpr int UnreadableRecordsPerMinute = 4;

/// The same call on the same band counts once in this time: stations call CQ every 30 s (two
/// 15-s FT8 slots), and each call should not weigh four times in the tracker's clouds.
constexpr std::chrono::seconds RepeatWindow{120};

/// Why a datagram gives no spot.
enum class DecodeProblem {
    None,
    Unreadable,    ///< the datagram itself did not read (Datagram::Problem says why)
    NotADecode,    ///< a heartbeat, status, clear, close or another type: no spot, not a fault
    SentAgain,     ///< an earlier decode sent again (not new)
    OffAir,        ///< decoded from a recording, and recordings are not asked for
    LowConfidence, ///< WSJT-X itself doubts the decode
    MeteorScatter, ///< MSK144
    Q65,           ///< Q65: troposcatter, EME and ionoscatter, not Es
    NoGrid,        ///< the message carries no grid of its sender (reports, RR73, 73, free text)
    NoDial,        ///< no Status of this WSJT-X yet, so no dial frequency
    NoOwnLocator,  ///< neither a DE grid in WSJT-X nor a home locator
    OwnSquare,     ///< the sender's grid is the station's own square: no sky path
    Repeated,      ///< the same call on the same band counted less than RepeatWindow ago
    OffBand,       ///< the dial plus the offset lies outside the bands followed
    TimeBehind,    ///< the decode's slot ended more than SlotTimeBehind before its receipt
};

/// The user's words for a problem ("Low-confidence decode"); for Unreadable the datagram's own
/// problem; empty for None and NotADecode.
std::string_view DecodeProblemText(DecodeProblem problem, DatagramProblem unread);

/// What the reader needs of the program.
struct ReaderSettings {
    std::string HomeLocator; ///< the user's home, the station's place when WSJT-X gives no grid
    bool Recordings = false; ///< decodes of recordings count, at their receipt time
};

/// What a datagram says to the tracker.
struct DecodeReading {
    DecodeProblem Problem = DecodeProblem::NotADecode;
    DatagramProblem Unread = DatagramProblem::None; ///< with Unreadable
    spot::Spot Read; ///< complete when Problem is None: From = sender's grid, To = the station
    Seconds Time{};  ///< the decode's slot time, or the receipt time
    /// Whether the datagram is worth recording (logging, storing, telling): every decode; a
    /// heartbeat, status or close that changes what is known of WSJT-X (a new id, version, dial,
    /// mode, grid); unreadable ones a few a minute. Within NewsRecordsPerMinute and
    /// UnreadableRecordsPerMinute.
    bool Record = true;
    /// With a recorded unreadable datagram: the unreadable ones not recorded since the last.
    std::uint64_t Unrecorded = 0;
};

/// Where one WSJT-X (one id) stands, from its heartbeats and status messages.
struct Client {
    std::string Id;
    std::string Version;          ///< from the last heartbeat; empty until one came
    std::optional<Status> Latest; ///< the last status message
    Seconds LastHeard{};          ///< receipt of its last datagram
    std::optional<Seconds> LastDecode;
    bool Closed = false; ///< said it closes, and nothing came since
};

/// The rules of a source or a replay. Remembers, within bounds, the latest status of each WSJT-X
/// and the calls counted recently.
class DecodeReader {
  public:
    /// Several instances of WSJT-X may send to one port (one per band or radio); more ids than
    /// this are a fault or a flood, and the one heard longest ago is forgotten.
    static constexpr std::size_t MaxClients = 16;
    /// Calls remembered for the repeat rule: 2 minutes of an opening heard on every band at once
    /// stays well below this, and a flood of invented calls cannot grow the memory past it.
    static constexpr std::size_t MaxRecentCalls = 4096;

    explicit DecodeReader(ReaderSettings settings) : Settings(std::move(settings)) {}

    /// Reads one datagram received at `receivedAt`.
    DecodeReading Read(const Datagram &datagram, Seconds receivedAt);

    /// The settings; Recordings may change while the reader runs (a tick box).
    ReaderSettings &Options() { return Settings; }

    /// The WSJT-X heard last, if any.
    [[nodiscard]] const Client *LatestClient() const;

    [[nodiscard]] std::size_t ClientCount() const { return Clients.size(); }
    [[nodiscard]] std::size_t RememberedCalls() const { return Recent.size(); }

  private:
    /// Records allowed in a minute that starts at the first record after the last minute ended.
    struct MinuteBudget {
        Seconds Start{};
        int Used = 0;
        bool Take(Seconds now, int perMinute);
    };

    [[nodiscard]] bool NewsChanges(const Datagram &datagram) const;
    Client &ClientOf(const std::string &id, Seconds receivedAt);
    DecodeReading ReadDecode(const Client &client, const Decode &heard, Seconds receivedAt);
    bool CountedRecently(const std::string &key, Seconds time) const;
    void Remember(const std::string &key, Seconds time);

    ReaderSettings Settings;
    std::map<std::string, Client> Clients;
    std::unordered_map<std::string, Seconds> Recent;
    std::deque<std::pair<std::string, Seconds>> RecentOrder;
    MinuteBudget NewsBudget;
    MinuteBudget UnreadableBudget;
    std::uint64_t UnreadableUnrecorded = 0;
};

/// The mode of a decode's mode character: "~" FT8, "+" FT4, "&" MSK144, ":" Q65, "#" JT65, "@"
/// JT9, "`" FST4; empty for another character.
std::string_view ModeOfCharacter(std::string_view character);

/// The slot time of a decode at `timeMs` after midnight UTC received at `receivedAt`: on the
/// receipt's date; the day before when that lies more than SlotTimeAhead ahead of the receipt; the
/// day after when the day after lies no more than SlotTimeAhead ahead of it (00:00:00 received at
/// 23:59:55).
Seconds SlotTime(std::uint32_t timeMs, Seconds receivedAt);

/// The state of the WSJT-X heard last in words, at `now`: "WSJT-X 2.6.1 on 50.313 MHz FT8, last
/// decode 12 s ago"; "No WSJT-X heard for 60 s" when nothing came for SilentAfter (since
/// `listeningSince` when nothing came at all).
std::string SightWords(const Client *client, Seconds listeningSince, Seconds now);

/// Two heartbeats missed: WSJT-X sends one every 15 s.
constexpr std::chrono::seconds SilentAfter{30};

} // namespace ionvane::wsjtx
