// The events of received lines as JSON objects of one line each: "spot" for a spot with two
// locators, calculated, and "skipped" for a spot line that cannot be used.
#pragma once

#include "tracker/spot_pipeline.h"

#include <string>
#include <string_view>

namespace ionvane::cli {

/// {"event":"spot","time":..,"raw":..,"spot":{..},"classification":"es","band":"6m" or null,
///  "cloud":1 or null,"result":{..as --json..}}: "spot" is AppendSpotObject's object, the
///  classification the tracker's (es, multi-hop, too-short, other-mode, other-band, no-result), the
///  cloud the one a counted spot joined. A spot placed from its calls has "placed":{..} after
///  "cloud", saying how each end was found. With `spotInResult`, "result" ends with the "spot"
///  member too, as --spot --json writes it.
std::string SpotEventJson(tracker::UnixSeconds time, std::string_view raw,
                          const tracker::LineResult &result, bool spotInResult = false);

/// {"event":"skipped","time":..,"raw":..,"reason":..}
std::string SkippedEventJson(tracker::UnixSeconds time, std::string_view raw,
                             std::string_view reason);

} // namespace ionvane::cli
