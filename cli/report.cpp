#include "report.h"

#include "calc/number_text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace ionvane::cli {

using command::CalculateOutcome;
using command::ScreenTexts;

void AppendJsonString(std::string &out, std::string_view text);

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

// Appends `"name":`, after a comma unless it opens the object.
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

template <class Number> void NumberMember(std::string &out, std::string_view name, Number value) {
    Key(out, name);
    AppendNumber(out, value);
}

// A figure read from a two-decimal text is written as that text (1172.77), which reads back as the
// same value; anything else as its shortest text.
void TwoDecimalMember(std::string &out, std::string_view name, double value) {
    Key(out, name);
    if (std::isfinite(value) && calc::FormattedValue(value, 2) == value) {
        out += calc::FormatFixed(value, 2, calc::PlainNumberFormat());
    } else {
        AppendNumber(out, value);
    }
}

} // namespace

namespace {

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

std::string JsonString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    AppendJsonString(out, text);
    return out;
}

std::string ReportMembers(const CalculateOutcome &outcome, const ScreenTexts &screen) {
    constexpr std::size_t TypicalSize = 1024;
    std::string out;
    out.reserve(TypicalSize);
    Key(out, "status");
    out += std::to_string(outcome.StatusShown);
    if (outcome.HowEnded == CalculateOutcome::Ending::SilentStop) {
        // A frequency of 0 ends the run without a word on the screen; a script still learns why
        // status 0 came with nothing calculated.
        Key(out, "stopped");
        out += "true";
    }
    StringMember(out, "message", outcome.MessageShown);
    Key(out, "focus");
    if (outcome.Focus) {
        AppendJsonString(out, command::ControlName(*outcome.Focus));
    } else {
        out += "null";
    }
    StringMember(out, "title", screen.Title);
    StringMember(out, "homeLocator", screen.txtHomeLoc);
    Key(out, "labels");
    out += '{';
    StringMember(out, "lblAZResult", screen.lblAZResult);
    StringMember(out, "lblAzResult2", screen.lblAzResult2);
    StringMember(out, "lblMidPoint", screen.lblMidPoint);
    StringMember(out, "lblMUFqth", screen.lblMUFqth);
    StringMember(out, "lblMUFqth2", screen.lblMUFqth2);
    StringMember(out, "lblFOT", screen.lblFOT);
    out += '}';
    if (const auto &f = outcome.Figures) {
        TwoDecimalMember(out, "distanceKm", f->DistanceKm);
        TwoDecimalMember(out, "azimuthDeg", f->AzimuthDeg);
        TwoDecimalMember(out, "elevationDeg", f->ElevationDeg);
        NumberMember(out, "criticalFreqMHz", f->CriticalFreqMHz);
        TwoDecimalMember(out, "mufMHz", f->PathMufMHz);
        StringMember(out, "centreLocator", f->CentreLoc);
        StringMember(out, "towardsLocator", f->TowardsLoc);
        TwoDecimalMember(out, "homeDistanceKm", f->HomeDistanceKm);
        TwoDecimalMember(out, "homeAzimuthDeg", f->HomeAzimuthDeg);
        TwoDecimalMember(out, "homeElevationDeg", f->HomeElevationDeg);
        NumberMember(out, "trafficFreqMHz", f->TrafficFreqMHz);
    }
    return out;
}

} // namespace ionvane::cli
