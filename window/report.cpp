#include "report.h"

#include <array>
#include <charconv>
#include <cmath>

namespace ionvane::window {

namespace {

// The shortest text that reads back as the same value (a float as a float: 50.04,
// not 50.040000915).
template <class Number> std::string JsonNumber(Number value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), result.ptr};
}

void Member(std::string &out, std::string_view name, std::string_view jsonValue) {
    if (!out.empty() && out.back() != '{') {
        out += ',';
    }
    out += JsonString(name);
    out += ':';
    out += jsonValue;
}

} // namespace

std::string JsonString(std::string_view text) {
    static constexpr std::string_view Hex = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            switch (c) {
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
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string ReportMembers(const CalculateOutcome &outcome, const ScreenTexts &screen) {
    std::string out;
    Member(out, "status", std::to_string(outcome.StatusShown));
    Member(out, "message", JsonString(outcome.MessageShown));
    Member(out, "focus", outcome.Focus ? JsonString(ControlName(*outcome.Focus)) : "null");
    Member(out, "title", JsonString(screen.Title));
    Member(out, "homeLocator", JsonString(screen.txtHomeLoc));
    std::string labels = "{";
    Member(labels, "lblAZResult", JsonString(screen.lblAZResult));
    Member(labels, "lblAzResult2", JsonString(screen.lblAzResult2));
    Member(labels, "lblMidPoint", JsonString(screen.lblMidPoint));
    Member(labels, "lblMUFqth", JsonString(screen.lblMUFqth));
    Member(labels, "lblMUFqth2", JsonString(screen.lblMUFqth2));
    Member(labels, "lblFOT", JsonString(screen.lblFOT));
    labels += '}';
    Member(out, "labels", labels);
    if (const auto &f = outcome.Figures) {
        Member(out, "distanceKm", JsonNumber(f->DistanceKm));
        Member(out, "azimuthDeg", JsonNumber(f->AzimuthDeg));
        Member(out, "elevationDeg", JsonNumber(f->ElevationDeg));
        Member(out, "criticalFreqMHz", JsonNumber(f->CriticalFreqMHz));
        Member(out, "mufMHz", JsonNumber(f->PathMufMHz));
        Member(out, "centreLocator", JsonString(f->CentreLoc));
        Member(out, "towardsLocator", JsonString(f->TowardsLoc));
        Member(out, "homeDistanceKm", JsonNumber(f->HomeDistanceKm));
        Member(out, "homeAzimuthDeg", JsonNumber(f->HomeAzimuthDeg));
        Member(out, "homeElevationDeg", JsonNumber(f->HomeElevationDeg));
        Member(out, "trafficFreqMHz", JsonNumber(f->TrafficFreqMHz));
    }
    return out;
}

} // namespace ionvane::window
