#include "capture_body.h"

#include "calc/utf8.h"
#include "spot/capture_line.h"
#include "spot/percent_text.h"

#include <algorithm>
#include <chrono>

namespace ionvane::feed {

namespace {

// What follows the tab in a feed line; cluster lines never start so.
constexpr std::string_view FeedMark = "MQTT ";

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

} // namespace

std::string PayloadText(std::string_view payload) {
    std::string kept;
    kept.reserve(std::min(payload.size(), MaxPayloadBytes + 1));
    // Runs between dropped control characters copied whole; MaxPayloadBytes + 5 bytes are enough
    // to be read as too long, and the rest would only fill the log.
    constexpr std::size_t MostKept = MaxPayloadBytes + 5;
    const auto dropped = [](char c) {
        return c != '\t' && IsControl(static_cast<unsigned char>(c));
    };
    auto from = payload.begin();
    while (from != payload.end() && kept.size() < MostKept) {
        const auto end = std::find_if(from, payload.end(), dropped);
        const auto run = std::min(static_cast<std::size_t>(end - from), MostKept - kept.size());
        kept.append(from, from + static_cast<std::ptrdiff_t>(run));
        from = end == payload.end() ? end : end + 1;
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
    spot::AppendPercentEscaped(body, valid);
    body += ' ';
    body += PayloadText(payload);
    return body;
}

std::optional<CapturedReport> ReadCaptureLine(std::string_view line) {
    const auto captured = spot::ReadCaptureLine(spot::WithoutLineEnd(line));
    if (!captured) {
        return std::nullopt;
    }
    return ReadCaptureBody(Seconds(std::chrono::seconds(captured->Time)), captured->Line);
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
    report.Topic = spot::PercentDecoded(topic);
    if (blank != std::string_view::npos) {
        report.Payload = std::string(body.substr(blank + 1));
    }
    return report;
}

} // namespace ionvane::feed
