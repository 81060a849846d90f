#include "tracker_json.h"

#include "calc/locator.h"
#include "calc/number_text.h"
#include "json.h"

namespace ionvane::cli {

namespace {

// Decimals written for each kind of figure: positions to 0.0001 degree (about 11 m, far finer
// than a cloud is placed), frequencies to 0.01 MHz as the window shows them, drift to 0.1.
constexpr int PositionDecimals = 4;
constexpr int FreqDecimals = 2;
constexpr int DriftDecimals = 1;
constexpr double FullTurnDeg = 360;

void Rounded(std::string &out, std::string_view name, double value, int decimals) {
    DoubleMember(out, name, calc::FormattedValue(value, decimals));
}

void HopMember(std::string &out, std::string_view name, const calc::Position &hop) {
    Key(out, name);
    out += '{';
    StringMember(out, "loc", calc::EncodeLocator(hop.LatDeg, hop.LonDeg));
    Rounded(out, "latDeg", hop.LatDeg, PositionDecimals);
    Rounded(out, "lonDeg", hop.LonDeg, PositionDecimals);
    out += '}';
}

// "doubleHop":[{"band":"6m","region":"the Caribbean","spots":42,"last":..,"nearHop":{..},
// "farHop":{..},"text":"6 m double hop to the Caribbean, 42 spots, last 19:53"}]
void AppendDoubleHop(std::string &out, const std::vector<tracker::DoubleHopEvidence> &heard) {
    Key(out, "doubleHop");
    out += '[';
    for (std::size_t i = 0; i < heard.size(); ++i) {
        const tracker::DoubleHopEvidence &e = heard[i];
        out += i == 0 ? "{" : ",{";
        StringMember(out, "band", spot::BandName(e.Which));
        StringMember(out, "region", e.Region);
        IntegerMember(out, "spots", e.Spots);
        UtcTimeMember(out, "last", e.Last);
        HopMember(out, "nearHop", e.NearHop);
        HopMember(out, "farHop", e.FarHop);
        StringMember(out, "text", e.Text);
        out += '}';
    }
    out += ']';
}

} // namespace

std::string CloudEventJson(const tracker::CloudEvent &event) {
    const tracker::CloudSnapshot &c = event.Cloud;
    std::string out = EventStart("cloud", event.Time);
    IntegerMember(out, "id", c.Id);
    StringMember(out, "state", tracker::CloudStateName(event.State));
    StringMember(out, "centre", c.CentreLoc);
    Rounded(out, "latDeg", c.LatDeg, PositionDecimals);
    Rounded(out, "lonDeg", c.LonDeg, PositionDecimals);
    IntegerMember(out, "spots", c.Spots);
    Key(out, "bands");
    out += '[';
    bool first = true;
    for (const spot::Band band : spot::AllBands) {
        if ((c.Bands & spot::BandBit(band)) != 0) {
            if (!first) {
                out += ',';
            }
            AppendJsonString(out, spot::BandName(band));
            first = false;
        }
    }
    out += ']';
    Rounded(out, "criticalFreqMHz", c.CriticalFreqMHz, FreqDecimals);
    DoubleMember(out, "highestFreqMHz", c.HighestFreqMHz);
    UtcTimeMember(out, "firstSeen", c.FirstSeen);
    UtcTimeMember(out, "lastSeen", c.LastSeen);
    if (c.Movement) {
        Key(out, "drift");
        out += '{';
        Rounded(out, "speedKmh", c.Movement->SpeedKmh, DriftDecimals);
        // 359.96 degrees rounds to north, written 0 rather than 360.
        double towardsDeg = calc::FormattedValue(c.Movement->TowardsDeg, DriftDecimals);
        if (towardsDeg >= FullTurnDeg) {
            towardsDeg -= FullTurnDeg;
        }
        DoubleMember(out, "towardsDeg", towardsDeg);
        out += '}';
    } else {
        RawMember(out, "drift", "null");
    }
    if (c.In15Min) {
        Key(out, "in15min");
        out += '{';
        StringMember(out, "locator", c.In15Min->Loc);
        Rounded(out, "beamDeg", c.In15Min->BeamDeg, calc::ShownDecimals);
        out += '}';
    } else {
        RawMember(out, "in15min", "null");
    }
    out += '}';
    return out;
}

std::string VerdictEventJson(const tracker::VerdictEvent &event) {
    std::string out = EventStart("verdict", event.Time);
    StringMember(out, "home", event.HomeLocator);
    Key(out, "bands");
    out += '[';
    bool first = true;
    for (const tracker::BandVerdict &v : event.Bands) {
        if ((event.Shown & spot::BandBit(v.Which)) == 0) {
            continue;
        }
        out += first ? "{" : ",{";
        first = false;
        StringMember(out, "band", spot::BandName(v.Which));
        StringMember(out, "state", tracker::VerdictStateName(v.State));
        if (v.CloudId) {
            IntegerMember(out, "cloud", *v.CloudId);
            StringMember(out, "tryTowards", v.Home.TowardsLoc);
            Rounded(out, "azimuthDeg", v.Home.AzimuthDeg, calc::ShownDecimals);
            Rounded(out, "elevationDeg", v.Home.ElevationDeg, calc::ShownDecimals);
            Rounded(out, "distanceKm", v.Home.DistanceKm, calc::ShownDecimals);
            FloatMember(out, "trafficFreqMHz", v.Home.TrafficFreqMHz);
            IntegerMember(out, "heard", v.Heard());
            RawMember(out, "grazing", tracker::Grazing(v.Home) ? "true" : "false");
        } else {
            for (const char *name : {"cloud", "tryTowards", "azimuthDeg", "elevationDeg",
                                     "distanceKm", "trafficFreqMHz", "heard", "grazing"}) {
                RawMember(out, name, "null");
            }
        }
        Key(out, "via");
        out += '[';
        for (std::size_t i = 0; i < v.Via.size(); ++i) {
            const tracker::CloudFromHome &via = v.Via[i];
            out += i == 0 ? "{" : ",{";
            IntegerMember(out, "cloud", via.CloudId);
            StringMember(out, "tryTowards", via.Home.TowardsLoc);
            Rounded(out, "azimuthDeg", via.Home.AzimuthDeg, calc::ShownDecimals);
            FloatMember(out, "trafficFreqMHz", via.Home.TrafficFreqMHz);
            out += '}';
        }
        out += "]}";
    }
    out += ']';
    if (!event.DoubleHop.empty()) {
        AppendDoubleHop(out, event.DoubleHop);
    }
    out += '}';
    return out;
}

std::string AlarmEventJson(const tracker::AlarmEvent &event) {
    std::string out = EventStart("alarm", event.Time);
    StringMember(out, "band", spot::BandName(event.Which));
    IntegerMember(out, "cloud", event.CloudId);
    IntegerMember(out, "heard", event.Heard);
    Rounded(out, "distanceKm", event.Home.DistanceKm, calc::ShownDecimals);
    Rounded(out, "elevationDeg", event.Home.ElevationDeg, calc::ShownDecimals);
    RawMember(out, "grazing", tracker::Grazing(event.Home) ? "true" : "false");
    StringMember(out, "text", event.Text);
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
