#include "node_spot.h"

#include "calc/ascii.h"
#include "line_text.h"
#include "spot_words.h"
#include "utc_time.h"

#include <array>
#include <string>
#include <vector>

namespace ionvane::spot {

namespace {

using calc::EqualsIgnoringAsciiCase;
using calc::IsAsciiDigit;
using calc::IsAsciiSpace;

std::string_view TrimmedStart(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// "PC18^", "CC11^": two letters, digits, a caret.
bool StartsMachineLine(std::string_view line, std::string_view letters) {
    line = TrimmedStart(line);
    if (line.size() < letters.size() + 2 || !line.starts_with(letters)) {
        return false;
    }
    std::size_t at = letters.size();
    while (at < line.size() && IsAsciiDigit(line[at])) {
        ++at;
    }
    return at > letters.size() && at < line.size() && line[at] == '^';
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t begin = 0;;) {
        const auto end = line.find('^', begin);
        fields.push_back(line.substr(begin, end == std::string_view::npos ? end : end - begin));
        if (end == std::string_view::npos) {
            return fields;
        }
        begin = end + 1;
    }
}

// "1316Z" as minutes after midnight.
std::optional<int> ZuluMinute(std::string_view text) {
    if (!IsTime(text, true)) {
        return std::nullopt;
    }
    const int hour = (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[2] - '0') * 10 + (text[3] - '0');
    constexpr int HoursPerDay = 24;
    constexpr int MinutesPerHour = 60;
    if (hour >= HoursPerDay || minute >= MinutesPerHour) {
        return std::nullopt;
    }
    return hour * MinutesPerHour + minute;
}

std::string TwoDigits(std::size_t value) {
    constexpr std::size_t Ten = 10;
    return {static_cast<char>('0' + value / Ten % Ten), static_cast<char>('0' + value % Ten)};
}

// " 7-Dec-2026" and "1316Z" as one time; nothing for a date that does not exist.
std::optional<std::int64_t> DateAndTime(std::string_view date, std::string_view time) {
    const std::optional<DashedDate> parts = ReadDashedDate(Trimmed(date));
    const std::optional<int> minute = ZuluMinute(time);
    if (!minute || !parts) {
        return std::nullopt;
    }
    constexpr int MinutesPerHour = 60;
    const auto hour = static_cast<std::size_t>(*minute / MinutesPerHour);
    const auto pastHour = static_cast<std::size_t>(*minute % MinutesPerHour);
    std::string text(parts->Year);
    text.append("-").append(TwoDigits(static_cast<std::size_t>(parts->Month))).append("-");
    text.append(parts->Day.size() == 1 ? "0" : "")
        .append(parts->Day)
        .append("T")
        .append(TwoDigits(hour));
    text.append(":").append(TwoDigits(pastHour)).append(":00Z");
    return ReadUtcTime(text);
}

// The CC11 fields: frequency, DX call, date, time, comment, spotter, and the spotter's grid last.
constexpr std::size_t Cc11MinFields = 7;

TimedReading ReadCc11(std::string_view line) {
    const std::vector<std::string_view> f = Fields(TrimmedStart(line));
    TimedReading timed;
    if (f.size() < Cc11MinFields) {
        timed.Reading.Problem = SpotProblem::NotASpot;
        timed.Reading.NodeMessage = true;
        return timed;
    }
    // The "DX de" line the node would have sent instead.
    std::string dxDe = "DX de ";
    dxDe.append(Trimmed(f[6])).append(": ").append(Trimmed(f[1])).append(" ");
    dxDe.append(Trimmed(f[2])).append(" ").append(f[5]).append(" ").append(Trimmed(f[4]));
    if (f.size() > Cc11MinFields) {
        dxDe.append(" ").append(Trimmed(f.back()));
    }
    timed.Reading = ReadSpot(dxDe);
    timed.SpotTime = DateAndTime(f[3], Trimmed(f[4]));
    return timed;
}

// A command prompt without a line end runs on into the node's next line, a listing's first or a
// CC11 line: "DK7UK de GB7TST  7-Dec-2026 1310Z dxspider >  70200.0 EI9ZZE ...". The prompt is the
// call, "de", the node (no colon: "DL1ABC de DK7UK: ..." is talk), and the text up to the first
// ">"; what follows it must start with a frequency or be a CC11 line.
std::string_view AfterPrompt(std::string_view line) {
    const std::vector<Token> words = Split(line);
    if (words.size() < 3 || !EqualsIgnoringAsciiCase(words[1].Text, "de") ||
        words[2].Text.find(':') != std::string_view::npos) {
        return line;
    }
    const auto end = line.find('>', words[2].End);
    if (end == std::string_view::npos) {
        return line;
    }
    const std::string_view rest = TrimmedStart(line.substr(end + 1));
    return !rest.empty() && (IsAsciiDigit(rest.front()) || rest.starts_with("CC11^")) ? rest : line;
}

} // namespace

bool IsNodeProtocolLine(std::string_view line) {
    return StartsMachineLine(line, "PC");
}

TimedReading ReadTimedSpot(std::string_view line) {
    TimedReading timed;
    if (line.size() > MaxSpotLineBytes) {
        timed.Reading = ReadSpot(line);
        return timed;
    }
    if (TrimmedStart(line).starts_with("CC11^")) {
        return ReadCc11(line);
    }
    if (IsNodeProtocolLine(line) || StartsMachineLine(line, "CC")) {
        timed.Reading.NodeMessage = true;
        return timed;
    }
    timed.Reading = ReadSpot(line);
    if (timed.Reading.Problem == SpotProblem::NotASpot) {
        const std::string_view rest = AfterPrompt(line);
        if (rest.size() == line.size()) {
            return timed;
        }
        return ReadTimedSpot(rest);
    }
    const std::vector<Token> words = Split(line);
    // "FREQ DXCALL D-Mon-YYYY HHMMZ ...": the SH/DX listing. A prompt in front of a "DX de" line
    // ("DK7UK de DB0XYZ 7-Dec-2026 1304Z dxspider >DX de ...") has a date there too.
    if (words.size() >= 4 && IsAsciiDigit(words[0].Text.front())) {
        timed.SpotTime = DateAndTime(words[2].Text, words[3].Text);
    }
    if (!timed.SpotTime) {
        for (auto word = words.rbegin(); word != words.rend() && !timed.MinuteOfDay; ++word) {
            timed.MinuteOfDay = ZuluMinute(word->Text);
        }
    }
    return timed;
}

} // namespace ionvane::spot
