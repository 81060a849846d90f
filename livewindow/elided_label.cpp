#include "elided_label.h"

#include <QPainter>
#include <QStyle>

namespace ionvane::livewindow {

ElidedLabel::ElidedLabel(const QString &text, QWidget *parent) : QLabel(text, parent) {
    // Ignored: the layout gives the label the width it has and neither its text's width nor a
    // minimum.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedLabel::SetFixedTip(const QString &tip) {
    FixedTip = tip;
    setToolTip(tip);
}

void ElidedLabel::paintEvent(QPaintEvent * /*event*/) {
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    // The tip follows the text as it is painted: QLabel::setText cannot be followed otherwise.
    if (FixedTip.isEmpty()) {
        setToolTip(shown == text() ? QString() : text());
    }
    QPainter painter(this);
    style()->drawItemText(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()),
                          palette(), isEnabled(), shown, foregroundRole());
}

} // namespace ionvane::livewindow
