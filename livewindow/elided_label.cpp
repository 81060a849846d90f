#include "elided_label.h"

#include <QPainter>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>

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

ElidedButton::ElidedButton(QWidget *parent) : QPushButton(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidedButton::SetHint(const QString &hint) {
    Hint = hint;
    setToolTip(hint);
}

void ElidedButton::paintEvent(QPaintEvent * /*event*/) {
    QStyleOptionButton option;
    initStyleOption(&option);
    const int width = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).width();
    QStringList lines = text().split('\n');
    bool cut = false;
    for (QString &line : lines) {
        const QString shown = fontMetrics().elidedText(line, Qt::ElideRight, width);
        cut = cut || shown != line;
        line = shown;
    }
    option.text = lines.join('\n');
    setToolTip(cut ? text() + "\n\n" + Hint : Hint);
    QPainter painter(this);
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
}

} // namespace ionvane::livewindow
