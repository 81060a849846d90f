#include "muf_layer.h"

#include <algorithm>
#include <cmath>

namespace ionvane::tracker {

namespace {

// A square is 2 degrees of longitude by 1 of latitude; 18 fields of 10 squares each way.
constexpr double SquareWidthDeg = 2;
constexpr double SquareHeightDeg = 1;
constexpr int SquaresAround = 180;
constexpr int SquaresPerField = 10;
constexpr double HalfTurnDeg = 180;
constexpr double QuarterTurnDeg = 90;

} // namespace

std::string SquareOf(const calc::Position &point) {
    double latDeg = point.LatDeg;
    double lonDeg = point.LonDeg;
    if (!std::isfinite(latDeg) || !std::isfinite(lonDeg)) {
        latDeg = lonDeg = 0;
    }
    // Whole squares counted from the south-west corner of the world, each division exact for a
    // point on an edge: EncodeLocator's (2 + 180) / 20 then * 10 puts 2.0 E into square 0.
    int x = static_cast<int>(
        std::floor((std::clamp(lonDeg, -HalfTurnDeg, HalfTurnDeg) + HalfTurnDeg) / SquareWidthDeg));
    int y = static_cast<int>(
        std::floor(std::clamp(latDeg, -QuarterTurnDeg, QuarterTurnDeg) + QuarterTurnDeg));
    x %= SquaresAround;
    y = std::min(y, SquaresAround - 1);
    return {
        static_cast<char>('A' + x / SquaresPerField), static_cast<char>('A' + y / SquaresPerField),
        static_cast<char>('0' + x % SquaresPerField), static_cast<char>('0' + y % SquaresPerField)};
}

SquareBounds BoundsOf(const std::string &square) {
    const int x = (square.at(0) - 'A') * SquaresPerField + (square.at(2) - '0');
    const int y = (square.at(1) - 'A') * SquaresPerField + (square.at(3) - '0');
    const double westDeg = x * SquareWidthDeg - HalfTurnDeg;
    const double southDeg = y * SquareHeightDeg - QuarterTurnDeg;
    return {southDeg, westDeg, southDeg + SquareHeightDeg, westDeg + SquareWidthDeg};
}

void MufLayer::Add(UnixSeconds time, const std::vector<Reflection> &reflections) {
    AgeTo(time);
    if (Clock - time >= WindowS) {
        return;
    }
    for (const Reflection &reflection : reflections) {
        // In time order, after the equals: a late spot is as old as its own time says.
        const auto at = std::upper_bound(Held.begin(), Held.end(), time,
                                         [](UnixSeconds t, const Entry &e) { return t < e.Time; });
        Entry entry{time, SquareOf(reflection.At), reflection.PathMufMHz};
        Square &square = BySquare[entry.Square];
        ++square.Mufs[entry.MufMHz];
        ++square.Spots;
        Held.insert(at, std::move(entry));
    }
}

void MufLayer::AgeTo(UnixSeconds now) {
    Clock = std::max(Clock, now);
    while (!Held.empty() && Clock - Held.front().Time >= WindowS) {
        Drop(Held.front());
        Held.pop_front();
    }
}

void MufLayer::Clear() {
    Held.clear();
    BySquare.clear();
    Clock = 0;
}

void MufLayer::Drop(const Entry &entry) {
    const auto square = BySquare.find(entry.Square);
    const auto muf = square->second.Mufs.find(entry.MufMHz);
    if (--muf->second == 0) {
        square->second.Mufs.erase(muf);
    }
    if (--square->second.Spots == 0) {
        BySquare.erase(square);
    }
}

std::vector<MufSquare> MufLayer::Squares() const {
    std::vector<MufSquare> squares;
    squares.reserve(BySquare.size());
    for (const auto &[name, square] : BySquare) {
        squares.push_back({name, square.Mufs.rbegin()->first, square.Spots});
    }
    return squares;
}

std::vector<MufSquare> MufSquaresAt(const std::vector<TimedReflection> &spots, UnixSeconds now,
                                    UnixSeconds windowS) {
    MufLayer layer(windowS);
    layer.AgeTo(now);
    for (const TimedReflection &spot : spots) {
        if (spot.Time <= now) {
            layer.Add(spot.Time, {spot.Where});
        }
    }
    return layer.Squares();
}

} // namespace ionvane::tracker
