#include "node_text.h"

#include "calc/ascii.h"

#include <array>
#include <string>

namespace ionvane::cluster {

namespace {

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view TrimStart(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

bool EndsWith(std::string_view upper, std::string_view suffix) {
    return upper.size() >= suffix.size() && upper.substr(upper.size() - suffix.size()) == suffix;
}

bool Contains(std::string_view upper, std::string_view part) {
    return upper.find(part) != std::string_view::npos;
}

// Longest text looked at for a prompt or a refusal; a prompt is a few words, a refusal one line.
constexpr std::size_t LongestNoticeBytes = 200;

std::string UpperNotice(std::string_view text) {
    return calc::UpperCaseAscii(text.substr(0, LongestNoticeBytes));
}

} // namespace

Prompt PromptIn(std::string_view text) {
    text = TrimEnd(text);
    if (text.size() > LongestNoticeBytes) {
        return Prompt::None;
    }
    const std::string upper = calc::UpperCaseAscii(text);
    if (EndsWith(upper, "PASSWORD:")) {
        return Prompt::Password;
    }
    static constexpr std::array<std::string_view, 3> CallPrompts = {"LOGIN:", "CALL:", "CALLSIGN:"};
    for (const auto prompt : CallPrompts) {
        if (EndsWith(upper, prompt)) {
            return Prompt::Call;
        }
    }
    return Prompt::None;
}

bool SaysInvalidCall(std::string_view line) {
    const std::string upper = UpperNotice(line);
    return Contains(upper, "INVALID CALL");
}

bool SaysBadPassword(std::string_view line) {
    const std::string upper = UpperNotice(line);
    static constexpr std::array<std::string_view, 7> Words = {
        "INCORRECT", "WRONG", "INVALID", "BAD PASSWORD", "DENIED", "FAILED", "SORRY"};
    for (const auto word : Words) {
        if (Contains(upper, word)) {
            return true;
        }
    }
    return false;
}

bool SaysBumped(std::string_view line) {
    const std::string upper = UpperNotice(TrimStart(line));
    return upper.starts_with("RECONNECTED AS") && Contains(upper, "DISCONNECTED");
}

bool SaysAnotherPort(std::string_view line) {
    const std::string upper = UpperNotice(TrimStart(line));
    return upper.starts_with("SORRY") && Contains(upper, "CONNECTED TO ME ON ANOTHER PORT");
}

bool IsCommandPrompt(std::string_view text) {
    text = TrimEnd(text);
    return !text.empty() && text.back() == '>' && text.size() <= LongestNoticeBytes;
}

} // namespace ionvane::cluster
