#include "synthetic_capture.h"

#include "calc/earth.h"
#include "calc/locator.h"
#include "spot/utc_time.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace ionvane::synthetic {

namespace {
constexpr double RadPerDeg = std::numbers::pi / 180;
constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::int64_t SecondsPerMinute = 60;
constexpr std::int64_t MinutesPerHour = 60;
constexpr int HoursPerDay = 24;
} // namespace

Point Destination(Point from, double bearingDeg, double distanceKm) {
    const double lat1 = from.LatDeg * RadPerDeg;
    const double lon1 = from.LonDeg * RadPerDeg;
    const double bearing = bearingDeg * RadPerDeg;
    const double arc = distanceKm / calc::EarthRadiusKm;
    const double lat2 = std::asin(std::sin(lat1) * std::cos(arc) +
                                  std::cos(lat1) * std::sin(arc) * std::cos(bearing));
    const double lon2 = lon1 + std::atan2(std::sin(bearing) * std::sin(arc) * std::cos(lat1),
                                          std::cos(arc) - std::sin(lat1) * std::sin(lat2));
    double lonDeg = lon2 / RadPerDeg;
    if (lonDeg > 180) {
        lonDeg -= 360;
    } else if (lonDeg < -180) {
        lonDeg += 360;
    }
    return {lat2 / RadPerDeg, lonDeg};
}

std::string LocatorOf(Point point) {
    return calc::EncodeLocator(point.LatDeg, point.LonDeg);
}

PathEnds PathThrough(Point centre, double bearingDeg, double lengthKm) {
    const Point from = Destination(centre, bearingDeg + 180, lengthKm / 2);
    const Point to = Destination(centre, bearingDeg, lengthKm / 2);
    return {LocatorOf(from), LocatorOf(to)};
}

std::string TimeText(std::int64_t unixSeconds) {
    return spot::UtcTimeText(unixSeconds);
}

namespace {
std::string Hhmm(std::int64_t unixSeconds) {
    const std::int64_t minutes = unixSeconds % SecondsPerDay / SecondsPerMinute;
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02dZ",
                  static_cast<int>(minutes / MinutesPerHour % HoursPerDay),
                  static_cast<int>(minutes % MinutesPerHour));
    return text;
}
} // namespace

std::string SpotLine(std::int64_t unixSeconds, const PathEnds &path, double freqKHz,
                     std::string_view tag, std::string_view dxCall, std::string_view spotter) {
    char head[64];
    std::snprintf(head, sizeof head, "DX de %.*s: %10.1f  %-12.*s ",
                  static_cast<int>(spotter.size()), spotter.data(), freqKHz,
                  static_cast<int>(dxCall.size()), dxCall.data());
    return TimeText(unixSeconds) + "\t" + head + path.FromLoc + "<" + std::string(tag) + ">" +
           path.ToLoc + "  " + Hhmm(unixSeconds);
}

std::string PlainSpotLine(std::int64_t unixSeconds, double freqKHz, std::string_view dxCall,
                          std::string_view spotter) {
    char head[96];
    std::snprintf(head, sizeof head, "DX de %.*s: %10.1f  %-12.*s FT8 -12dB                    ",
                  static_cast<int>(spotter.size()), spotter.data(), freqKHz,
                  static_cast<int>(dxCall.size()), dxCall.data());
    return TimeText(unixSeconds) + "\t" + head + Hhmm(unixSeconds);
}

} // namespace ionvane::synthetic
