#include "json.h"

#include "calc/number_text.h"
#include "spot/utc_time.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <ostream>

namespace ionvane::cli {

namespace {

// Appends the shortest text that reads back as the same value (a float as a float: 50.04, not
// 50.040000915).
template <class Number> void AppendNumber(std::string &out, Number value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    out.append(buffer.data(), result.ptr);
}

// A figure read from a two-decimal text is written as that text (1172.77), which reads back as the
// same value; anything else as its shortest text.
void AppendShownFigure(std::string &out, double value) {
    if (std::isfinite(value)) {
        const calc::FixedNumber shown =
            calc::FormatFixedNumber(value, calc::ShownDecimals, calc::PlainNumberFormat());
        if (shown.Value == value) {
            out += shown.Text;
            return;
        }
    }
    AppendNumber(out, value);
}

// The bytes a byte takes in a JSON string: 1 as itself, 2 for a short escape (\" \\ \n \r
// \t), 6 for the other control characters (\u00XX).
constexpr std::array<std::uint8_t, 256> EscapedSizes = [] {
    std::array<std::uint8_t, 256> sizes{};
    for (std::size_t byte = 0; byte < sizes.size(); ++byte) {
        sizes[byte] = byte < 0x20 ? 6 : 1;
    }
    for (const char shortEscape : {'"', '\\', '\n', '\r', '\t'}) {
        sizes[static_cast<unsigned char>(shortEscape)] = 2;
    }
    return sizes;
}();

} // namespace

void AppendJsonNumber(std::string &out, double value) {
    AppendNumber(out, value);
}

void AppendJsonNumber(std::string &out, float value) {
    AppendNumber(out, value);
}

void AppendJsonString(std::string &out, std::string_view text) {
    // Counted first, then written in place: one growth of the string for the whole text, as a
    // raw feed line holds an escaped quote every few bytes.
    std::size_t size = 2;
    for (const char c : text) {
        size += EscapedSizes[static_cast<unsigned char>(c)];
    }
    const std::size_t start = out.size();
    out.resize(start + size);
    char *to = out.data() + start;
    *to++ = '"';
    if (size == text.size() + 2) {
        to = std::copy(text.begin(), text.end(), to);
    } else {
        static constexpr std::string_view Hex = "0123456789abcdef";
        for (const char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            switch (EscapedSizes[byte]) {
            case 1:
                *to++ = c;
                break;
            case 2:
                *to++ = '\\';
                *to++ = c == '\n' ? 'n' : c == '\r' ? 'r' : c == '\t' ? 't' : c;
                break;
            default:
                to = std::copy_n("\\u00", 4, to);
                *to++ = Hex[byte >> 4U];
                *to++ = Hex[byte & 0xFU];
            }
        }
    }
    *to = '"';
}

void Key(std::string &out, std::string_view name) {
    const bool comma = !out.empty() && out.back() != '{';
    const std::size_t start = out.size();
    out.resize(start + (comma ? 1 : 0) + name.size() + 3);
    char *to = out.data() + start;
    if (comma) {
        *to++ = ',';
    }
    *to++ = '"';
    to = std::copy(name.begin(), name.end(), to);
    *to++ = '"';
    *to = ':';
}

void StringMember(std::string &out, std::string_view name, std::string_view text) {
    Key(out, name);
    AppendJsonString(out, text);
}

void NullableStringMember(std::string &out, std::string_view name, std::string_view text) {
    if (text.empty()) {
        RawMember(out, name, "null");
    } else {
        StringMember(out, name, text);
    }
}

void RawMember(std::string &out, std::string_view name, std::string_view json) {
    Key(out, name);
    out += json;
}

void BoolMember(std::string &out, std::string_view name, bool value) {
    RawMember(out, name, value ? "true" : "false");
}

void IntegerMember(std::string &out, std::string_view name, long long value) {
    Key(out, name);
    AppendNumber(out, value);
}

void DoubleMember(std::string &out, std::string_view name, double value) {
    Key(out, name);
    AppendJsonNumber(out, value);
}

void FloatMember(std::string &out, std::string_view name, float value) {
    Key(out, name);
    AppendJsonNumber(out, value);
}

void ShownFigureMember(std::string &out, std::string_view name, double value) {
    Key(out, name);
    AppendShownFigure(out, value);
}

void UtcTimeMember(std::string &out, std::string_view name, tracker::UnixSeconds time) {
    StringMember(out, name, spot::UtcTimeText(time));
}

std::string EventStart(std::string_view event, tracker::UnixSeconds time) {
    std::string out = "{";
    StringMember(out, "event", event);
    UtcTimeMember(out, "time", time);
    return out;
}

bool EventWriter::Write(std::string_view json) {
    if (HasFailed) {
        return false;
    }
    Out << json << '\n';
    Out.flush();
    HasFailed = !Out;
    return !HasFailed;
}

} // namespace ionvane::cli
