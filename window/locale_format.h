// The regional number format of a Qt locale, as the calculation core takes it.
#pragma once

#include "calc/number_text.h"

#include <QLocale>

namespace ionvane::window {

/// Decimal and group separators of `locale`; the common default count of decimals, grouping in
/// threes.
calc::NumberFormat NumberFormatOf(const QLocale &locale);

} // namespace ionvane::window
