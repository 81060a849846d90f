#include "spot_reader.h"

#include "calc/ascii.h"
#include "calc/locator.h"
#include "calc/number_text.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ionvane::spot {

namespace {

using calc::EqualsIgnoringAsciiCase;
using calc::IsAsciiAlnum;
using calc::IsAsciiDigit;
using calc::IsAsciiLetter;
using calc::IsAsciiSpace;
using calc::ToAsciiUpper;
using calc::UpperCaseAscii;

constexpr char Escape = '\x1B';

// The line as it reads on a terminal: ANSI escape sequences ("\x1B[1;32m") taken out, every other
// control character (the node's BEL, NUL, DEL, C1 controls) turned into a blank so that it still
// parts the words on either side. Tabs stay: they part the columns of web-cluster rows.
std::string Printable(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    std::size_t pos = 0;
    while (pos < line.size()) {
        const char c = line[pos];
        const auto code = static_cast<unsigned char>(c);
        if (c == Escape) {
            ++pos;
            if (pos < line.size() && line[pos] == '[') {
                // CSI: parameter and intermediate bytes 0x20..0x3F, then one final byte.
                ++pos;
                while (pos < line.size() && static_cast<unsigned char>(line[pos]) >= 0x20U &&
                       static_cast<unsigned char>(line[pos]) <= 0x3FU) {
                    ++pos;
                }
                if (pos < line.size() && static_cast<unsigned char>(line[pos]) >= 0x40U &&
                    static_cast<unsigned char>(line[pos]) <= 0x7EU) {
                    ++pos;
                }
            } else if (pos < line.size() && line[pos] == ']') {
                // OSC (a terminal title): up to BEL or ESC backslash.
                while (pos < line.size() && line[pos] != '\a' && line[pos] != Escape) {
                    ++pos;
                }
                pos += (pos < line.size() && line[pos] == '\a') ? 1 : 0;
                pos += (pos + 1 < line.size() && line[pos + 1] == '\\') ? 2 : 0;
            } else if (pos < line.size()) {
                ++pos; // a two-byte sequence such as ESC 7
            }
            continue;
        }
        if (code == 0xC2U && pos + 1 < line.size() &&
            static_cast<unsigned char>(line[pos + 1]) >= 0x80U &&
            static_cast<unsigned char>(line[pos + 1]) <= 0x9FU) {
            out += ' '; // a C1 control written in UTF-8
            pos += 2;
            continue;
        }
        out += (c != '\t' && calc::IsAsciiControl(c)) ? ' ' : c;
        ++pos;
    }
    return out;
}

// Where "DX de" starts as words of their own ("dxspider >DX de DK7UK:", "[12:06] DX de ..."), or
// npos.
std::size_t DxDeAt(std::string_view line) {
    for (std::size_t pos = 0; pos + 5 < line.size(); ++pos) {
        if ((pos == 0 || !IsAsciiAlnum(line[pos - 1])) &&
            EqualsIgnoringAsciiCase(line.substr(pos, 2), "DX") && IsAsciiSpace(line[pos + 2])) {
            std::size_t de = pos + 3;
            while (de < line.size() && IsAsciiSpace(line[de])) {
                ++de;
            }
            if (EqualsIgnoringAsciiCase(line.substr(de, 2), "de") &&
                (de + 2 == line.size() || IsAsciiSpace(line[de + 2]))) {
                return pos;
            }
        }
    }
    return std::string_view::npos;
}

struct Token {
    std::string_view Text;
    std::size_t Begin;
    std::size_t End;
};

std::vector<Token> Split(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsAsciiSpace(line[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < line.size() && !IsAsciiSpace(line[pos])) {
            ++pos;
        }
        if (pos > begin) {
            tokens.push_back({line.substr(begin, pos - begin), begin, pos});
        }
    }
    return tokens;
}

// Digits with at most one decimal point, at least one digit: "50099.0", "144.174", and "50,313"
// as a web page in a decimal-comma language shows it (read as 50.313 or as 50313 kHz, the
// frequency is the same).
bool IsPlainNumber(std::string_view text) {
    bool digit = false;
    bool point = false;
    for (const char c : text) {
        if (IsAsciiDigit(c)) {
            digit = true;
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// Two letters A-R and two digits: a square locator ("KP20"). No call sign has this shape, for a
// call ends in letters after its digit.
bool IsSquareShaped(std::string_view text) {
    const auto field = [](char c) { return ToAsciiUpper(c) >= 'A' && ToAsciiUpper(c) <= 'R'; };
    return text.size() == 4 && field(text[0]) && field(text[1]) && IsAsciiDigit(text[2]) &&
           IsAsciiDigit(text[3]);
}

// A call sign: letters, digits and the separators / - #, at least one letter and one digit, and
// not a square locator ("50.313 KP20 IL18 JO40" names no DX call).
bool IsCallLike(std::string_view text) {
    if (text.size() < 3 || text.size() > 20 || IsSquareShaped(text)) {
        return false;
    }
    bool letter = false;
    bool digit = false;
    for (const char c : text) {
        if (IsAsciiDigit(c)) {
            digit = true;
        } else if (IsAsciiLetter(c)) {
            letter = true;
        } else if (c != '/' && c != '-' && c != '#') {
            return false;
        }
    }
    return letter && digit;
}

bool IsAllDigits(std::string_view text, std::size_t minSize, std::size_t maxSize) {
    return text.size() >= minSize && text.size() <= maxSize &&
           std::all_of(text.begin(), text.end(), IsAsciiDigit<char>);
}

// "1206" or "1206Z"; with `zulu`, only "1206Z".
bool IsTime(std::string_view text, bool zulu) {
    if (text.size() == 5 && ToAsciiUpper(text[4]) == 'Z') {
        text.remove_suffix(1);
    } else if (zulu) {
        return false;
    }
    return IsAllDigits(text, 4, 4);
}

// "12:06", "12:06:33", "12:06Z", "[12:06]", "12:06:33.123": a clock time as loggers and web
// clusters write it.
bool IsClockTime(std::string_view text) {
    if (text.size() > 2 && text.front() == '[' && text.back() == ']') {
        text = text.substr(1, text.size() - 2);
    }
    if (!text.empty() && ToAsciiUpper(text.back()) == 'Z') {
        text.remove_suffix(1);
    }
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || !IsAllDigits(text.substr(0, colon), 1, 2)) {
        return false;
    }
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(colon), text.end(),
                       [](char c) { return IsAsciiDigit(c) || c == ':' || c == '.'; });
}

bool IsMonth(std::string_view text) {
    static constexpr std::array<std::string_view, 12> Months = {
        "JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    return std::any_of(Months.begin(), Months.end(),
                       [&](std::string_view m) { return EqualsIgnoringAsciiCase(m, text); });
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

// "2026-06-14", "14.06.2026", "14/06/2026", "06/14/26": digit groups joined by one kind of
// separator, one group of four digits or three groups.
bool IsNumericDate(std::string_view text) {
    const auto separator = text.find_first_of("-./");
    if (separator == std::string_view::npos) {
        return false;
    }
    const char joiner = text[separator];
    int groups = 0;
    std::size_t start = 0;
    for (;;) {
        const auto end = text.find(joiner, start);
        if (!IsAllDigits(text.substr(start, end - start), 1, 4)) {
            return false;
        }
        ++groups;
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return groups == 3;
}

// A word of a date or a time in a web-cluster cell: "14", "Jun", "2026", "14-Jun-2026", "1206Z",
// "12:06", "2026-06-14", "UTC".
bool IsDateOrTimeWord(std::string_view word) {
    return IsTime(word, false) || IsClockTime(word) || IsDashedDate(word) || IsNumericDate(word) ||
           IsMonth(word) || IsAllDigits(word, 1, 2) || IsAllDigits(word, 4, 4) ||
           EqualsIgnoringAsciiCase(word, "UTC") || EqualsIgnoringAsciiCase(word, "Z");
}

// The length of a locator starting at `pos` (4, 6 or 8 characters, any case) that stands as a
// word of its own or next to a separator, or 0.
std::size_t LocatorAt(std::string_view text, std::size_t pos) {
    if (pos > 0 && IsAsciiAlnum(text[pos - 1])) {
        return 0;
    }
    // The character `offset` places on, in either case, where a locator has its character
    // `position` (1..6); the extended square of an eight-character locator is two digits more.
    const auto fits = [&](std::size_t offset, int position) {
        const std::size_t at = pos + offset;
        return at < text.size() &&
               calc::IsLocatorCharacter(static_cast<unsigned char>(ToAsciiUpper(text[at])),
                                        position);
    };
    const auto endsHere = [&](std::size_t at) {
        return at >= text.size() || !IsAsciiAlnum(text[at]);
    };
    constexpr int SquareDigit = 3;
    if (!fits(0, 1) || !fits(1, 2) || !fits(2, 3) || !fits(3, 4)) {
        return 0;
    }
    if (fits(4, 5) && fits(5, 6)) {
        if (fits(6, SquareDigit) && fits(7, SquareDigit) && endsHere(pos + 8)) {
            return 8;
        }
        return endsHere(pos + 6) ? 6 : 0;
    }
    return endsHere(pos + 4) ? 4 : 0;
}

bool IsWholeLocator(std::string_view text) {
    return !text.empty() && LocatorAt(text, 0) == text.size();
}

// FT8 closing words: RR73 has the shape of a locator (a square near the North Pole) but in a spot
// comment it is always the end of a contact.
bool IsFt8Word(std::string_view word) {
    return EqualsIgnoringAsciiCase(word, "RR73") || EqualsIgnoringAsciiCase(word, "RRR") ||
           word == "73";
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
        const std::string word = UpperCaseAscii(text.substr(pos, length));
        if (std::find(callParts.begin(), callParts.end(), word) == callParts.end() &&
            !IsFt8Word(word)) {
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
    parts.push_back(UpperCaseAscii(call));
    std::size_t start = 0;
    while (start <= call.size()) {
        const std::size_t end = call.find_first_of("/-", start);
        parts.push_back(UpperCaseAscii(call.substr(start, end - start)));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
}

constexpr std::array<std::string_view, 5> EsTags = {"ES", "EES", "E", "SPE", "SPORADIC-E"};
constexpr std::array<std::string_view, 27> OtherModeTags = {
    "TR",   "TROPO", "DUCT",  "MS",  "METEOR", "EME", "AU", "AURORA", "AUE",
    "AU-E", "AUES",  "AU-ES", "FAI", "F2",     "TEP", "RS", "SAT",    "BS",
    "SCT",  "AS",    "IRS",   "ISS", "LOS",    "MSK", "GL", "TE",     "AURORA-E"};
// Tags that are also everyday words ("as strong as ever") count only in capitals.
constexpr std::array<std::string_view, 6> CapitalsOnlyTags = {"E", "AS", "BS", "GL", "LOS", "TE"};
// Tags that are far more often something else ("JO40 IL18 GL": good luck) count only between the
// two locators ("JO40<GL>IL18").
constexpr std::array<std::string_view, 2> BetweenOnlyTags = {"GL", "TE"};

enum class TagPlace { Between, Elsewhere };

bool IsTagWord(std::string_view word, TagPlace place) {
    const auto named = [&](std::string_view tag) { return EqualsIgnoringAsciiCase(tag, word); };
    const bool known = std::any_of(EsTags.begin(), EsTags.end(), named) ||
                       std::any_of(OtherModeTags.begin(), OtherModeTags.end(), named);
    if (!known || (place != TagPlace::Between &&
                   std::any_of(BetweenOnlyTags.begin(), BetweenOnlyTags.end(), named))) {
        return false;
    }
    if (std::any_of(CapitalsOnlyTags.begin(), CapitalsOnlyTags.end(), named)) {
        return UpperCaseAscii(word) == word;
    }
    return true;
}

// The tag a word names: the word itself ("AU-E"), else the first tag among its hyphenated parts
// ("TROPO-DUCT", "tr-es"); or "".
std::string TagOfWord(std::string_view word, TagPlace place) {
    if (IsTagWord(word, place)) {
        return UpperCaseAscii(word);
    }
    if (word.find('-') == std::string_view::npos) {
        return {};
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(word.find('-', start), word.size());
        if (const auto part = word.substr(start, end - start); IsTagWord(part, place)) {
            return UpperCaseAscii(part);
        }
        if (end == word.size()) {
            return {};
        }
        start = end + 1;
    }
}

// The propagation tag in `text` (letters and digits between separators), or "".
std::string TagIn(std::string_view text, bool lastWord, TagPlace place) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && !IsAsciiAlnum(text[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < text.size() && (IsAsciiAlnum(text[pos]) || text[pos] == '-')) {
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
        return TagOfWord(words.back(), place);
    }
    for (const auto word : words) {
        if (auto tag = TagOfWord(word, place); !tag.empty()) {
            return tag;
        }
    }
    return {};
}

// The parts of a line as its form lays them out.
struct Layout {
    std::string_view Frequency;
    std::string_view DxCall;
    std::string_view Spotter;
    std::string Comment;
    std::string_view TrailingGrid;
};

std::string_view Between(std::string_view line, std::size_t begin, std::size_t end) {
    return begin < end ? line.substr(begin, end - begin) : std::string_view();
}

std::optional<Layout> ClusterLine(std::string_view line, const std::vector<Token> &t) {
    if (t.size() < 3 || !EqualsIgnoringAsciiCase(t[0].Text, "DX") ||
        !EqualsIgnoringAsciiCase(t[1].Text, "de")) {
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
    layout.Comment = Between(line, restBegin, time < t.size() ? t[time].Begin : line.size());
    if (time + 1 < t.size()) {
        layout.TrailingGrid = t[time + 1].Text;
    }
    return layout;
}

// "SPOTTER FREQ DXCALL comment HHMM DD Mon YYYY"
std::optional<Layout> ListingLine(std::string_view line, const std::vector<Token> &t) {
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
    layout.Comment = Between(line, t[2].End, t[n - 4].Begin);
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
    std::size_t commentEnd = line.size();
    const std::string_view last = t[n - 1].Text;
    if (n > 4 && last.size() > 2 && last.front() == '<' && last.back() == '>') {
        layout.Spotter = last.substr(1, last.size() - 2);
        commentEnd = t[n - 1].Begin;
    }
    layout.Comment = Between(line, t[3].End, commentEnd);
    return layout;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsAsciiSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// A row copied from a web cluster's table: columns parted by tabs, in whatever order the site
// shows them (frequency, DX call, spotter, comment, time, date). The frequency is the cell that is
// one number; the DX call is the call cell nearest after it (before it when none follows), the
// spotter the other call cell; date and time cells are left out; every other cell is comment.
std::optional<Layout> WebClusterRow(std::string_view line) {
    if (line.find('\t') == std::string_view::npos) {
        return std::nullopt;
    }
    enum class Kind { Frequency, Call, DateTime, Comment, Taken };
    struct Cell {
        std::string_view Text;
        Kind What;
    };
    std::vector<Cell> cells;
    std::size_t start = 0;
    for (;;) {
        const auto end = line.find('\t', start);
        const std::string_view text = Trimmed(Between(line, start, std::min(end, line.size())));
        if (!text.empty()) {
            Kind kind = Kind::Comment;
            const std::vector<Token> words = Split(text);
            if (IsPlainNumber(text)) {
                kind = Kind::Frequency;
            } else if (std::all_of(words.begin(), words.end(),
                                   [](const Token &w) { return IsDateOrTimeWord(w.Text); })) {
                kind = Kind::DateTime;
            } else if (words.size() == 1 && IsCallLike(text)) {
                kind = Kind::Call;
            }
            cells.push_back({text, kind});
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    const auto frequency = std::find_if(cells.begin(), cells.end(),
                                        [](const Cell &c) { return c.What == Kind::Frequency; });
    if (cells.size() < 3 || frequency == cells.end()) {
        return std::nullopt;
    }
    Layout layout;
    layout.Frequency = frequency->Text;
    // Further number cells (a second frequency column, a signal report) are comment.
    for (auto c = std::next(frequency); c != cells.end(); ++c) {
        if (c->What == Kind::Frequency) {
            c->What = Kind::Comment;
        }
    }
    auto dx = std::find_if(std::next(frequency), cells.end(),
                           [](const Cell &c) { return c.What == Kind::Call; });
    if (dx == cells.end()) {
        const auto before = std::find_if(std::make_reverse_iterator(frequency), cells.rend(),
                                         [](const Cell &c) { return c.What == Kind::Call; });
        dx = before == cells.rend() ? cells.end() : std::prev(before.base());
    }
    if (dx != cells.end()) {
        layout.DxCall = dx->Text;
        dx->What = Kind::Taken;
    }
    // A spotter shaped like a locator is rarer than a locator column: such a cell is the
    // spotter only when no other call is left.
    auto spotter = std::find_if(cells.begin(), cells.end(), [](const Cell &c) {
        return c.What == Kind::Call && !IsWholeLocator(c.Text);
    });
    if (spotter == cells.end()) {
        spotter = std::find_if(cells.begin(), cells.end(),
                               [](const Cell &c) { return c.What == Kind::Call; });
    }
    if (spotter != cells.end()) {
        layout.Spotter = spotter->Text;
        spotter->What = Kind::Taken;
    }
    // A cell that is one locator beside a comment naming one more is the spotter's grid column,
    // wherever the site puts it ("DK7UK 50313.0 EA8XXX FT8 IL18 1206Z JO40": from JO40).
    const auto isGrid = [](const Cell &c) {
        return (c.What == Kind::Comment || c.What == Kind::Call) && IsWholeLocator(c.Text);
    };
    const auto grids = std::count_if(cells.begin(), cells.end(), isGrid);
    const auto withLocator = std::count_if(cells.begin(), cells.end(), [&](const Cell &c) {
        return c.What == Kind::Comment && !isGrid(c) && !FindLocators(c.Text, {}).empty();
    });
    if (grids == 1 && withLocator > 0) {
        const auto grid = std::find_if(cells.begin(), cells.end(), isGrid);
        layout.TrailingGrid = grid->Text;
        grid->What = Kind::Taken;
    }
    for (const Cell &c : cells) {
        if (c.What == Kind::Comment || c.What == Kind::Call) {
            if (!layout.Comment.empty()) {
                layout.Comment += ' ';
            }
            layout.Comment += c.Text;
        }
    }
    return layout;
}

// Words a logger or terminal puts in front of a line: "12:06:33", "[12:06]", "1206Z",
// "2026-06-14", "14-Jun-2026".
bool IsPrefixWord(std::string_view word) {
    return IsClockTime(word) || IsTime(word, true) || IsNumericDate(word) || IsDashedDate(word);
}

// "50.313 IO90IR<ES>JN77EX", "50313.0 OH60AA IO91<ES>KP20": a number, perhaps a DX call, then the
// comment. A call-shaped word after the number is the DX call unless it is shaped like a locator
// and the rest holds fewer than two locators ("144.174 IO91VL JN58TD").
std::optional<Layout> BareLine(std::string_view line, const std::vector<Token> &t) {
    std::size_t first = 0;
    while (first < t.size() && IsPrefixWord(t[first].Text)) {
        ++first;
    }
    if (first >= t.size() || !IsPlainNumber(t[first].Text)) {
        return std::nullopt;
    }
    Layout layout;
    layout.Frequency = t[first].Text;
    std::size_t commentBegin = t[first].End;
    if (first + 1 < t.size() && IsCallLike(t[first + 1].Text) && !IsFt8Word(t[first + 1].Text)) {
        const std::string_view word = t[first + 1].Text;
        const std::string_view rest = Between(line, t[first + 1].End, line.size());
        if (!IsWholeLocator(word) || FindLocators(rest, {}).size() >= 2) {
            layout.DxCall = word;
            commentBegin = t[first + 1].End;
        }
    }
    layout.Comment = Between(line, commentBegin, line.size());
    return layout;
}

// A node's message rather than a spot: "To ALL de DL1ABC: ...", "WWV de W0MU <18>: ...",
// "WCY de DK0WCY-1 ...", talk "DK7UK de DL1ABC: ...", a prompt "DK7UK de DB0XYZ ... >". Whatever
// frequency and locators its text names, it is no spot ("To ALL de DL1ABC: Es on 50313 from JN48
// to IM98").
bool IsNodeMessage(const std::vector<Token> &t) {
    std::size_t first = 0;
    while (first < t.size() && IsPrefixWord(t[first].Text)) {
        ++first;
    }
    if (first < t.size() && EqualsIgnoringAsciiCase(t[first].Text, "To")) {
        ++first; // "To ALL de", "To LOCAL de"
    }
    return first + 2 < t.size() && EqualsIgnoringAsciiCase(t[first + 1].Text, "de");
}

// A number and a locator in a line of no known form: the user is told rather than left guessing.
bool HoldsNumberAndLocator(std::string_view line, const std::vector<Token> &t) {
    return std::any_of(t.begin(), t.end(), [](const Token &w) { return IsPlainNumber(w.Text); }) &&
           !FindLocators(line, {}).empty();
}

} // namespace

bool IsEsTag(std::string_view tag) {
    return tag.empty() || std::any_of(EsTags.begin(), EsTags.end(), [&](std::string_view es) {
               return EqualsIgnoringAsciiCase(es, tag);
           });
}

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
    case SpotProblem::SameLocators:
        return "Both locators of the spot name the same place";
    case SpotProblem::NoFrequency:
        return "No frequency found in the spot";
    case SpotProblem::TooLong:
        return "The spot is too long";
    case SpotProblem::NoSpotForm:
        return "Not a spot line the program knows";
    }
    return "";
}

std::string CompletedLocator(std::string_view locator) {
    std::string completed(locator);
    if (completed.size() == 4) {
        completed += "MM";
    }
    return completed;
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
    if (reading.NodeMessage) {
        return SpotProblem::NotASpot;
    }
    if (reading.Problem != SpotProblem::NotASpot && reading.Problem != SpotProblem::NoSpotForm) {
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

SpotReading ReadSpot(std::string_view rawLine) {
    SpotReading reading;
    if (rawLine.size() > MaxSpotLineBytes) {
        // Only a line that starts a spot is a spot too long: 4 KiB of talk or letters is no spot.
        const bool spotLike = DxDeAt(rawLine.substr(0, MaxSpotLineBytes)) != std::string_view::npos;
        reading.Problem = spotLike ? SpotProblem::TooLong : SpotProblem::NotASpot;
        return reading;
    }
    std::string printable = Printable(rawLine);
    std::string_view line = printable;
    const auto dxDe = DxDeAt(line);
    if (dxDe != std::string_view::npos) {
        line.remove_prefix(dxDe);
    }
    const std::vector<Token> tokens = Split(line);
    if (dxDe == std::string_view::npos && IsNodeMessage(tokens)) {
        reading.NodeMessage = true;
        return reading;
    }
    std::optional<Layout> layout = ClusterLine(line, tokens);
    if (!layout) {
        layout = WebClusterRow(line);
    }
    if (!layout) {
        layout = ListingLine(line, tokens);
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
        comment = layout->Comment;
    }
    const std::vector<FoundLocator> found = FindLocators(comment, callParts);
    reading.LocatorsFound = static_cast<int>(found.size());
    // The first locator, then the first one naming another subsquare.
    const FoundLocator *fromFound = found.empty() ? nullptr : found.data();
    const FoundLocator *toFound = nullptr;
    for (const FoundLocator &f : found) {
        if (CompletedLocator(f.Locator) != CompletedLocator(found.front().Locator)) {
            toFound = &f;
            break;
        }
    }
    std::optional<std::string> trailingGrid;
    if (layout && IsWholeLocator(layout->TrailingGrid)) {
        trailingGrid = UpperCaseAscii(layout->TrailingGrid).substr(0, 6);
    }
    bool sameLocators = false;
    if (toFound != nullptr) {
        spot.FromLoc = fromFound->Locator;
        spot.ToLoc = toFound->Locator;
        const std::string_view between =
            comment.substr(fromFound->End, toFound->Begin - fromFound->End);
        spot.Tag = TagIn(between, false, TagPlace::Between);
        if (spot.Tag.empty()) {
            spot.Tag = TagIn(comment.substr(0, fromFound->Begin), true, TagPlace::Elsewhere);
        }
        if (spot.Tag.empty()) {
            spot.Tag = TagIn(comment.substr(toFound->End), false, TagPlace::Elsewhere);
        }
    } else if (fromFound != nullptr && trailingGrid &&
               CompletedLocator(*trailingGrid) != CompletedLocator(fromFound->Locator)) {
        spot.FromLoc = *trailingGrid;
        spot.ToLoc = fromFound->Locator;
        spot.Tag = TagIn(comment, false, TagPlace::Elsewhere);
    } else if (fromFound != nullptr) {
        spot.FromLoc = fromFound->Locator;
        sameLocators = found.size() >= 2 || trailingGrid.has_value();
    }
    spot.Es = IsEsTag(spot.Tag);

    if (layout && !layout->Frequency.empty()) {
        std::string frequency(layout->Frequency);
        std::replace(frequency.begin(), frequency.end(), ',', '.');
        const bool inKHz = calc::LeadingNumber(frequency) >= MHzBelow;
        spot.FreqMHzText = ShiftDecimal(frequency, inKHz ? 3 : 0);
        spot.FreqMHz = calc::LeadingNumber(spot.FreqMHzText);
    }
    if (!layout) {
        // A line without a known form is no spot at all, unless it holds what a spot is made of.
        reading.Problem =
            HoldsNumberAndLocator(line, tokens) ? SpotProblem::NoSpotForm : SpotProblem::NotASpot;
    } else if (found.empty() && !trailingGrid) {
        reading.Problem = SpotProblem::NoLocators;
    } else if (sameLocators) {
        reading.Problem = SpotProblem::SameLocators;
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
