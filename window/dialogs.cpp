#include "dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace ionvane::window {

void QtDialogs::ShowMessage(const QString &text, const QString &title, Icon icon) {
    QMessageBox box(icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::Information,
                    title, text, QMessageBox::Ok, Parent);
    box.exec();
}

QString QtDialogs::AskText(const QString &prompt, const QString &title) {
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(Parent, title, prompt, QLineEdit::Normal, QString(), &accepted);
    return accepted ? answer : QString();
}

} // namespace ionvane::window
