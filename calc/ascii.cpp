#include "ascii.h"

#include <algorithm>

namespace ionvane::calc {

std::string UpperCaseAscii(std::string_view text) {
    std::string out(text);
    for (char &c : out) {
        c = ToAsciiUpper(c);
    }
    return out;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ToAsciiUpper(x) == ToAsciiUpper(y);
           });
}

std::string OneLineText(std::string_view text) {
    constexpr std::string_view Hex = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (!IsAsciiControl(c)) {
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            const auto code = static_cast<unsigned char>(c);
            out += "\\x";
            out += Hex[code >> 4U];
            out += Hex[code & 0xFU];
        }
    }
    return out;
}

} // namespace ionvane::calc
