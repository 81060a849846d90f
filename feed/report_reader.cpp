#include "report_reader.h"

#include "calc/locator.h"
#include "calc/number_text.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace ionvane::feed {

namespace {

// The meteor-scatter mode of the digital-mode programs; its reports are never Es.
constexpr std::string_view MeteorScatterMode = "MSK144";

// Frequencies from 1 Hz to 1 THz are read; the highest amateur band ends at 250 GHz, and the
// bound keeps the decimal text of a stray huge number short.
constexpr double MinReportFreqHz = 1;
constexpr double MaxReportFreqHz = 1e12;

// Hz to MHz: the decimal point moves six places.
constexpr int HzPerMHzDigits = 6;

// Longest call and mode kept; longer texts are no call or mode and are left out.
constexpr std::size_t MaxCallBytes = 20;
constexpr std::size_t MaxModeBytes = 16;

// Sentinel for "not a whole number" from QJsonValue::toInteger.
constexpr qint64 NotWhole = std::numeric_limits<qint64>::min();

char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAsciiAlnum(char c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string Text(const QJsonValue &value) {
    return value.isString() ? value.toString().toStdString() : std::string();
}

// A locator of 4, 6, 8 or 10 characters in any case, upper-cased and cut to six; "" for anything
// else ("JN4", "JN48Q", "ZZ99").
std::string ReportLocator(const QJsonValue &value) {
    const std::string text = Text(value);
    const std::size_t size = text.size();
    if (size != 4 && size != 6 && size != 8 && size != 10) {
        return {};
    }
    std::string upper;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = UpperAscii(text[i]);
        // Positions 7 and 8 are digits again, 9 and 10 letters A..X as the subsquare.
        const int position = static_cast<int>(i < 6 ? i + 1 : i - 3);
        if (!calc::IsLocatorCharacter(static_cast<unsigned char>(c), position)) {
            return {};
        }
        upper += c;
    }
    return upper.substr(0, 6);
}

// A call or mode as the report gives it, upper-cased, when it looks like one: letters, digits
// and the separators / and -, at most `maxBytes`. Anything else is left out.
std::string Word(const QJsonValue &value, std::size_t maxBytes) {
    const std::string text = Text(value);
    if (text.empty() || text.size() > maxBytes) {
        return {};
    }
    std::string upper;
    for (const char c : text) {
        if (!IsAsciiAlnum(c) && c != '/' && c != '-') {
            return {};
        }
        upper += UpperAscii(c);
    }
    return upper;
}

// The frequency in Hz as exact decimal text in MHz, or "" when there is none.
std::string FreqMHzText(const QJsonValue &value) {
    if (!value.isDouble()) {
        return {};
    }
    const double hz = value.toDouble();
    if (!std::isfinite(hz) || hz < MinReportFreqHz || hz > MaxReportFreqHz) {
        return {};
    }
    std::array<char, 64> digits{};
    std::to_chars_result written{};
    const qint64 wholeHz = value.toInteger(NotWhole);
    if (wholeHz != NotWhole) {
        written = std::to_chars(digits.data(), digits.data() + digits.size(), wholeHz);
    } else {
        // A fraction of a hertz: the shortest text that reads back as the same double.
        written = std::to_chars(digits.data(), digits.data() + digits.size(), hz,
                                std::chars_format::fixed);
    }
    if (written.ec != std::errc()) {
        return {};
    }
    return spot::ShiftDecimal(std::string_view(digits.data(), written.ptr), HzPerMHzDigits);
}

} // namespace

std::string_view ReportProblemText(ReportProblem problem) {
    switch (problem) {
    case ReportProblem::None:
        return "";
    case ReportProblem::NotAReport:
        return "Not a feed report";
    case ReportProblem::TooLong:
        return "The report is too long";
    case ReportProblem::MeteorScatter:
        return "MSK144 is meteor scatter, not Es";
    case ReportProblem::NoLocators:
        return "No locators in the report";
    case ReportProblem::OneLocator:
        return "Only one locator in the report";
    case ReportProblem::SameLocators:
        return "Both locators of the report name the same place";
    case ReportProblem::NoFrequency:
        return "No frequency in the report";
    case ReportProblem::Repeated:
        return "The report was received before";
    case ReportProblem::OffTopic:
        return "The report came on a topic not subscribed to";
    }
    return "";
}

ReportReading ReadReport(std::string_view payload, Seconds receivedAt) {
    ReportReading reading;
    reading.Time = receivedAt;
    if (payload.size() > MaxPayloadBytes) {
        reading.Problem = ReportProblem::TooLong;
        return reading;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(payload.data(), static_cast<qsizetype>(payload.size())), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        reading.Problem = ReportProblem::NotAReport;
        return reading;
    }
    const QJsonObject report = document.object();

    const qint64 sequence = report.value("sq").toInteger(NotWhole);
    if (sequence != NotWhole && sequence >= 0) {
        reading.Sequence = static_cast<std::uint64_t>(sequence);
    }
    const qint64 ownTime = report.value("t").toInteger(NotWhole);
    const qint64 received = receivedAt.time_since_epoch().count();
    if (ownTime != NotWhole && ownTime >= received - Seconds::duration(ReportTimeBehind).count() &&
        ownTime <= received + Seconds::duration(ReportTimeAhead).count()) {
        reading.Time = Seconds(Seconds::duration(std::min(ownTime, received)));
        reading.OwnTime = true;
    }

    spot::Spot &spot = reading.Read;
    spot.Mode = Word(report.value("md"), MaxModeBytes);
    spot.DxCall = Word(report.value("sc"), MaxCallBytes);
    spot.Spotter = Word(report.value("rc"), MaxCallBytes);
    spot.FromLoc = ReportLocator(report.value("sl"));
    spot.ToLoc = ReportLocator(report.value("rl"));
    spot.FreqMHzText = FreqMHzText(report.value("f"));
    if (!spot.FreqMHzText.empty()) {
        spot.FreqMHz = calc::LeadingNumber(spot.FreqMHzText);
    }

    if (spot.Mode == MeteorScatterMode) {
        reading.Problem = ReportProblem::MeteorScatter;
    } else if (spot.FromLoc.empty() && spot.ToLoc.empty()) {
        reading.Problem = ReportProblem::NoLocators;
    } else if (spot.FromLoc.empty() || spot.ToLoc.empty()) {
        reading.Problem = ReportProblem::OneLocator;
    } else if (spot::CompletedLocator(spot.FromLoc) == spot::CompletedLocator(spot.ToLoc)) {
        reading.Problem = ReportProblem::SameLocators;
    } else if (!(spot.FreqMHz > 0)) {
        reading.Problem = ReportProblem::NoFrequency;
    } else {
        reading.Problem = ReportProblem::None;
    }
    return reading;
}

bool SequenceMemory::Remember(std::uint64_t sequence) {
    if (!Seen.insert(sequence).second) {
        return false;
    }
    Order.push_back(sequence);
    if (Order.size() > Capacity) {
        Seen.erase(Order.front());
        Order.pop_front();
    }
    return true;
}

ReportReading ReportReader::Read(std::string_view payload, Seconds receivedAt) {
    ReportReading reading = ReadReport(payload, receivedAt);
    if (reading.Problem == ReportProblem::None && reading.Sequence &&
        !Memory.Remember(*reading.Sequence)) {
        reading.Problem = ReportProblem::Repeated;
    }
    return reading;
}

} // namespace ionvane::feed
