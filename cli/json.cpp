#include "json.h"

#include "calc/number_text.h"
#include "spot/utc_time.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
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

// Whether any of the eight bytes of `word` needs an escape in JSON: a control character, a quote
// or a backslash.
bool NeedsEscape(std::uint64_t word) {
    constexpr std::uint64_t Ones = 0x0101010101010101U;
    constexpr std::uint64_t Highs = 0x8080808080808080U;
    const auto hasZero = [](std::uint64_t v) { return ((v - Ones) & ~v & Highs) != 0; };
    const bool control = ((word - Ones * 0x20U) & ~word & Highs) != 0;
    return control || hasZero(word ^ (Ones * '"')) || hasZero(word ^ (Ones * '\\'));
}

} // namespace

void AppendJsonNumber(std::string &out, double value) {
    AppendNumber(out, value);
}

void AppendJsonNumber(std::string &out, float value) {
    AppendNumber(out, value);
}

void AppendJsonString(std::string &out, std::string_view text) {
    static constexpr std::string_view Hex = "0123456789abcdef";
    out += '"';
    std::size_t plain = 0; // start of the run of characters that need no escape
    std::size_t i = 0;
    while (i < text.size()) {
        // Eight plain bytes at a time, the usual case for every label.
        if (i + 8 <= text.size()) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + i, sizeof word);
            if (!NeedsEscape(word)) {
                i += 8;
                continue;
            }
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\') {
            ++i;
            continue;
        }
        out.append(text.substr(plain, i - plain));
        plain = ++i;
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += "\\u00";
            out += Hex[byte >> 4U];
            out += Hex[byte & 0xFU];
        }
    }
    out.append(text.substr(plain));
    out += '"';
}

void Key(std::string &out, std::string_view name) {
    if (!out.empty() && out.back() != '{') {
        out += ',';
    }
    out += '"';
    out += name;
    out += "\":";
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
