#include "login_fields.h"

#include <algorithm>

namespace ionvane::cluster {

namespace {

bool OnOneLine(const QString &text) {
    return !text.contains('\r') && !text.contains('\n') && !text.contains(QChar(0));
}

bool CallShaped(const QString &call) {
    return !call.isEmpty() && call.size() <= MaxCallChars &&
           std::all_of(call.begin(), call.end(), [](QChar c) {
               return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                      c == '/' || c == '-';
           });
}

} // namespace

std::optional<LoginProblem> CheckLoginFields(const QString &call, const QString &password,
                                             const QStringList &commands) {
    if (!CallShaped(call)) {
        return LoginProblem{LoginField::Call, "takes a call sign (letters, digits, / and -)"};
    }
    if (!OnOneLine(password)) {
        return LoginProblem{LoginField::Password, "takes text on one line"};
    }
    if (!std::all_of(commands.begin(), commands.end(), OnOneLine)) {
        return LoginProblem{LoginField::Commands, "takes text on one line"};
    }
    return std::nullopt;
}

} // namespace ionvane::cluster
