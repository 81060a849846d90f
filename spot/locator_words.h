// Locators as words of a spot line: where they stand, which words only look like them, and
// the parts of call signs that are never taken for them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::spot {

/// A locator found in a text: upper case, at most six characters, and where it stands.
struct FoundLocator {
    std::string Locator;
    std::size_t Begin;
    std::size_t End;
};

/// Two locators joined by "-", "/", "<>" or "->" as one word ("JN48QT-IO91", "IO91/JN48"), as
/// hams write a path in comments and chat: never a call sign, though a hyphen or a slash may join
/// the parts of one.
bool IsLocatorPair(std::string_view word);

/// Two letters A-R and two digits: a square locator ("KP20"). No call sign has this shape, for a
/// call ends in letters after its digit.
bool IsSquareShaped(std::string_view text);

/// The length of a locator starting at `pos` (4, 6 or 8 characters, any case) that stands as a
/// word of its own or next to a separator, or 0.
std::size_t LocatorAt(std::string_view text, std::size_t pos);

/// Whether all of `text` is one locator of 4, 6 or 8 characters.
bool IsWholeLocator(std::string_view text);

/// FT8 closing words: RR73 has the shape of a locator (a square near the North Pole) but in a spot
/// comment it is always the end of a contact.
bool IsFt8Word(std::string_view word);

/// The locators of `text` in order, eight characters cut to six; words in `callParts` and FT8
/// closing words are passed over.
std::vector<FoundLocator> FindLocators(std::string_view text,
                                       const std::vector<std::string> &callParts);

/// The upper-case parts of a call sign ("EA8/N0CALL" gives EA8/N0CALL, EA8 and N0CALL), never to
/// be taken for locators.
void AddCallParts(std::vector<std::string> &parts, std::string_view call);

} // namespace ionvane::spot
