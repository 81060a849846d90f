// The WSJT-X source's listening events as JSON objects of one line each. Its datagrams become the
// spot and skipped events of every source (spot_events.h).
#pragma once

#include "events.h"
#include "wsjtx/wsjtx_event.h"

namespace ionvane::cli {

/// The "source" member of a WSJT-X listening event.
constexpr std::string_view WsjtxSourceName = "wsjtx";

/// {"event":"connection","time":T,"source":"wsjtx","state":"listening","detail":"127.0.0.1:2237"}:
/// T is the receipt time, the states those of wsjtx::ListeningName.
JsonObject WsjtxListeningEventJson(const wsjtx::WsjtxEvent &event);

} // namespace ionvane::cli
