// The live session's core as the live window loads it once it has been drawn: a module of its
// own, holding the sources and the history store with the network, feed and database libraries
// they bind (most of the live window's start when loaded with it).
#pragma once

#include "alarm/outlet_control.h"
#include "live/core_control.h"
#include "review/review_control.h"

namespace ionvane::app {

/// The module's entry point, looked up by the name CoreEntryName: a new core recording into the
/// history store at its usual place (what went wrong in opening it comes as the core's
/// StoreProblem), owned by the caller.
using OpenCoreFunction = live::CoreControl *(*)(live::CoreSetup setup);
inline constexpr const char *CoreEntryName = "ionvane_open_live_core";

/// The alarm's outlets (the user's command, ntfy, the rotator), which bind the network library as
/// the core does: looked up by the name OutletsEntryName, new, owned by the caller, not started.
using OpenOutletsFunction = alarm::OutletControl *(*)(const alarm::DeliverySettings &settings);
inline constexpr const char *OutletsEntryName = "ionvane_open_alarm_outlets";

/// The evening in review of the history store at its usual place, which binds the database library
/// as the core does: looked up by the name ReviewEntryName, new, owned by the caller.
using OpenReviewFunction = review::ReviewControl *(*)(review::ReviewSetup setup);
inline constexpr const char *ReviewEntryName = "ionvane_open_review";

} // namespace ionvane::app
