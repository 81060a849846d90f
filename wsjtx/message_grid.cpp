#include "message_grid.h"

#include "calc/locator.h"

#include <vector>

namespace ionvane::wsjtx {

namespace {

// "RR73" has the form of a grid (field RR, square 73) but closes a contact; the protocol reserves
// it, so no station is ever located there.
constexpr std::string_view RogerSeventyThree = "RR73";

// Calls run from 3 characters (K1A) to 11 (a prefix, a call and a suffix, VP2E/K1ABC/P stays under
// the 11 of WSJT-X's longest standard call with portable suffix).
constexpr std::size_t MinCallChars = 3;
constexpr std::size_t MaxCallChars = 11;

// A direction word after CQ: "DX", "NA", "TEST", "POTA" (one to four letters) or a frequency of
// three digits ("CQ 290").
constexpr std::size_t MaxDirectionLetters = 4;
constexpr std::size_t DirectionDigits = 3;

bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', at);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        at = end;
    }
    return words;
}

// The marker WSJT-X may append to a decode found with a-priori information: "a1" to "a7".
bool IsApMarker(std::string_view word) {
    return word.size() == 2 && word[0] == 'a' && IsDigit(word[1]);
}

bool IsGrid(std::string_view word) {
    if (word.size() != 4 || word == RogerSeventyThree) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (!calc::IsLocatorCharacter(static_cast<unsigned char>(word[i]),
                                      static_cast<int>(i + 1))) {
            return false;
        }
    }
    return true;
}

bool IsDirection(std::string_view word) {
    bool letters = !word.empty() && word.size() <= MaxDirectionLetters;
    bool digits = word.size() == DirectionDigits;
    for (const char c : word) {
        letters = letters && IsUpper(c);
        digits = digits && IsDigit(c);
    }
    return letters || digits;
}

// A call as the message gives it, brackets of a hashed call taken off; nothing when it is no call
// ("<...>" of a hash not resolved, a report).
std::optional<std::string> Call(std::string_view word) {
    if (word.size() >= 2 && word.front() == '<' && word.back() == '>') {
        word = word.substr(1, word.size() - 2);
    }
    if (word.size() < MinCallChars || word.size() > MaxCallChars) {
        return std::nullopt;
    }
    bool letter = false;
    bool digit = false;
    for (const char c : word) {
        letter = letter || IsUpper(c);
        digit = digit || IsDigit(c);
        if (!IsUpper(c) && !IsDigit(c) && c != '/') {
            return std::nullopt;
        }
    }
    if (!letter || !digit) {
        return std::nullopt;
    }
    return std::string(word);
}

} // namespace

std::optional<SentGrid> GridOfMessage(std::string_view message) {
    std::vector<std::string_view> words = Words(message);
    if (!words.empty() && IsApMarker(words.back())) {
        words.pop_back();
    }
    if (words.size() < 3 || words.size() > 4 || !IsGrid(words.back())) {
        return std::nullopt;
    }
    std::string_view sender;
    if (words[0] == "CQ") {
        if (words.size() == 4 && !IsDirection(words[1])) {
            return std::nullopt;
        }
        sender = words[words.size() - 2];
    } else if ((words[0] == "QRZ" || words[0] == "DE") && words.size() == 3) {
        sender = words[1];
    } else {
        // The first word is the station called: a call, or a hashed call whose call is not known
        // here ("<...>"). Free text ("HI K1ABC FN42") starts otherwise.
        if ((words.size() == 4 && words[2] != "R") ||
            (!Call(words[0]) && words[0].front() != '<')) {
            return std::nullopt;
        }
        sender = words[1];
    }
    const auto call = Call(sender);
    if (!call) {
        return std::nullopt;
    }
    return SentGrid{*call, std::string(words.back())};
}

} // namespace ionvane::wsjtx
