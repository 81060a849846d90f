#include "muf_map_options.h"

#include "json.h"
#include "session_options.h"

#include "calc/number_text.h"

#include <QCommandLineParser>

#include <cmath>

namespace ionvane::cli {

namespace {

constexpr tracker::UnixSeconds SecondsPerMinute = 60;
// The longest --every, seconds: a day; a longer one would print nothing but the last line.
constexpr double LongestEveryS = 86400;
// The MUF as the window shows it, to 0.01 MHz.
constexpr int FreqDecimals = 2;

const QCommandLineOption MufMap{
    "muf-map",
    "With --replay, --cluster, --mqtt or --wsjtx: after the events, print the Es MUF per square "
    "of the last 15 or 30 minutes as one GeoJSON line.",
    "MINUTES"};
const QCommandLineOption Every{
    "every", "With --muf-map: also print one each SECONDS of the capture's or session's time.",
    "SECONDS"};

// [lon,lat], whole degrees as a square's corners are.
void Corner(std::string &out, double lonDeg, double latDeg) {
    out += '[';
    AppendJsonNumber(out, lonDeg);
    out += ',';
    AppendJsonNumber(out, latDeg);
    out += ']';
}

} // namespace

QList<QCommandLineOption> MufMapOptions() {
    return {MufMap, Every};
}

std::string ReadMufMapOptions(const QCommandLineParser &parser,
                              std::optional<MufMapSettings> *settings) {
    if (!parser.isSet(MufMap)) {
        return parser.isSet(Every) ? "--every goes with --muf-map" : "";
    }
    if (settings == nullptr) {
        return "--muf-map goes with --replay, --cluster, --mqtt or --wsjtx";
    }
    const auto minutes = OptionNumber(parser.value(MufMap));
    if (!minutes || (*minutes != 15 && *minutes != 30)) {
        return "--muf-map takes 15 or 30 minutes";
    }
    MufMapSettings read;
    read.WindowS = static_cast<tracker::UnixSeconds>(*minutes) * SecondsPerMinute;
    if (parser.isSet(Every)) {
        const auto seconds = OptionNumber(parser.value(Every));
        if (!seconds || !(*seconds >= 1 && *seconds <= LongestEveryS) ||
            std::floor(*seconds) != *seconds) {
            return "--every takes whole seconds from 1 to 86400";
        }
        read.EveryS = static_cast<tracker::UnixSeconds>(*seconds);
    }
    *settings = read;
    return {};
}

std::string MufMapJson(tracker::UnixSeconds time, tracker::UnixSeconds windowS,
                       const std::vector<tracker::MufSquare> &squares) {
    std::string out = "{";
    StringMember(out, "type", "FeatureCollection");
    UtcTimeMember(out, "time", time);
    IntegerMember(out, "windowMinutes", windowS / SecondsPerMinute);
    Key(out, "features");
    out += '[';
    for (std::size_t i = 0; i < squares.size(); ++i) {
        const tracker::MufSquare &square = squares[i];
        const tracker::SquareBounds b = tracker::BoundsOf(square.Square);
        out += i == 0 ? "{" : ",{";
        StringMember(out, "type", "Feature");
        Key(out, "geometry");
        out += '{';
        StringMember(out, "type", "Polygon");
        Key(out, "coordinates");
        out += "[[";
        Corner(out, b.WestDeg, b.SouthDeg);
        out += ',';
        Corner(out, b.EastDeg, b.SouthDeg);
        out += ',';
        Corner(out, b.EastDeg, b.NorthDeg);
        out += ',';
        Corner(out, b.WestDeg, b.NorthDeg);
        out += ',';
        Corner(out, b.WestDeg, b.SouthDeg);
        out += "]]}";
        Key(out, "properties");
        out += '{';
        StringMember(out, "square", square.Square);
        DoubleMember(out, "mufMHz", calc::FormattedValue(square.MufMHz, FreqDecimals));
        IntegerMember(out, "spots", square.Spots);
        out += "}}";
    }
    out += "]}";
    return out;
}

MufMapLines::MufMapLines(MufMapSettings settings, std::function<void(const std::string &)> write)
    : Settings(settings), Write(std::move(write)), Layer(settings.WindowS) {}

void MufMapLines::Take(const live::LiveEvent &event) {
    if (const auto *taken = std::get_if<live::SpotTaken>(&event)) {
        // A line at a later time: the maps due before it show the layer without its spot.
        WriteDue(taken->Time, false);
        Layer.AgeTo(taken->Time);
        if (!taken->Result.Reflections.empty()) {
            Layer.Add(taken->Result.SpotTime, taken->Result.Reflections);
        }
    } else if (const auto *settled = std::get_if<live::Settled>(&event)) {
        WriteDue(settled->Now, true);
        Layer.AgeTo(settled->Now);
    }
}

void MufMapLines::WriteDue(tracker::UnixSeconds now, bool inclusive) {
    if (!Settings.EveryS) {
        return;
    }
    const tracker::UnixSeconds every = *Settings.EveryS;
    if (!NextDue) {
        // On whole multiples of the period (each whole minute for 60), from the first time on.
        NextDue = (now / every + (now % every == 0 ? 0 : 1)) * every;
    }
    while (*NextDue < now || (inclusive && *NextDue == now)) {
        WriteAt(*NextDue);
        *NextDue += every;
    }
}

void MufMapLines::WriteAt(tracker::UnixSeconds time) {
    Layer.AgeTo(time);
    Write(MufMapJson(time, Settings.WindowS, Layer.Squares()));
}

void MufMapLines::Finish() {
    Write(MufMapJson(Layer.Now(), Settings.WindowS, Layer.Squares()));
}

} // namespace ionvane::cli
