#include "locale_format.h"

namespace ionvane::window {

calc::NumberFormat NumberFormatOf(const QLocale &locale) {
    calc::NumberFormat format;
    format.DecimalSeparator = locale.decimalPoint().toStdString();
    format.GroupSeparator = locale.groupSeparator().toStdString();
    return format;
}

} // namespace ionvane::window
