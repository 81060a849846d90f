#include "line_splitter.h"

#include "calc/utf8.h"

#include <algorithm>

namespace ionvane::cluster {

void LineSplitter::Feed(std::string_view data, std::vector<std::string> &lines) {
    while (SkipBlanks && !data.empty()) {
        SkipBlanks = data.front() == ' ' || data.front() == '\t';
        if (SkipBlanks) {
            data.remove_prefix(1);
        }
    }
    while (!data.empty()) {
        const std::size_t end = data.find('\n');
        const std::string_view piece = data.substr(0, end);
        if (!Dropping) {
            const std::size_t room = MaxLineBytes - Carry.size();
            Carry.append(piece.substr(0, room));
            if (piece.size() > room) {
                lines.push_back(std::move(Carry));
                Carry.clear();
                Dropping = true;
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (!Dropping) {
            if (!Carry.empty() && Carry.back() == '\r') {
                Carry.pop_back();
            }
            lines.push_back(std::move(Carry));
            Carry.clear();
        }
        Dropping = false;
        data.remove_prefix(end + 1);
    }
}

namespace {

constexpr char Escape = '\x1b';
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

} // namespace ionvane::cluster
