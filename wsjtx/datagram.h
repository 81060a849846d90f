// Reading one datagram of WSJT-X's UDP messages: a Qt data stream, big-endian, of a header (magic,
// schema, type, the sender's id) and a body by type. The reader knows only the layout; what a
// decode means for the tracker is decode_reader's business.
#pragma once

#include "highlight_writer.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ionvane::wsjtx {

/// The first four bytes of every message.
constexpr std::uint32_t Magic = 0xADBCCBDAU;

/// The schemas read: 2, and 3 once some listener has asked for it (the bodies read here are the
/// same in both). Schema 1 lays several bodies out differently.
constexpr std::uint32_t OldestSchema = 2;
constexpr std::uint32_t NewestSchema = 3;

/// Longest datagram read. WSJT-X's longest message, a Status with a Tx message and long calls,
/// stays under 500 bytes; 4 KiB leaves room for fields later versions add, and a longer datagram
/// is refused before it is read.
constexpr std::size_t MaxDatagramBytes = 4096;

/// Milliseconds in a day: the decode's time of day lies below this.
constexpr std::uint32_t MsPerDay = 86400000U;

/// The message types this program reads; the numbers are those on the wire.
enum class MessageType : std::uint32_t {
    Heartbeat = 0,
    Status = 1,
    Decode = 2,
    Clear = 3,
    Close = 6,
};

/// Why a datagram is not read.
enum class DatagramProblem {
    None,
    TooLong,       ///< past MaxDatagramBytes
    Short,         ///< ends inside the header or inside a field
    WrongMagic,    ///< not a WSJT-X message
    UnknownSchema, ///< a schema other than 2 or 3
    TextTooLong,   ///< a text whose length runs past the end of the datagram
    NullText,      ///< a null text (length 0xFFFFFFFF) where one is needed
    BadTime,       ///< a decode's time of day of 24 hours or more
    OtherType,     ///< a message type not read here (QSO logged, WSPR decode, ...): not a fault
};

/// The user's words for a problem ("The datagram is shorter than its fields"); empty for None.
std::string_view DatagramProblemText(DatagramProblem problem);

/// A short name of a problem for capture lines ("short", "wrong-magic"); "" for None.
std::string_view DatagramProblemName(DatagramProblem problem);

/// The problem of a name DatagramProblemName gives; None for any other text.
DatagramProblem DatagramProblemOfName(std::string_view name);

/// Sent every 15 s while WSJT-X runs.
struct Heartbeat {
    std::uint32_t MaxSchema = 0;
    std::string Version;  ///< "2.6.1"
    std::string Revision; ///< may be empty
};

/// Sent at start, on every change and around each decoding pass. WSJT-X 2.0 to 2.2 end the
/// message after fewer fields: those after the DE grid are read when present.
struct Status {
    std::uint64_t DialFreqHz = 0;
    std::string Mode; ///< "FT8"
    std::string DxCall;
    std::string Report;
    std::string TxMode;
    bool TxEnabled = false;
    bool Transmitting = false;
    bool Decoding = false;
    std::uint32_t RxDfHz = 0;
    std::uint32_t TxDfHz = 0;
    std::string DeCall;
    std::string DeGrid; ///< the user's locator in WSJT-X, may be empty
    std::string DxGrid;
    bool TxWatchdog = false;
    std::string SubMode;
    bool FastMode = false;
    std::uint8_t SpecialOperation = 0;
    std::uint32_t FreqToleranceHz = 0;
    std::uint32_t TrPeriodS = 0;
    std::string ConfigurationName;
    std::string TxMessage;
};

/// One decoded message.
struct Decode {
    bool New = true;          ///< false when WSJT-X sends an earlier decode again
    std::uint32_t TimeMs = 0; ///< milliseconds since midnight UTC of the slot's start
    std::int32_t SnrDb = 0;
    double DeltaTimeS = 0;
    std::uint32_t DeltaFreqHz = 0; ///< above the dial frequency
    std::string Mode;              ///< one character: "~" FT8, "+" FT4, "&" MSK144 ...
    std::string Message;           ///< "CQ EA8ABC IL18"
    bool LowConfidence = false;
    bool OffAir = false; ///< decoded from a recording opened from a file
};

/// What one datagram says. The header fields are kept whenever the header was read.
struct Datagram {
    DatagramProblem Problem = DatagramProblem::Short;
    std::uint32_t Schema = 0;
    std::uint32_t Type = 0;
    std::string Id; ///< "WSJT-X", or the name of the instance when several run
    Heartbeat Beat; ///< for Heartbeat
    Status State;   ///< for Status
    Decode Heard;   ///< for Decode
};

/// Reads one datagram. Never reads past `bytes`; bytes after the last field read are ignored, as
/// later versions append fields. Texts are kept as sent, made valid UTF-8. WSJT-X sends an empty
/// text as null, so a null text reads as empty, except the id and a decode's mode and message,
/// which every message of WSJT-X fills.
Datagram ReadDatagram(std::string_view bytes);

/// The HighlightCallsign request the program itself sends (type 13), read back: the header's id and
/// the body, or nothing when `bytes` is not one or ends short. Kept apart from ReadDatagram, which
/// reads what WSJT-X sends.
std::optional<std::pair<std::string, Highlight>> ReadHighlight(std::string_view bytes);

/// Whether `type` is one of the types read here.
bool IsReadType(std::uint32_t type);

} // namespace ionvane::wsjtx
