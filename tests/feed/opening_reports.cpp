#include "opening_reports.h"

#include "spot/capture_line.h"
#include "spot/spot_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <istream>
#include <sstream>

namespace ionvane::feed::opening {

using spot::Band;
using tracker::AlarmEvent;
using tracker::CloudEvent;
using tracker::TrackerEvent;
using tracker::VerdictEvent;

namespace {

// The whole number of Hz of an exact decimal text in MHz ("50.313" gives "50313000"), or "" when
// it has more than six decimals.
std::string WholeHz(const std::string &freqMHzText) {
    const auto point = freqMHzText.find('.');
    std::string whole = freqMHzText.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : freqMHzText.substr(point + 1);
    if (fraction.size() > 6) {
        return {};
    }
    fraction.resize(6, '0');
    std::string hz = whole + fraction;
    hz.erase(0, std::min(hz.find_first_not_of('0'), hz.size() - 1));
    return hz;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string HomeText(const tracker::HomeFigures &home) {
    return home.TowardsLoc + " az " + Number(home.AzimuthDeg) + " el " + Number(home.ElevationDeg) +
           " km " + Number(home.DistanceKm) + " traffic " + Number(home.TrafficFreqMHz);
}

} // namespace

std::vector<Line> CaptureLines(std::istream &in) {
    std::vector<Line> lines;
    for (std::string text; std::getline(in, text);) {
        const auto line = spot::ReadCaptureLine(text);
        EXPECT_TRUE(line.has_value()) << text;
        if (line) {
            lines.push_back({line->Time, std::string(line->Line)});
        }
    }
    return lines;
}

// The feed report of a capture line, or nothing when the feed would not carry it (see the top).
std::optional<Report> ReportOf(const Line &line, std::size_t index) {
    const spot::SpotReading reading = spot::ReadSpot(line.Text);
    const spot::Spot &spot = reading.Read;
    if (reading.Problem != spot::SpotProblem::None || !spot.Es) {
        return std::nullopt;
    }
    const auto band = spot::BandOf(spot.FreqMHz);
    if (!band) {
        return std::nullopt;
    }
    const std::string hz = WholeHz(spot.FreqMHzText);
    EXPECT_FALSE(hz.empty()) << line.Text;
    const std::string sender = spot.DxCall.empty() ? "NOCALL" : spot.DxCall;
    const std::string receiver = spot.Spotter.empty() ? "NOCALL" : spot.Spotter;
    Report report;
    report.LineIndex = index;
    report.Time = line.Time;
    report.Topic = "pskr/filter/v2/" + std::string(spot::BandName(*band)) + "/FT8/" + sender + "/" +
                   receiver + "/" + spot.FromLoc + "/" + spot.ToLoc + "/0/0";
    report.Payload = R"({"sq":)" + std::to_string(FirstSequence + index) + R"(,"f":)" + hz +
                     R"(,"md":"FT8","rp":-12,"t":)" + std::to_string(line.Time) + R"(,"sc":")" +
                     sender + R"(","sl":")" + spot.FromLoc + R"(","rc":")" + receiver +
                     R"(","rl":")" + spot.ToLoc + R"(","sa":0,"ra":0,"b":")" +
                     std::string(spot::BandName(*band)) + R"("})";
    return report;
}

// Every field of an event, every number to the last bit.
std::string EventText(const TrackerEvent &event) {
    std::ostringstream out;
    if (const auto *cloud = std::get_if<CloudEvent>(&event)) {
        const tracker::CloudSnapshot &c = cloud->Cloud;
        out << cloud->Time << " cloud " << tracker::CloudStateName(cloud->State) << " id " << c.Id
            << " at " << Number(c.LatDeg) << " " << Number(c.LonDeg) << " " << c.CentreLoc
            << " spots " << c.Spots << " bands " << int{c.Bands} << " foEs "
            << Number(c.CriticalFreqMHz) << " highest " << Number(c.HighestFreqMHz) << " seen "
            << c.FirstSeen << "-" << c.LastSeen;
        if (c.Movement) {
            out << " drift " << Number(c.Movement->SpeedKmh) << " km/h to "
                << Number(c.Movement->TowardsDeg);
        }
    } else if (const auto *verdict = std::get_if<VerdictEvent>(&event)) {
        out << verdict->Time << " verdict from " << verdict->HomeLocator;
        for (const tracker::BandVerdict &band : verdict->Bands) {
            out << " | " << spot::BandName(band.Which) << (band.Possible() ? " open" : " shut");
            if (band.CloudId) {
                out << " via " << *band.CloudId << " " << HomeText(band.Home);
            }
        }
    } else if (const auto *alarm = std::get_if<AlarmEvent>(&event)) {
        out << alarm->Time << " alarm " << spot::BandName(alarm->Which) << " cloud "
            << alarm->CloudId << " " << alarm->Text;
    }
    return out.str();
}

Tally Count(const std::vector<TrackerEvent> &events) {
    Tally tally;
    for (const TrackerEvent &event : events) {
        if (const auto *cloud = std::get_if<CloudEvent>(&event)) {
            tally.Clouds += cloud->State == tracker::CloudState::New;
            tally.Drifts += cloud->Cloud.Movement.has_value();
        } else if (const auto *alarm = std::get_if<AlarmEvent>(&event)) {
            tally.TwoMetreAlarms += alarm->Which == Band::M2;
        }
    }
    return tally;
}

std::string WithoutEsTags(std::string capture) {
    for (auto tag = capture.find("<ES>"); tag != std::string::npos; tag = capture.find("<ES>")) {
        capture.replace(tag, 4, "<>");
    }
    return capture;
}

} // namespace ionvane::feed::opening
