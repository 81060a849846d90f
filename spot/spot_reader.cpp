#include "spot_reader.h"

#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace ionvane::spot {

namespace {

// Frequencies from the cluster are in kHz; a bare number below this is already MHz.
constexpr double BareMHzBelow = 1000;

struct Token {
    std::string_view Text;
    std::size_t Begin;
    std::size_t End;
};

std::vector<Token> Split(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos])) != 0) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < line.size() && std::isspace(static_cast<unsigned char>(line[pos])) == 0) {
            ++pos;
        }
        if (pos > begin) {
            tokens.push_back({line.substr(begin, pos - begin), begin, pos});
        }
    }
    return tokens;
}

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsAlnum(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

std::string UpperText(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Upper);
    return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Upper(x) == Upper(y); });
}

// Digits with at most one decimal point, at least one digit: "50099.0", "144.174".
bool IsPlainNumber(std::string_view text) {
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (IsDigit(c)) {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// A call sign: letters, digits and the separators / - #, at least one letter and one digit.
bool IsCallLike(std::string_view text) {
    if (text.size() < 3 || text.size() > 20) {
        return false;
    }
    bool letter = false;
    bool digit = false;
    for (const char c : text) {
        if (IsDigit(c)) {
            digit = true;
        } else if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
            letter = true;
        } else if (c != '/' && c != '-' && c != '#') {
            return false;
        }
    }
    return letter && digit;
}

bool IsTime(std::string_view text, bool zulu) {
    if (text.size() == 5 && Upper(text[4]) == 'Z') {
        text.remove_suffix(1);
    } else if (zulu) {
        return false;
    }
    return text.size() == 4 && std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsMonth(std::string_view text) {
    static constexpr std::array<std::string_view, 12> Months = {
        "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    return std::any_of(Months.begin(), Months.end(),
                       [&](std::string_view m) { return EqualsIgnoringCase(m, text); });
}

bool IsAllDigits(std::string_view text, std::size_t minSize, std::size_t maxSize) {
    return text.size() >= minSize && text.size() <= maxSize &&
           std::all_of(text.begin(), text.end(), IsDigit);
}

// "14-Jun-2026"
bool IsDashedDate(std::string_view text) {
    const auto first = text.find('-');
    const auto last = text.rfind('-');
    return first != std::string_view::npos && last > first &&
           IsAllDigits(text.substr(0, first), 1, 2) &&
           IsMonth(text.substr(first + 1, last - first - 1)) &&
           IsAllDigits(text.substr(last + 1), 4, 4);
}

// The length of a locator starting at `pos` (4, 6 or 8 characters, any case) that stands as a
// word of its own or next to a separator, or 0.
std::size_t LocatorAt(std::string_view text, std::size_t pos) {
    if (pos > 0 && IsAlnum(text[pos - 1])) {
        return 0;
    }
    const auto inRange = [&](std::size_t at, char first, char last) {
        return at < text.size() && Upper(text[at]) >= first && Upper(text[at]) <= last;
    };
    const auto endsHere = [&](std::size_t at) { return at >= text.size() || !IsAlnum(text[at]); };
    if (!inRange(pos, 'A', 'R') || !inRange(pos + 1, 'A', 'R') || !inRange(pos + 2, '0', '9') ||
        !inRange(pos + 3, '0', '9')) {
        return 0;
    }
    if (inRange(pos + 4, 'A', 'X') && inRange(pos + 5, 'A', 'X')) {
        if (inRange(pos + 6, '0', '9') && inRange(pos + 7, '0', '9') && endsHere(pos + 8)) {
            return 8;
        }
        return endsHere(pos + 6) ? 6 : 0;
    }
    return endsHere(pos + 4) ? 4 : 0;
}

struct FoundLocator {
    std::string Locator; // upper case, at most six characters
    std::size_t Begin;
    std::size_t End;
};

std::vector<FoundLocator> FindLocators(std::string_view text,
                                       const std::vector<std::string> &callParts) {
    std::vector<FoundLocator> found;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const std::size_t length = LocatorAt(text, pos);
        if (length == 0) {
            continue;
        }
        const std::string word = UpperText(text.substr(pos, length));
        if (std::find(callParts.begin(), callParts.end(), word) == callParts.end()) {
            found.push_back({word.substr(0, 6), pos, pos + length});
        }
        pos += length - 1;
    }
    return found;
}

// The upper-case parts of a call sign ("EA8/N0CALL" gives EA8/N0CALL, EA8 and N0CALL), never to
// be taken for locators.
void AddCallParts(std::vector<std::string> &parts, std::string_view call) {
    if (call.empty()) {
        return;
    }
    parts.push_back(UpperText(call));
    std::size_t start = 0;
    while (start <= call.size()) {
        const std::size_t end = call.find_first_of("/-", start);
        parts.push_back(UpperText(call.substr(start, end - start)));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
}

bool IsTag(std::string_view word) {
    static constexpr std::array<std::string_view, 16> Tags = {
        "ES",   "EES", "E",   "TR",  "TROPO", "MS",  "AU", "AUE",
        "AU-E", "F2",  "TEP", "FAI", "EME",   "SCT", "AS", "IRS"};
    return std::any_of(Tags.begin(), Tags.end(),
                       [&](std::string_view tag) { return EqualsIgnoringCase(tag, word); });
}

// The propagation tag in `text` (letters and digits between separators), or "".
std::string TagIn(std::string_view text, bool lastWord) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && !IsAlnum(text[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < text.size() && (IsAlnum(text[pos]) || text[pos] == '-')) {
            ++pos;
        }
        if (pos > begin) {
            words.push_back(text.substr(begin, pos - begin));
        }
    }
    if (words.empty()) {
        return {};
    }
    if (lastWord) {
        return IsTag(words.back()) ? UpperText(words.back()) : std::string();
    }
    for (const auto word : words) {
        if (IsTag(word)) {
            return UpperText(word);
        }
    }
    return {};
}

// The parts of a line as its form lays them out.
struct Layout {
    std::string_view Frequency;
    bool InKHz = true;
    std::string_view DxCall;
    std::string_view Spotter;
    std::size_t CommentBegin = 0;
    std::size_t CommentEnd = 0;
    std::string_view TrailingGrid;
};

std::optional<Layout> ClusterLine(std::string_view line, const std::vector<Token> &t) {
    if (t.size() < 3 || !EqualsIgnoringCase(t[0].Text, "DX") ||
        !EqualsIgnoringCase(t[1].Text, "de")) {
        return std::nullopt;
    }
    Layout layout;
    std::size_t next = 2;
    // "DK7UK:" or, for a long call, "DK7UK-2:50099.0" with no blank in between.
    const std::string_view spotterToken = t[2].Text;
    const auto colon = spotterToken.find(':');
    layout.Spotter = spotterToken.substr(0, colon);
    std::size_t restBegin = t[2].End;
    ++next;
    if (colon != std::string_view::npos && colon + 1 < spotterToken.size()) {
        layout.Frequency = spotterToken.substr(colon + 1);
    } else if (next < t.size() && IsPlainNumber(t[next].Text)) {
        layout.Frequency = t[next].Text;
        restBegin = t[next].End;
        ++next;
    }
    if (!IsPlainNumber(layout.Frequency)) {
        layout.Frequency = {};
    }
    if (next < t.size() && IsCallLike(t[next].Text)) {
        layout.DxCall = t[next].Text;
        restBegin = t[next].End;
        ++next;
    }
    std::size_t time = t.size();
    for (std::size_t i = t.size(); i-- > next;) {
        if (IsTime(t[i].Text, true)) {
            time = i;
            break;
        }
    }
    layout.CommentBegin = restBegin;
    layout.CommentEnd = time < t.size() ? t[time].Begin : line.size();
    if (time + 1 < t.size()) {
        layout.TrailingGrid = t[time + 1].Text;
    }
    return layout;
}

// "SPOTTER FREQ DXCALL comment HHMM DD Mon YYYY"
std::optional<Layout> ListingLine(const std::vector<Token> &t) {
    const std::size_t n = t.size();
    if (n < 7 || !IsCallLike(t[0].Text) || !IsPlainNumber(t[1].Text) ||
        !IsAllDigits(t[n - 1].Text, 4, 4) || !IsMonth(t[n - 2].Text) ||
        !IsAllDigits(t[n - 3].Text, 1, 2) || !IsTime(t[n - 4].Text, false)) {
        return std::nullopt;
    }
    Layout layout;
    layout.Spotter = t[0].Text;
    layout.Frequency = t[1].Text;
    layout.DxCall = t[2].Text;
    layout.CommentBegin = t[2].End;
    layout.CommentEnd = t[n - 4].Begin;
    return layout;
}

// "FREQ DXCALL DD-Mon-YYYY HHMMZ comment <SPOTTER>"
std::optional<Layout> ShowDxLine(std::string_view line, const std::vector<Token> &t) {
    const std::size_t n = t.size();
    if (n < 4 || !IsPlainNumber(t[0].Text) || !IsCallLike(t[1].Text) || !IsDashedDate(t[2].Text) ||
        !IsTime(t[3].Text, true)) {
        return std::nullopt;
    }
    Layout layout;
    layout.Frequency = t[0].Text;
    layout.DxCall = t[1].Text;
    layout.CommentBegin = t[3].End;
    layout.CommentEnd = line.size();
    const std::string_view last = t[n - 1].Text;
    if (n > 4 && last.size() > 2 && last.front() == '<' && last.back() == '>') {
        layout.Spotter = last.substr(1, last.size() - 2);
        layout.CommentEnd = t[n - 1].Begin;
    }
    return layout;
}

// "50.313 IO90IR<ES>JN77EX": a number, then the comment.
std::optional<Layout> BareLine(std::string_view line, const std::vector<Token> &t) {
    if (t.empty() || !IsPlainNumber(t[0].Text)) {
        return std::nullopt;
    }
    Layout layout;
    layout.Frequency = t[0].Text;
    layout.InKHz = calc::LeadingNumber(t[0].Text) >= BareMHzBelow;
    layout.CommentBegin = t[0].End;
    layout.CommentEnd = line.size();
    return layout;
}

} // namespace

std::string_view ProblemText(SpotProblem problem) {
    switch (problem) {
    case SpotProblem::None:
        return "";
    case SpotProblem::NotASpot:
        return "Not a spot";
    case SpotProblem::NoLocators:
        return "No locators found in the spot";
    case SpotProblem::OneLocator:
        return "Only one locator found in the spot";
    case SpotProblem::NoFrequency:
        return "No frequency found in the spot";
    case SpotProblem::TooLong:
        return "The spot is too long";
    }
    return "";
}

std::string ShiftDecimal(std::string_view number, int shift) {
    const auto point = number.find('.');
    std::string digits(number.substr(0, point));
    if (point != std::string_view::npos) {
        digits += number.substr(point + 1);
    }
    long integerDigits =
        static_cast<long>(point == std::string_view::npos ? number.size() : point) - shift;
    while (integerDigits < 1) {
        digits.insert(digits.begin(), '0');
        ++integerDigits;
    }
    std::string integer = digits.substr(0, static_cast<std::size_t>(integerDigits));
    std::string fraction = digits.substr(static_cast<std::size_t>(integerDigits));
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return fraction.empty() ? integer : integer + "." + fraction;
}

SpotProblem ProblemAsSpot(const SpotReading &reading) {
    if (reading.Problem != SpotProblem::NotASpot) {
        return reading.Problem;
    }
    switch (reading.LocatorsFound) {
    case 0:
        return SpotProblem::NoLocators;
    case 1:
        return SpotProblem::OneLocator;
    default:
        return SpotProblem::NoFrequency;
    }
}

SpotReading ReadSpot(std::string_view line) {
    SpotReading reading;
    if (line.size() > MaxSpotLineBytes) {
        reading.Problem = SpotProblem::TooLong;
        return reading;
    }
    const std::vector<Token> tokens = Split(line);
    std::optional<Layout> layout = ClusterLine(line, tokens);
    if (!layout) {
        layout = ListingLine(tokens);
    }
    if (!layout) {
        layout = ShowDxLine(line, tokens);
    }
    const bool bare = !layout;
    if (bare) {
        layout = BareLine(line, tokens);
    }
    Spot &spot = reading.Read;
    std::vector<std::string> callParts;
    std::string_view comment = line;
    if (layout) {
        spot.DxCall = std::string(layout->DxCall);
        spot.Spotter = std::string(layout->Spotter);
        AddCallParts(callParts, layout->DxCall);
        AddCallParts(callParts, layout->Spotter);
        comment = line.substr(layout->CommentBegin, layout->CommentEnd - layout->CommentBegin);
    }
    const std::vector<FoundLocator> found = FindLocators(comment, callParts);
    reading.LocatorsFound = static_cast<int>(found.size());
    std::optional<std::string> trailingGrid;
    if (layout && !layout->TrailingGrid.empty() &&
        LocatorAt(layout->TrailingGrid, 0) == layout->TrailingGrid.size()) {
        trailingGrid = UpperText(layout->TrailingGrid).substr(0, 6);
    }
    if (found.size() >= 2) {
        spot.FromLoc = found[0].Locator;
        spot.ToLoc = found[1].Locator;
        const std::string_view between =
            comment.substr(found[0].End, found[1].Begin - found[0].End);
        spot.Tag = TagIn(between, false);
        if (spot.Tag.empty()) {
            spot.Tag = TagIn(comment.substr(0, found[0].Begin), true);
        }
        if (spot.Tag.empty()) {
            spot.Tag = TagIn(comment.substr(found[1].End), false);
        }
    } else if (found.size() == 1 && trailingGrid) {
        spot.FromLoc = *trailingGrid;
        spot.ToLoc = found[0].Locator;
        spot.Tag = TagIn(comment, false);
    } else if (found.size() == 1) {
        spot.FromLoc = found[0].Locator;
    }

    if (layout && !layout->Frequency.empty()) {
        spot.FreqMHzText = ShiftDecimal(layout->Frequency, layout->InKHz ? 3 : 0);
        spot.FreqMHz = calc::LeadingNumber(spot.FreqMHzText);
    }
    // A bare line without a number in front is no spot at all: the locators it holds tell what
    // is missing when the user meant it as one.
    if (!layout) {
        reading.Problem = SpotProblem::NotASpot;
    } else if (found.empty() && !trailingGrid) {
        reading.Problem = SpotProblem::NoLocators;
    } else if (spot.ToLoc.empty()) {
        reading.Problem = SpotProblem::OneLocator;
    } else if (!(spot.FreqMHz > 0)) {
        reading.Problem = SpotProblem::NoFrequency;
    } else {
        reading.Problem = SpotProblem::None;
    }
    if (bare && layout && found.empty()) {
        // "73 de DK7UK": a number in front of talk is no spot.
        reading.Problem = SpotProblem::NotASpot;
    }
    return reading;
}

} // namespace ionvane::spot
