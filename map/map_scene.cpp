#include "map_scene.h"

namespace ionvane::map {

namespace {
// Lower band edges (MHz) of 6 m, 4 m and 2 m: the first frequency of each class.
constexpr double SixMetreEdgeMHz = 50.0;
constexpr double FourMetreClassEdgeMHz = 70.0;
constexpr double TwoMetreEdgeMHz = 144.0;
} // namespace

FreqClass ClassOfFreq(double freqMHz) {
    if (freqMHz >= TwoMetreEdgeMHz) {
        return FreqClass::From144MHz;
    }
    if (freqMHz >= FourMetreClassEdgeMHz) {
        return FreqClass::From70MHz;
    }
    if (freqMHz >= SixMetreEdgeMHz) {
        return FreqClass::From50MHz;
    }
    return FreqClass::Below50MHz;
}

} // namespace ionvane::map
