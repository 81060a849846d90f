// Texts inside capture lines, where a blank ends a field: a blank, a "%" and control characters
// written %XX (hex), as a feed topic and a WSJT-X message are kept.
#pragma once

#include <string>
#include <string_view>

namespace ionvane::spot {

/// Appends `text` to `out` with a blank, "%", the control characters and DEL written %XX (upper-
/// case hex); every other byte as it is.
void AppendPercentEscaped(std::string &out, std::string_view text);

/// `text` with every %XX (hex in either case) turned back into its byte; a "%" not followed by two
/// hex digits stays as it is.
std::string PercentDecoded(std::string_view text);

} // namespace ionvane::spot
