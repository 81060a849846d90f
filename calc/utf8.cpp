#include "utf8.h"

#include <algorithm>

namespace ionvane::calc {

namespace {

constexpr char32_t Replacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

} // namespace

char32_t NextCodePoint(std::string_view text, std::size_t &pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80U) {
        ++pos;
        return lead;
    }
    std::size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2U && lead <= 0xDFU) {
        length = 2;
        code = lead & 0x1FU;
    } else if (lead >= 0xE0U && lead <= 0xEFU) {
        length = 3;
        code = lead & 0x0FU;
    } else if (lead >= 0xF0U && lead <= 0xF4U) {
        length = 4;
        code = lead & 0x07U;
    }
    bool valid = length != 0 && pos + length <= text.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[pos + i]);
        valid = IsContinuation(byte);
        code = (code << 6U) | (byte & 0x3FU);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    if (valid && ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) ||
                  (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)) {
        valid = false;
    }
    if (!valid) {
        ++pos;
        return Replacement;
    }
    pos += length;
    return code;
}

std::u32string Utf8ToCodePoints(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        out += NextCodePoint(text, pos);
    }
    return out;
}

SixCharacters CompleteToSix(std::string_view text, std::u32string_view filler) {
    SixCharacters six;
    std::size_t pos = 0;
    while (pos < text.size() && six.Count < six.Chars.size()) {
        // Locators are ASCII: a plain byte is its own code point, without the decoder's call.
        const auto byte = static_cast<unsigned char>(text[pos]);
        six.Chars[six.Count++] =
            byte < 0x80U ? static_cast<char32_t>(text[pos++]) : NextCodePoint(text, pos);
    }
    six.Typed = six.Count;
    for (std::size_t i = 0; i < filler.size() && six.Count < six.Chars.size(); ++i) {
        six.Chars[six.Count++] = filler[i];
    }
    return six;
}

std::string SixCharacters::Text() const {
    const std::u32string_view chars(Chars.data(), Count);
    if (std::all_of(chars.begin(), chars.end(), [](char32_t c) { return c < 0x80; })) {
        std::array<char, 6> ascii{};
        for (std::size_t i = 0; i < ascii.size() && i < chars.size(); ++i) {
            ascii[i] = static_cast<char>(chars[i]);
        }
        return std::string(ascii.data(), chars.size());
    }
    return CodePointsToUtf8(chars);
}

std::string CodePointsToUtf8(std::u32string_view codePoints) {
    std::string out;
    out.reserve(codePoints.size());
    for (char32_t code : codePoints) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0U | (code >> 6U));
            out += static_cast<char>(0x80U | (code & 0x3FU));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0U | (code >> 12U));
            out += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80U | (code & 0x3FU));
        } else {
            out += static_cast<char>(0xF0U | (code >> 18U));
            out += static_cast<char>(0x80U | ((code >> 12U) & 0x3FU));
            out += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
            out += static_cast<char>(0x80U | (code & 0x3FU));
        }
    }
    return out;
}

std::string ValidUtf8(std::string_view text) {
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80U; });
    return ascii ? std::string(text) : CodePointsToUtf8(Utf8ToCodePoints(text));
}

} // namespace ionvane::calc
