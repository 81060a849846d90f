#include "line_forms.h"

#include "locator_words.h"
#include "spot_words.h"

#include "calc/ascii.h"

#include <algorithm>
#include <iterator>

namespace ionvane::spot {

using calc::EqualsIgnoringAsciiCase;

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

bool HoldsNumberAndLocator(std::string_view line, const std::vector<Token> &t) {
    return std::any_of(t.begin(), t.end(), [](const Token &w) { return IsPlainNumber(w.Text); }) &&
           !FindLocators(line, {}).empty();
}

} // namespace ionvane::spot
