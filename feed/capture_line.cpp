#include "capture_line.h"

#include "calc/utf8.h"
#include "spot/utc_time.h"

#include <algorithm>
#include <chrono>

namespace ionvane::feed {

namespace {

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
    return spot::UtcTimeText(time.time_since_epoch().count());
}

std::optional<Seconds> ReadCaptureTime(std::string_view text) {
    const auto time = spot::ReadUtcTime(text);
    if (!time) {
        return std::nullopt;
    }
    return Seconds(std::chrono::seconds(*time));
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
    if (line.size() < spot::UtcTimeBytes + 1 || line[spot::UtcTimeBytes] != '\t') {
        return std::nullopt;
    }
    const auto time = ReadCaptureTime(line.substr(0, spot::UtcTimeBytes));
    std::string_view rest = line.substr(spot::UtcTimeBytes + 1);
    if (!time || rest.substr(0, FeedMark.size()) != FeedMark) {
        return std::nullopt;
    }
    rest.remove_prefix(FeedMark.size());
    const auto blank = rest.find(' ');
    const std::string_view topic = rest.substr(0, blank);
    if (topic.empty()) {
        return std::nullopt;
    }
    CapturedReport report;
    report.ReceivedAt = *time;
    report.Topic = DecodeTopic(topic);
    if (blank != std::string_view::npos) {
        report.Payload = std::string(rest.substr(blank + 1));
    }
    return report;
}

} // namespace ionvane::feed
