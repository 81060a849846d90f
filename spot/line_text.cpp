#include "line_text.h"

#include "calc/ascii.h"
#include "calc/utf8.h"

#include <algorithm>

namespace ionvane::spot {

using calc::EqualsIgnoringAsciiCase;
using calc::IsAsciiAlnum;
using calc::IsAsciiSpace;

namespace {

constexpr char Escape = '\x1B';

} // namespace

std::string Printable(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    std::size_t pos = 0;
    while (pos < line.size()) {
        const char c = line[pos];
        const auto code = static_cast<unsigned char>(c);
        if (c == Escape) {
            ++pos;
            if (pos < line.size() && line[pos] == '[') {
                // CSI: parameter and intermediate bytes 0x20..0x3F, then one final byte.
                ++pos;
                while (pos < line.size() && static_cast<unsigned char>(line[pos]) >= 0x20U &&
                       static_cast<unsigned char>(line[pos]) <= 0x3FU) {
                    ++pos;
                }
                if (pos < line.size() && static_cast<unsigned char>(line[pos]) >= 0x40U &&
                    static_cast<unsigned char>(line[pos]) <= 0x7EU) {
                    ++pos;
                }
            } else if (pos < line.size() && line[pos] == ']') {
                // OSC (a terminal title): up to BEL or ESC backslash.
                while (pos < line.size() && line[pos] != '\a' && line[pos] != Escape) {
                    ++pos;
                }
                pos += (pos < line.size() && line[pos] == '\a') ? 1 : 0;
                pos += (pos + 1 < line.size() && line[pos + 1] == '\\') ? 2 : 0;
            } else if (pos < line.size()) {
                ++pos; // a two-byte sequence such as ESC 7
            }
            continue;
        }
        if (code == 0xC2U && pos + 1 < line.size() &&
            static_cast<unsigned char>(line[pos + 1]) >= 0x80U &&
            static_cast<unsigned char>(line[pos + 1]) <= 0x9FU) {
            out += ' '; // a C1 control written in UTF-8
            pos += 2;
            continue;
        }
        out += (c != '\t' && calc::IsAsciiControl(c)) ? ' ' : c;
        ++pos;
    }
    return out;
}

namespace {

constexpr char Delete = '\x7f';
constexpr char32_t C1First = 0x80;
constexpr char32_t C1Last = 0x9F;

// The end of the escape sequence starting at `pos` (an ESC): CSI "ESC [ params final" with a final
// byte from '@' to '~', or ESC and one more byte.
std::size_t EscapeEnd(std::string_view text, std::size_t pos) {
    std::size_t i = pos + 1;
    if (i >= text.size()) {
        return i;
    }
    if (text[i] != '[') {
        return i + 1;
    }
    ++i;
    while (i < text.size() && (text[i] < '@' || text[i] > '~')) {
        ++i;
    }
    return i < text.size() ? i + 1 : i;
}

} // namespace

std::string CleanLine(std::string_view line) {
    std::string kept;
    kept.reserve(line.size());
    for (std::size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (c == Escape) {
            i = EscapeEnd(line, i);
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 0x20 && c != Delete) || c == '\t') {
            kept += c;
        }
        ++i;
    }
    const bool ascii = std::all_of(kept.begin(), kept.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80U; });
    if (ascii) {
        return kept;
    }
    // The C1 controls (U+0080 to U+009F) are control characters too.
    std::u32string points = calc::Utf8ToCodePoints(kept);
    std::erase_if(points, [](char32_t point) { return point >= C1First && point <= C1Last; });
    return calc::CodePointsToUtf8(points);
}

std::size_t DxDeAt(std::string_view line) {
    for (std::size_t pos = 0; pos + 5 < line.size(); ++pos) {
        if ((pos == 0 || !IsAsciiAlnum(line[pos - 1])) &&
            EqualsIgnoringAsciiCase(line.substr(pos, 2), "DX") && IsAsciiSpace(line[pos + 2])) {
            std::size_t de = pos + 3;
            while (de < line.size() && IsAsciiSpace(line[de])) {
                ++de;
            }
            if (EqualsIgnoringAsciiCase(line.substr(de, 2), "de") &&
                (de + 2 == line.size() || IsAsciiSpace(line[de + 2]))) {
                return pos;
            }
        }
    }
    return std::string_view::npos;
}

std::vector<Token> Split(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsAsciiSpace(line[pos])) {
            ++pos;
        }
        const std::size_t begin = pos;
        while (pos < line.size() && !IsAsciiSpace(line[pos])) {
            ++pos;
        }
        if (pos > begin) {
            tokens.push_back({line.substr(begin, pos - begin), begin, pos});
        }
    }
    return tokens;
}

std::string_view Between(std::string_view line, std::size_t begin, std::size_t end) {
    return begin < end ? line.substr(begin, end - begin) : std::string_view();
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsAsciiSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsAsciiSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace ionvane::spot
