#include "percent_text.h"

namespace ionvane::spot {

namespace {

constexpr std::string_view HexDigits = "0123456789ABCDEF";

int HexValue(char c) {
    const auto at = HexDigits.find(c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

} // namespace

void AppendPercentEscaped(std::string &out, std::string_view text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ' || c == '%' || byte < 0x20 || byte == 0x7F) {
            out += '%';
            out += HexDigits[byte >> 4U];
            out += HexDigits[byte & 0x0FU];
        } else {
            out += c;
        }
    }
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace ionvane::spot
