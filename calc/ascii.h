// ASCII character tests and case changes, the same under every process locale. Locators, call
// signs, spot lines and number texts are ASCII by definition; the C library's <cctype> follows the
// process locale instead (under tr_TR, toupper('i') is not 'I' in every library, and isalpha
// accepts Latin-1 letters in single-byte locales), so nothing in the program uses it.
#pragma once

#include <string>
#include <string_view>

namespace ionvane::calc {

/// '0'..'9'. Works on char and char32_t alike; bytes of UTF-8 sequences are never digits.
template <class Char> constexpr bool IsAsciiDigit(Char c) {
    return c >= Char('0') && c <= Char('9');
}

/// 'A'..'Z'
template <class Char> constexpr bool IsAsciiUpper(Char c) {
    return c >= Char('A') && c <= Char('Z');
}

/// 'a'..'z'
template <class Char> constexpr bool IsAsciiLower(Char c) {
    return c >= Char('a') && c <= Char('z');
}

/// 'A'..'Z' or 'a'..'z'
template <class Char> constexpr bool IsAsciiLetter(Char c) {
    return IsAsciiUpper(c) || IsAsciiLower(c);
}

/// A letter or a digit.
template <class Char> constexpr bool IsAsciiAlnum(Char c) {
    return IsAsciiLetter(c) || IsAsciiDigit(c);
}

/// Blank, tab, line feed, vertical tab, form feed or carriage return.
constexpr bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/// A C0 control character (0x00..0x1F) or DEL (0x7F); tab and line ends included.
constexpr bool IsAsciiControl(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20U || code == 0x7FU;
}

/// 'a'..'z' made upper case; every other character, bytes of UTF-8 sequences included, unchanged.
template <class Char> constexpr Char ToAsciiUpper(Char c) {
    return IsAsciiLower(c) ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

/// The text with the ASCII letters a-z upper-cased; every other character stays as it is.
std::string UpperCaseAscii(std::string_view text);

/// Whether two texts are equal when ASCII letters are compared without case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

/// The text for a message of one line: every control character written as an escape ("\n",
/// "\t", "\x1b"), so that a file name holding a line end cannot split the message or forge a
/// second one. Every other byte stays as it is.
std::string OneLineText(std::string_view text);

} // namespace ionvane::calc
