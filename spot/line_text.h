// The text of a spot line as the readers see it: printable, cut into words, trimmed.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ionvane::spot {

/// A word of a line and where it stands in it.
struct Token {
    std::string_view Text;
    std::size_t Begin;
    std::size_t End;
};

/// The line as it reads on a terminal: ANSI escape sequences ("\x1B[1;32m") taken out, every other
/// control character (the node's BEL, NUL, DEL, C1 controls) turned into a blank so that it still
/// parts the words on either side. Tabs stay: they part the columns of web-cluster rows.
std::string Printable(std::string_view line);

/// A received line as the program keeps it: ANSI escape sequences ("ESC[1;31m") and control
/// characters other than tab removed (the two BELs of a beeping node, CR, NUL, DEL), invalid UTF-8
/// replaced by U+FFFD.
std::string CleanLine(std::string_view line);

/// Where "DX de" starts as words of their own ("dxspider >DX de DK7UK:", "[12:06] DX de ..."), or
/// npos.
std::size_t DxDeAt(std::string_view line);

/// The words of `line`, parted by blanks and tabs.
std::vector<Token> Split(std::string_view line);

/// The text from `begin` to `end`; empty when `end` is not past `begin`.
std::string_view Between(std::string_view line, std::size_t begin, std::size_t end);

/// `text` without the blanks around it.
std::string_view Trimmed(std::string_view text);

} // namespace ionvane::spot
