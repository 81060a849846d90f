// The grid a decoded message carries for its sender: "CQ EA8ABC IL18" says EA8ABC is in IL18.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ionvane::wsjtx {

/// A station and the four-character grid it sent.
struct SentGrid {
    std::string Call; ///< without the angle brackets of a hashed call
    std::string Grid; ///< "IL18"
};

/// The call and grid of a message whose last word is a grid sent by its second call:
/// "CQ EA8ABC IL18", "QRZ EA8ABC IL18", "DE EA8ABC IL18", "CQ DX CT1XYZ IM58", "CQ NA K1ABC FN42"
/// (a direction word of one to four letters or three digits), "DL1ABC EA7XYZ IM76" and "DL1ABC
/// EA7XYZ R IM76" (replies with a grid; the first word a call). Reports ("-12", "R-05"), "RR73",
/// "RRR" and "73" are never grids; a marker of an a-priori decode at the end ("a1") is passed over.
/// Nothing for any other message.
std::optional<SentGrid> GridOfMessage(std::string_view message);

} // namespace ionvane::wsjtx
