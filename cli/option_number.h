// Numbers given to options: always with "." as decimal point, whatever the user's locale.
#pragma once

#include <QString>

#include <optional>

namespace ionvane::cli {

/// The number `text` writes ("110", " 2.5 "), or nothing for text that is no finite number.
std::optional<double> OptionNumber(const QString &text);

} // namespace ionvane::cli
