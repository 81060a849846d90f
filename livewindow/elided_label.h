// A one-line label that shows as much of its text as fits, with "…" where it is cut and the whole
// text in its tool tip, and never asks the window for more width: a long connection state (a
// node's refusal quoted in full) would otherwise widen the window past the screen.
#pragma once

#include <QLabel>

namespace ionvane::livewindow {

class ElidedLabel : public QLabel {
  public:
    explicit ElidedLabel(const QString &text, QWidget *parent = nullptr);
    /// A tip shown whether or not the text is cut (the whole list a short line stands for); an
    /// empty one gives back the cut text's own tip.
    void SetFixedTip(const QString &tip);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString FixedTip;
};

} // namespace ionvane::livewindow
