// The Es MUF layer: for each Maidenhead square, the highest path MUF of the Es spots reflected
// within it over the last quarter or half hour, as the web Es maps show it and hams read it first.
// Fed spot by spot with where the tracker placed each (LineResult::Reflections); spots leave as
// they age out of the window, so no spot is gone through twice.
#pragma once

#include "tracker_events.h"

#include "calc/earth.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace ionvane::tracker {

/// The layer's windows, seconds: the quarter hour a cloud is followed for (RecentWindowS), and
/// the half hour the web Es maps offer beside it.
constexpr UnixSeconds MufWindowShortS = 15 * 60;
constexpr UnixSeconds MufWindowLongS = 30 * 60;

/// Where an Es spot was reflected, and the MUF of its path (or of the hop) there.
struct Reflection {
    calc::Position At;
    double PathMufMHz = 0;
    friend bool operator==(const Reflection &, const Reflection &) = default;
};

/// A reflection heard at `Time`, for building the layer of a moment at once.
struct TimedReflection {
    UnixSeconds Time = 0;
    Reflection Where;
};

/// One square of the layer.
struct MufSquare {
    std::string Square; ///< four characters, "JN48"
    double MufMHz = 0;  ///< the highest path MUF reflected in it
    int Spots = 0;      ///< the reflections in it (a double hop may give two)
    friend bool operator==(const MufSquare &, const MufSquare &) = default;
};

/// The bounds of a four-character square, degrees: 1 degree of latitude by 2 of longitude.
struct SquareBounds {
    double SouthDeg = 0;
    double WestDeg = 0;
    double NorthDeg = 0;
    double EastDeg = 0;
};

/// The four-character square holding the point (degrees). A point on an edge belongs to the square
/// north or east of it (52.0 N 2.0 E is JO12); latitude 90 belongs to the top row, longitude 180
/// wraps to field A. A non-finite position counts as 0, 0 (JJ00).
std::string SquareOf(const calc::Position &point);

/// The bounds of `square` (four characters, upper-case, as SquareOf gives them).
SquareBounds BoundsOf(const std::string &square);

class MufLayer {
  public:
    /// Squares of reflections less than `windowS` old (MufWindowShortS or MufWindowLongS).
    explicit MufLayer(UnixSeconds windowS) : WindowS(windowS) {}

    /// The reflections of one spot at `time`. The clock moves on to `time` when it is later; a
    /// spot as old as the window is left out, as it would leave at once.
    void Add(UnixSeconds time, const std::vector<Reflection> &reflections);
    /// Moves the clock on to `now`: reflections as old as the window or older leave.
    void AgeTo(UnixSeconds now);
    /// Forgets everything (a new home, a new session).
    void Clear();

    /// The squares as they stand, in the order of their names.
    [[nodiscard]] std::vector<MufSquare> Squares() const;
    [[nodiscard]] UnixSeconds Window() const { return WindowS; }
    [[nodiscard]] UnixSeconds Now() const { return Clock; }
    [[nodiscard]] std::size_t Size() const { return Held.size(); }

  private:
    struct Entry {
        UnixSeconds Time;
        std::string Square;
        double MufMHz;
    };
    void Drop(const Entry &entry);

    UnixSeconds WindowS;
    UnixSeconds Clock = 0;
    /// Oldest first: a late spot goes in at its own time.
    std::deque<Entry> Held;
    /// The MUFs in each square, each counted (the highest is the last key), and their sum.
    struct Square {
        std::map<double, int> Mufs;
        int Spots = 0;
    };
    std::map<std::string, Square> BySquare;
};

/// The squares at `now` of the reflections `spots` over `windowS`: those of spots at `now` or
/// before and less than `windowS` old. What a MufLayer fed with the same spots shows at `now`.
std::vector<MufSquare> MufSquaresAt(const std::vector<TimedReflection> &spots, UnixSeconds now,
                                    UnixSeconds windowS);

} // namespace ionvane::tracker
