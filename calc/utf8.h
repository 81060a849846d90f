// Locator texts are counted and compared character by character; the program holds text as
// UTF-8, so these helpers turn it into code points and back.
#pragma once

#include <string>
#include <string_view>

namespace ionvane::calc {

/// The code points of a UTF-8 text; every byte that does not start a valid sequence becomes
/// U+FFFD, so that any input can be counted.
std::u32string Utf8ToCodePoints(std::string_view text);

/// The UTF-8 text of a sequence of code points.
std::string CodePointsToUtf8(std::u32string_view codePoints);

/// The text with the ASCII letters a-z upper-cased; every other character stays as it is.
std::string UpperCaseAscii(std::string_view text);

} // namespace ionvane::calc
