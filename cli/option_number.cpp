#include "option_number.h"

#include <QLocale>

#include <cmath>

namespace ionvane::cli {

std::optional<double> OptionNumber(const QString &text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace ionvane::cli
