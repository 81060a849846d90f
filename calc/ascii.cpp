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

} // namespace ionvane::calc
