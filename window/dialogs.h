// The window's modal dialogs behind a small interface, so that tests can answer for the user.
#pragma once

#include <QString>

class QWidget;

namespace ionvane::window {

class Dialogs {
  public:
    enum class Icon { Critical, Information };

    virtual ~Dialogs() = default;
    /// A message box with one OK button; returns when the user has closed it.
    virtual void ShowMessage(const QString &text, const QString &title, Icon icon) = 0;
    /// An input box with a prompt and a title and no default text; the typed text, or an empty
    /// text on Cancel.
    virtual QString AskText(const QString &prompt, const QString &title) = 0;
};

/// The dialogs of the desktop: QMessageBox and QInputDialog over `parent`.
class QtDialogs : public Dialogs {
  public:
    explicit QtDialogs(QWidget *parent) : Parent(parent) {}
    void ShowMessage(const QString &text, const QString &title, Icon icon) override;
    QString AskText(const QString &prompt, const QString &title) override;

  private:
    QWidget *Parent;
};

} // namespace ionvane::window
