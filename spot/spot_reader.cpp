#include "spot_reader.h"

#include "line_forms.h"
#include "line_text.h"
#include "locator_words.h"
#include "mode_tags.h"

#include "calc/ascii.h"
#include "calc/number_text.h"

#include <algorithm>
#include <vector>

namespace ionvane::spot {

using calc::UpperCaseAscii;

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
        spot.SpotterGrid = *trailingGrid;
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
