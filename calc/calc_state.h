// The calculation state: what outlives one press of Calculate. Every value of a run is handed from
// step to step as arguments and results; only the settings and the run's status remain.
#pragma once

#include <cstdint>

namespace ionvane::calc {

struct CalcState {
    /// Height of the E layer, 90 to 130 km once the settings are loaded (0 before).
    float EsLayerHeightKm = 0.0F;
    /// Height of the home station above sea level, 0.001 to 5 km once loaded (0 before).
    float HomeHeightKm = 0.0F;
    /// Status of the last run: the Calculate command sets it when a run ends, to 0 after a
    /// completed run and after the error display has shown the code.
    std::int16_t StatusCode = 0;
};

} // namespace ionvane::calc
