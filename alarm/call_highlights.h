// Which calls WSJT-X should colour: a decoded call whose path runs through a cloud that carries a
// followed band, coloured by how the band stands, and cleared when the cloud fades or the band
// closes. Pure: the caller sends the requests (or prints them in a replay) and passes the
// tracker's events and the decodes in.
#pragma once

#include "tracker/tracker_events.h"
#include "wsjtx/highlight_writer.h"

#include <array>
#include <cstddef>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ionvane::alarm {

/// Highlights held at once, across every WSJT-X heard: WSJT-X keeps each until cleared, and its
/// authors ask for about a hundred at most. Past this the oldest is cleared first.
constexpr std::size_t MostHighlights = 100;

/// The colours of a call on a band that is possible (some cloud carries it): white on red, the
/// live window's alarm colour.
constexpr wsjtx::Rgb OpenBackground{0xC6, 0x28, 0x28};
constexpr wsjtx::Rgb OpenForeground{0xFF, 0xFF, 0xFF};
/// ... and on a marginal band: black on amber.
constexpr wsjtx::Rgb MarginalBackground{0xFF, 0xB3, 0x00};
constexpr wsjtx::Rgb MarginalForeground{0x00, 0x00, 0x00};

/// One request for one WSJT-X, by the id it sends under.
struct HighlightRequest {
    std::string Id;
    wsjtx::Highlight What;
    friend bool operator==(const HighlightRequest &, const HighlightRequest &) = default;
};

/// A decoded call as the highlights need it.
struct DecodedCall {
    std::string Id;   ///< the WSJT-X that decoded it
    std::string Call; ///< the sender
    spot::Band Which = spot::Band::M6;
    calc::Position PathCentre; ///< the middle of its path to the station: where it reflected
};

class CallHighlights {
  public:
    /// Nothing is sent unless the user asked for it; turning it off clears what was set.
    std::vector<HighlightRequest> Enable(bool on);
    [[nodiscard]] bool Enabled() const { return On; }

    std::vector<HighlightRequest> Decoded(const DecodedCall &decoded);
    std::vector<HighlightRequest> Cloud(const tracker::CloudEvent &event);
    std::vector<HighlightRequest> Verdict(const tracker::VerdictEvent &event);
    /// Every highlight cleared: the session ends.
    std::vector<HighlightRequest> ClearAll();

    [[nodiscard]] std::size_t Held() const { return Marks.size(); }

  private:
    struct Mark {
        std::string Id;
        std::string Call;
        spot::Band Which = spot::Band::M6;
        int CloudId = 0;
        tracker::VerdictState State = tracker::VerdictState::Closed;
    };
    /// How a band stands from home and the clouds that carry it, from the latest verdict.
    struct BandStand {
        tracker::VerdictState State = tracker::VerdictState::Closed;
        std::vector<int> Via;
    };
    [[nodiscard]] std::optional<int> CarryingCloud(const DecodedCall &decoded) const;
    [[nodiscard]] bool Holds(const Mark &mark) const;
    static HighlightRequest Set(const Mark &mark);
    static HighlightRequest Clear(const Mark &mark);

    bool On = false;
    std::map<int, calc::Position> Clouds; ///< active clouds by id
    std::array<BandStand, spot::BandCount> Bands{};
    std::deque<Mark> Marks; ///< oldest first
};

} // namespace ionvane::alarm
