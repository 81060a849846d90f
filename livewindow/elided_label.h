// A one-line label that shows as much of its text as fits, with "…" where it is cut and the whole
// text in its tool tip, and never asks the window for more width: a long connection state (a
// node's refusal quoted in full) would otherwise widen the window past the screen.
#pragma once

#include <QLabel>
#include <QPushButton>

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

/// A push button whose lines show as much of their text as fits, each cut with "…", the whole text
/// in its tool tip above its hint, and that never asks the window for more width: a band's
/// headline in the alarm's full words would otherwise widen the window past a laptop's screen.
class ElidedButton : public QPushButton {
  public:
    explicit ElidedButton(QWidget *parent = nullptr);
    /// The tip shown under the text when the text is cut, and alone when it is not.
    void SetHint(const QString &hint);

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString Hint;
};

} // namespace ionvane::livewindow
