#include "band.h"

namespace ionvane::spot {

BandEdges EdgesOf(Band band) {
    switch (band) {
    case Band::M10:
        return {28.0, 29.7};
    case Band::M6:
        return {50.0, 54.0};
    case Band::M4:
        return {70.0, 71.0};
    case Band::M2:
        return {144.0, 148.0};
    }
    return {0, 0};
}

std::string_view BandName(Band band) {
    switch (band) {
    case Band::M10:
        return "10m";
    case Band::M6:
        return "6m";
    case Band::M4:
        return "4m";
    case Band::M2:
        return "2m";
    }
    return "";
}

std::string_view BandInWords(Band band) {
    switch (band) {
    case Band::M10:
        return "10 m";
    case Band::M6:
        return "6 m";
    case Band::M4:
        return "4 m";
    case Band::M2:
        return "2 m";
    }
    return "";
}

std::optional<Band> BandFromName(std::string_view name) {
    if (!name.empty() && (name.back() == 'm' || name.back() == 'M')) {
        name.remove_suffix(1);
    }
    for (const Band band : AllBands) {
        std::string_view metres = BandName(band);
        metres.remove_suffix(1);
        if (name == metres) {
            return band;
        }
    }
    return std::nullopt;
}

std::optional<Band> BandOf(double freqMHz) {
    for (const Band band : AllBands) {
        const BandEdges edges = EdgesOf(band);
        if (freqMHz >= edges.LowMHz && freqMHz <= edges.HighMHz) {
            return band;
        }
    }
    return std::nullopt;
}

} // namespace ionvane::spot
