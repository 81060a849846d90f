// A one-line label that shows as much of its text as fits, with "…" where it is cut and the whole
// text in its tool tip, and never asks the window for more width: a long connection state (a
// node's refusal quoted in full) would otherwise widen the window past the screen.
#pragma once

#include <QLabel>

namespace ionvane::livewindow {

class ElidedLabel : public QLabel {
  public:
    explicit ElidedLabel(const QString &text, QWidget *parent = nullptr);

  protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace ionvane::livewindow
