#include "capture_line.h"

#include "calc/utf8.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace ionvane::feed {

namespace {

// "2026-06-14T10:00:25Z"
constexpr std::size_t TimeTextBytes = 20;

// What follows the tab in a feed line; cluster lines never start so.
constexpr std::string_view FeedMark = "MQTT ";

constexpr std::string_view HexDigits = "0123456789ABCDEF";

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// The end of the UTF-8 character that holds byte `pos` of a valid UTF-8 text.
std::size_t CharacterEnd(std::string_view text, std::size_t pos) {
    ++pos;
    while (pos < text.size() && (static_cast<unsigned char>(text[pos]) & 0xC0U) == 0x80U) {
        ++pos;
    }
    return pos;
}

// The digits text[pos..pos+count) as a number, or -1.
int Digits(std::string_view text, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return -1;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

int HexValue(char c) {
    const auto at = HexDigits.find(c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

std::string DecodeTopic(std::string_view text) {
    std::string topic;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            topic += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            topic += text[i];
        }
    }
    return topic;
}

} // namespace

std::string CaptureTimeText(Seconds time) {
    const auto day = std::chrono::floor<std::chrono::days>(time);
    const std::chrono::year_month_day date(day);
    const std::chrono::hh_mm_ss clock(time - day);
    std::array<char, 32> text{};
    const int written = std::snprintf(
        text.data(), text.size(), "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
        static_cast<int>(clock.seconds().count()));
    return written > 0 ? std::string(text.data(), static_cast<std::size_t>(written))
                       : std::string();
}

std::optional<Seconds> ReadCaptureTime(std::string_view text) {
    if (text.size() != TimeTextBytes || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text[19] != 'Z') {
        return std::nullopt;
    }
    const int year = Digits(text, 0, 4);
    const int month = Digits(text, 5, 2);
    const int day = Digits(text, 8, 2);
    const int hour = Digits(text, 11, 2);
    const int minute = Digits(text, 14, 2);
    const int second = Digits(text, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        second < 0 || second > 59) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) {
        return std::nullopt;
    }
    return Seconds(std::chrono::sys_days(date)) + std::chrono::hours(hour) +
           std::chrono::minutes(minute) + std::chrono::seconds(second);
}

std::string PayloadText(std::string_view payload) {
    std::string kept;
    kept.reserve(std::min(payload.size(), MaxPayloadBytes + 1));
    for (const char c : payload) {
        if (c == '\t' || !IsControl(static_cast<unsigned char>(c))) {
            kept += c;
        }
        // Enough to be read as too long; the rest would only fill the log.
        if (kept.size() > MaxPayloadBytes + 4) {
            break;
        }
    }
    std::string text = calc::ValidUtf8(kept);
    if (text.size() > MaxPayloadBytes) {
        text.resize(CharacterEnd(text, MaxPayloadBytes));
    }
    return text;
}

std::string CaptureBody(std::string_view topic, std::string_view payload) {
    std::string valid = calc::ValidUtf8(topic);
    if (valid.size() > MaxTopicBytes) {
        std::size_t end = MaxTopicBytes;
        while (end > 0 && (static_cast<unsigned char>(valid[end]) & 0xC0U) == 0x80U) {
            --end;
        }
        valid.resize(end);
    }
    std::string body(FeedMark);
    for (const char c : valid) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ' || c == '%' || IsControl(byte)) {
            body += '%';
            body += HexDigits[byte >> 4U];
            body += HexDigits[byte & 0x0FU];
        } else {
            body += c;
        }
    }
    body += ' ';
    body += PayloadText(payload);
    return body;
}

std::string CaptureLine(Seconds receivedAt, std::string_view topic, std::string_view payload) {
    return CaptureTimeText(receivedAt) + '\t' + CaptureBody(topic, payload);
}

std::optional<CapturedReport> ReadCaptureLine(std::string_view line) {
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    if (line.size() < TimeTextBytes + 1 || line[TimeTextBytes] != '\t') {
        return std::nullopt;
    }
    const auto time = ReadCaptureTime(line.substr(0, TimeTextBytes));
    if (!time) {
        return std::nullopt;
    }
    return ReadCaptureBody(*time, line.substr(TimeTextBytes + 1));
}

std::optional<CapturedReport> ReadCaptureBody(Seconds receivedAt, std::string_view body) {
    if (body.substr(0, FeedMark.size()) != FeedMark) {
        return std::nullopt;
    }
    body.remove_prefix(FeedMark.size());
    const auto blank = body.find(' ');
    const std::string_view topic = body.substr(0, blank);
    if (topic.empty()) {
        return std::nullopt;
    }
    CapturedReport report;
    report.ReceivedAt = receivedAt;
    report.Topic = DecodeTopic(topic);
    if (blank != std::string_view::npos) {
        report.Payload = std::string(body.substr(blank + 1));
    }
    return report;
}

} // namespace ionvane::feed
