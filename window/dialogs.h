// The window's modal dialogs behind a small interface, so that tests can answer for the user.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace ionvane::window {

class Dialogs {
  public:
    enum class Icon { Critical, Information };

    virtual ~Dialogs() = default;
    /// Every dialog from now on opens over `window`, centred on it and modal to it.
    virtual void OpenOver(QWidget *window) = 0;
    /// A message box with one OK button; returns when the user has closed it.
    virtual void ShowMessage(const QString &text, const QString &title, Icon icon) = 0;
    /// An input box with a prompt and a title and no default text; the typed text, or an empty
    /// text on Cancel.
    virtual QString AskText(const QString &prompt, const QString &title) = 0;
};

/// The dialogs of the desktop: QMessageBox and QInputDialog over the window that uses them.
class QtDialogs : public Dialogs {
  public:
    void OpenOver(QWidget *window) override { Parent = window; }
    void ShowMessage(const QString &text, const QString &title, Icon icon) override;
    QString AskText(const QString &prompt, const QString &title) override;

  private:
    QPointer<QWidget> Parent;
};

} // namespace ionvane::window
