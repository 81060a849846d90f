// What the node's words mean to the login: its prompts and its three refusals. Case is ignored
// throughout; nodes write "login:", "Login:" and "LOGIN:".
#pragma once

#include <string_view>

namespace ionvane::cluster {

enum class Prompt {
    None,
    Call,     ///< "login: ", "Please enter your call: ", "call: ", "callsign: "
    Password, ///< "password: "
};

/// The prompt that `text` (a cleaned line or the unterminated tail) ends with, blanks after the
/// colon allowed.
Prompt PromptIn(std::string_view text);

enum class Refusal {
    None,
    InvalidCall, ///< "Sorry N0CALL is an invalid callsign"
    BadPassword, ///< "Sorry, wrong password", "Password incorrect", "Login incorrect" ...
    Bumped,      ///< "Reconnected as DK7UK at 10.0.0.2, this instance is disconnected"
    AnotherPort, ///< "Sorry DL2XYZ you are connected to me on another port"
    NodeCall,    ///< the login was answered with node protocol lines ("PC18^...")
    LockedOut,   ///< closed right after the call, before any greeting, twice in a row
};

/// Whether a cleaned line refuses the login with an invalid call (only said before the login).
bool SaysInvalidCall(std::string_view line);

/// Whether a cleaned line, read right after the password was sent, refuses it.
bool SaysBadPassword(std::string_view line);

/// Whether a cleaned line says that the same call logged in elsewhere and this session is cut. Only
/// a line that starts with the notice counts: talk and announcements may quote it.
bool SaysBumped(std::string_view line);

/// Whether a cleaned line says that the call is logged in already and this login is not taken:
/// "Sorry DL2XYZ you are connected to me on another port" (a second login kept out, a node's call,
/// the node's own call).
bool SaysAnotherPort(std::string_view line);

/// Whether the tail or a line is the node's command prompt ("DK7UK de DB0XYZ 14-Jun-2026 1158Z
/// dxspider >", "DB0XYZ>"): the node waits for commands, so the login is done.
bool IsCommandPrompt(std::string_view text);

} // namespace ionvane::cluster
