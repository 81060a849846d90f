// Writing WSJT-X's HighlightCallsign request: a call coloured (or cleared) in WSJT-X's band
// activity window. WSJT-X takes it only with "Accept UDP requests" on, sent to the address and
// port its own datagrams came from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ionvane::wsjtx {

/// The message type of a HighlightCallsign request on the wire.
constexpr std::uint32_t HighlightCallsignType = 13;

/// An opaque colour, 8 bits a channel.
struct Rgb {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

/// One HighlightCallsign request. No colours clears the call's highlight: Qt's invalid colour,
/// as WSJT-X reads it.
struct Highlight {
    std::string Call;
    std::optional<Rgb> Background;
    std::optional<Rgb> Foreground;
    bool HighlightLast = false; ///< only the latest line of the call, rather than every one
    friend bool operator==(const Highlight &, const Highlight &) = default;
};

/// The datagram of `highlight` for the WSJT-X with `id`, in `schema` (the one it sends in).
std::string HighlightDatagram(std::string_view id, const Highlight &highlight,
                              std::uint32_t schema = 2);

} // namespace ionvane::wsjtx
