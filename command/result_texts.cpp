#include "result_texts.h"

#include <algorithm>
#include <cstring>

namespace ionvane::command {

using calc::ShownDecimals;

namespace {

// The pieces of a line: literals, whose length the compiler knows and copies inline, and short
// texts (locators, numbers).
template <std::size_t N> constexpr std::size_t PieceSize(const char (&)[N]) {
    return N - 1;
}
std::size_t PieceSize(std::string_view piece) {
    return piece.size();
}
template <std::size_t N> char *PutPiece(char *next, const char (&literal)[N]) {
    std::memcpy(next, literal, N - 1);
    return next + N - 1;
}
char *PutPiece(char *next, std::string_view piece) {
    return std::copy(piece.begin(), piece.end(), next);
}

// The pieces written over `out`, in the room it already has: a label written on every run keeps
// its buffer, so no text of a run allocates once the labels have grown to their usual length.
template <class... Pieces> void Assign(std::string &out, const Pieces &...pieces) {
    out.resize((PieceSize(pieces) + ...));
    char *next = out.data();
    ((next = PutPiece(next, pieces)), ...);
}

// A figure with the shown decimals, in a string of its own: the usual figures fit the string's
// own buffer, so this allocates nothing.
std::string Shown(double value, const calc::NumberFormat &format) {
    std::string text;
    calc::AppendFixed(text, value, ShownDecimals, format);
    return text;
}

} // namespace

void SpottedPathText(std::string &out, std::string_view fromLoc, std::string_view toLoc,
                     float freqMHz, const calc::NumberFormat &format) {
    std::string freqText;
    calc::AppendSingle(freqText, freqMHz, format);
    Assign(out, "es from ", fromLoc, " to ", toLoc, " on ", freqText, "mhz");
}

void GeometryText(std::string &out, std::string_view bearingText, std::string_view elevationText,
                  std::string_view distanceText) {
    Assign(out, "(Azimuth = ", bearingText, ")   (Elevation = ", elevationText,
           "deg)   (Distance = ", distanceText, "km)");
}

void MufText(std::string &out, double pathMufMHz, const calc::NumberFormat &format) {
    out.clear();
    calc::AppendFixed(out, pathMufMHz, ShownDecimals, format);
}

void CentreText(std::string &out, std::string_view centreLoc, double criticalFreqMHz,
                std::string_view pathMufText, const calc::NumberFormat &format) {
    Assign(out, "Centre of path = ", centreLoc,
           "  Critical Freq = ", Shown(criticalFreqMHz, format), "  MUF = ", pathMufText, "mhz");
}

void TryTowardsText(std::string &out, std::string_view homeLoc, std::string_view towardsLoc) {
    Assign(out, "From ", homeLoc, " try towards ", towardsLoc);
}

void ResultTitle(std::string &out, std::string_view pathMufText, std::string_view towardsLoc) {
    Assign(out, "MUF = ", pathMufText, "mhz,  try towards ", towardsLoc);
}

void TrafficText(std::string &out, propagation::HorizonAdvice advice, std::string_view pathMufText,
                 float trafficFreqMHz, const calc::NumberFormat &format) {
    using propagation::HorizonAdvice;
    switch (advice) {
    case HorizonAdvice::MultipleHops:
        out = "Below horizon, multiple hops needed?";
        return;
    case HorizonAdvice::ChordalHop:
        out = "Below horizon, look for chordial hop maybe?";
        return;
    case HorizonAdvice::TropoChordal:
        Assign(out, "Below horizon, try tropo/chordial, frequency of traffic = ", pathMufText,
               "mhz");
        return;
    case HorizonAdvice::TrafficFrequency:
        break;
    }
    Assign(out, "Frequency of traffic = ", Shown(static_cast<double>(trafficFreqMHz), format),
           "mhz");
}

void ErrorText(std::string &out, std::string_view message) {
    Assign(out, "ERROR!! ", message);
}

} // namespace ionvane::command
