// The bands the tracker follows: the spot's band type, under the tracker's names.
#pragma once

#include "spot/band.h"

namespace ionvane::tracker {

using spot::AllBands;
using spot::Band;
using spot::BandBit;
using spot::BandCount;
using spot::BandEdges;
using spot::BandFromName;
using spot::BandIndex;
using spot::BandInWords;
using spot::BandName;
using spot::BandOf;
using spot::BandSet;
using spot::EdgesOf;

} // namespace ionvane::tracker
