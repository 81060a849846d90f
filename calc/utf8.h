// Locator texts are counted and compared character by character; the program holds text as
// UTF-8, so these helpers turn it into code points and back.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ionvane::calc {

/// The code point starting at byte `pos` of a UTF-8 text, moving `pos` past it; a byte that does
/// not start a valid sequence gives U+FFFD and moves one byte.
char32_t NextCodePoint(std::string_view text, std::size_t &pos);

/// The first six characters of a text followed by those of a filler, six at most: a locator as
/// the program completes it ("IO90" with "MM" gives IO90MM).
struct SixCharacters {
    std::array<char32_t, 6> Chars{};
    std::size_t Count = 0; ///< characters held, up to six
    std::size_t Typed = 0; ///< of which from the text itself
    [[nodiscard]] std::string Text() const;
};
SixCharacters CompleteToSix(std::string_view text, std::u32string_view filler);

/// The code points of a UTF-8 text; every byte that does not start a valid sequence becomes
/// U+FFFD, so that any input can be counted.
std::u32string Utf8ToCodePoints(std::string_view text);

/// The UTF-8 text of a sequence of code points.
std::string CodePointsToUtf8(std::u32string_view codePoints);

/// The text as valid UTF-8: every byte that does not start a valid sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

} // namespace ionvane::calc
