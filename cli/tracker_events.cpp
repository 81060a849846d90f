#include "tracker_events.h"

#include "calc/number_text.h"
#include "cli/report.h"
#include "spot/utc_time.h"

namespace ionvane::cli {

namespace {

// Decimals written for each kind of figure: positions to 0.0001 degree (about 11 m, far finer
// than a cloud is placed), frequencies to 0.01 MHz as the window shows them, drift to 0.1.
constexpr int PositionDecimals = 4;
constexpr int FreqDecimals = 2;
constexpr int DriftDecimals = 1;
constexpr double FullTurnDeg = 360;

void Key(std::string &out, const char *name) {
    out += ",\"";
    out += name;
    out += "\":";
}

void Rounded(std::string &out, const char *name, double value, int decimals) {
    Key(out, name);
    AppendJsonNumber(out, calc::FormattedValue(value, decimals));
}

void Text(std::string &out, const char *name, std::string_view text) {
    Key(out, name);
    AppendJsonString(out, text);
}

void Time(std::string &out, const char *name, tracker::UnixSeconds time) {
    Text(out, name, spot::UtcTimeText(time));
}

std::string Start(const char *event, tracker::UnixSeconds time) {
    std::string out = "{\"event\":\"";
    out += event;
    out += '"';
    Time(out, "time", time);
    return out;
}

} // namespace

std::string CloudEventJson(const tracker::CloudEvent &event) {
    const tracker::CloudSnapshot &c = event.Cloud;
    std::string out = Start("cloud", event.Time);
    Key(out, "id");
    out += std::to_string(c.Id);
    Text(out, "state", tracker::CloudStateName(event.State));
    Text(out, "centre", c.CentreLoc);
    Rounded(out, "latDeg", c.LatDeg, PositionDecimals);
    Rounded(out, "lonDeg", c.LonDeg, PositionDecimals);
    Key(out, "spots");
    out += std::to_string(c.Spots);
    Key(out, "bands");
    out += '[';
    bool first = true;
    for (const tracker::Band band : tracker::AllBands) {
        if ((c.Bands & tracker::BandBit(band)) != 0) {
            out += first ? "\"" : ",\"";
            out += tracker::BandName(band);
            out += '"';
            first = false;
        }
    }
    out += ']';
    Rounded(out, "criticalFreqMHz", c.CriticalFreqMHz, FreqDecimals);
    Key(out, "highestFreqMHz");
    AppendJsonNumber(out, c.HighestFreqMHz);
    Time(out, "firstSeen", c.FirstSeen);
    Time(out, "lastSeen", c.LastSeen);
    Key(out, "drift");
    if (c.Movement) {
        out += "{\"speedKmh\":";
        AppendJsonNumber(out, calc::FormattedValue(c.Movement->SpeedKmh, DriftDecimals));
        out += ",\"towardsDeg\":";
        // 359.96 degrees rounds to north, written 0 rather than 360.
        double towardsDeg = calc::FormattedValue(c.Movement->TowardsDeg, DriftDecimals);
        if (towardsDeg >= FullTurnDeg) {
            towardsDeg -= FullTurnDeg;
        }
        AppendJsonNumber(out, towardsDeg);
        out += '}';
    } else {
        out += "null";
    }
    out += '}';
    return out;
}

std::string VerdictEventJson(const tracker::VerdictEvent &event) {
    std::string out = Start("verdict", event.Time);
    Text(out, "home", event.HomeLocator);
    out += ",\"bands\":[";
    bool first = true;
    for (const tracker::BandVerdict &v : event.Bands) {
        out += first ? "{\"band\":" : ",{\"band\":";
        first = false;
        AppendJsonString(out, tracker::BandName(v.Which));
        Text(out, "state", v.Possible ? "possible" : "closed");
        if (v.Possible && v.CloudId) {
            Key(out, "cloud");
            out += std::to_string(*v.CloudId);
            Text(out, "tryTowards", v.Home.TowardsLoc);
            Rounded(out, "azimuthDeg", v.Home.AzimuthDeg, 2);
            Rounded(out, "elevationDeg", v.Home.ElevationDeg, 2);
            Rounded(out, "distanceKm", v.Home.DistanceKm, 2);
            Key(out, "trafficFreqMHz");
            AppendJsonNumber(out, v.Home.TrafficFreqMHz);
        } else {
            out += ",\"cloud\":null,\"tryTowards\":null,\"azimuthDeg\":null,\"elevationDeg\":null,"
                   "\"distanceKm\":null,\"trafficFreqMHz\":null";
        }
        out += '}';
    }
    out += "]}";
    return out;
}

std::string AlarmEventJson(const tracker::AlarmEvent &event) {
    std::string out = Start("alarm", event.Time);
    Text(out, "band", tracker::BandName(event.Which));
    Key(out, "cloud");
    out += std::to_string(event.CloudId);
    Text(out, "text", event.Text);
    out += '}';
    return out;
}

std::string TrackerEventJson(const tracker::TrackerEvent &event) {
    if (const auto *cloud = std::get_if<tracker::CloudEvent>(&event)) {
        return CloudEventJson(*cloud);
    }
    if (const auto *verdict = std::get_if<tracker::VerdictEvent>(&event)) {
        return VerdictEventJson(*verdict);
    }
    return AlarmEventJson(std::get<tracker::AlarmEvent>(event));
}

} // namespace ionvane::cli
