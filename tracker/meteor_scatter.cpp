#include "meteor_scatter.h"

#include <array>
#include <chrono>

namespace ionvane::tracker {

namespace {

struct Shower {
    std::string_view Name;
    unsigned FirstMonth, FirstDay, LastMonth, LastDay; ///< active days, both ends included
};

// The major showers' active periods from the International Meteor Organization's working list
// (rounded out to whole days; the Quadrantids run over the new year). The Arietids are a daytime
// shower, the strongest of the year on radio and worked by MS operators in June. Of two showers
// active together the stronger is named.
constexpr std::array<Shower, 10> Showers = {{
    {"Quadrantids", 12, 28, 1, 12},
    {"Lyrids", 4, 14, 4, 30},
    {"Eta Aquariids", 4, 19, 5, 28},
    {"Arietids", 5, 14, 6, 24},
    {"Perseids", 7, 17, 8, 24},
    {"Delta Aquariids", 7, 12, 8, 23},
    {"Orionids", 10, 2, 11, 7},
    {"Leonids", 11, 6, 11, 30},
    {"Geminids", 12, 4, 12, 20},
    {"Ursids", 12, 17, 12, 26},
}};

struct Window {
    double LowMHz, HighMHz; ///< both ends included
};

// Region 1 (IARU Region 1 VHF band plan and European MS practice): MSK144 calling on 50.280 and
// the older random-MS frequency 50.230 on 6 m, each with the +-2.5 kHz a sked spreads over; on
// 2 m the MGM meteor-scatter segment from the MSK144 calling frequency 144.360 up to 144.399.
constexpr std::array<Window, 3> Region1Windows = {{
    {50.2275, 50.2325},
    {50.2775, 50.2825},
    {144.3575, 144.3990},
}};
// The Americas (ARRL and Region 2 band plans, followed in Asia-Pacific as well): MSK144 on 50.260
// up to 50.280 on 6 m, and the MS calling frequency 144.150 with its +-10 kHz of skeds on 2 m.
constexpr std::array<Window, 2> Region2Windows = {{
    {50.2575, 50.2825},
    {144.1400, 144.1600},
}};

unsigned MonthDay(unsigned month, unsigned day) {
    constexpr unsigned DaysPerMonthSlot = 100;
    return month * DaysPerMonthSlot + day;
}

} // namespace

std::optional<std::string_view> ActiveShower(UnixSeconds time) {
    using namespace std::chrono;
    constexpr UnixSeconds SecondsPerDay = 86400;
    const UnixSeconds days = (time >= 0 ? time : time - (SecondsPerDay - 1)) / SecondsPerDay;
    const year_month_day date{sys_days{std::chrono::days{days}}};
    const unsigned today =
        MonthDay(static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    for (const Shower &shower : Showers) {
        const unsigned first = MonthDay(shower.FirstMonth, shower.FirstDay);
        const unsigned last = MonthDay(shower.LastMonth, shower.LastDay);
        const bool active =
            first <= last ? today >= first && today <= last : today >= first || today <= last;
        if (active) {
            return shower.Name;
        }
    }
    return std::nullopt;
}

bool OnMeteorScatterFrequency(double freqMHz, bool region1) {
    const auto in = [freqMHz](const auto &windows) {
        for (const Window &w : windows) {
            if (freqMHz >= w.LowMHz && freqMHz <= w.HighMHz) {
                return true;
            }
        }
        return false;
    };
    return region1 ? in(Region1Windows) : in(Region2Windows);
}

} // namespace ionvane::tracker
