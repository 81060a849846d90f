// Type sizes and emphasis shared by the live window's parts.
#pragma once

#include <QFont>
#include <QWidget>

namespace ionvane::livewindow {

/// The alarm banner's type: the largest on the window, read across the room (points).
constexpr double AlarmPointSize = 17;
/// The connection states: a little larger than the controls around them (points).
constexpr double StatePointSize = 11;

/// `widget`'s own type at `pointSize`, bold.
inline void SetBold(QWidget *widget, double pointSize) {
    QFont font = widget->font();
    font.setPointSizeF(pointSize);
    font.setBold(true);
    widget->setFont(font);
}

} // namespace ionvane::livewindow
