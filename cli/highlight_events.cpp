#include "highlight_events.h"

#include <QDateTime>

#include <array>

namespace ionvane::cli {

namespace {

// "#c62828", as Qt and the web write a colour.
std::string ColourText(const wsjtx::Rgb &rgb) {
    constexpr std::array<char, 16> Hex{'0', '1', '2', '3', '4', '5', '6', '7',
                                       '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string text = "#";
    for (const std::uint8_t channel : {rgb.Red, rgb.Green, rgb.Blue}) {
        text += Hex[channel >> 4U];
        text += Hex[channel & 0xFU];
    }
    return text;
}

} // namespace

JsonObject HighlightEventJson(tracker::UnixSeconds time, const alarm::HighlightRequest &request) {
    JsonObject event = Event("highlight", QDateTime::fromSecsSinceEpoch(time, Qt::UTC));
    event.String("id", request.Id).String("call", request.What.Call);
    if (request.What.Background && request.What.Foreground) {
        event.String("background", ColourText(*request.What.Background))
            .String("foreground", ColourText(*request.What.Foreground));
    } else {
        event.Boolean("clear", true);
    }
    return event;
}

std::unique_ptr<alarm::SessionHighlights> FollowHighlights(bool on, live::LiveCore &core,
                                                           alarm::SessionHighlights::Sender send) {
    if (!on) {
        return nullptr;
    }
    auto highlights = std::make_unique<alarm::SessionHighlights>(std::move(send));
    core.Subscribe(&core,
                   [at = highlights.get()](const live::LiveEvent &event) { at->Take(event); });
    return highlights;
}

} // namespace ionvane::cli
