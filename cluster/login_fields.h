// The fields a session sends the node at login, checked alike by every front end: the call sign
// of the usual shape, and a password and commands that stay on one line.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace ionvane::cluster {

/// A call sign is at most a dozen characters with prefix and suffix ("EA8/DK7UK/P"); 20 leaves room
/// for node-specific suffixes ("DK7UK-12").
constexpr qsizetype MaxCallChars = 20;

enum class LoginField { Call, Password, Commands };

/// What is wrong with one field; each front end names the field its own way ("--call", "Call")
/// before the same words.
struct LoginProblem {
    LoginField Field = LoginField::Call;
    const char *Words = ""; ///< "takes a call sign (letters, digits, / and -)"
};

/// The first field that cannot be sent, or none. `call` is checked as given (trimmed, not empty);
/// a line end or NUL inside the password or a command would send a line of its own.
std::optional<LoginProblem> CheckLoginFields(const QString &call, const QString &password,
                                             const QStringList &commands);

} // namespace ionvane::cluster
