#include "sessiondialogs.h"

#include "passcode.h"
#include "readsettings.h"

#include <QCursor>
#include <QGuiApplication>

std::optional<bool> TSessionDialogs::AskSetupLevel()
{
    TFrmReadSettings dialog(m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.SelectedIndex() > 0;
}

std::optional<QString> TSessionDialogs::AskPasscode(const TPasscodeQuestion& question)
{
    TFrmPasscode dialog(question, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Passcode();
}

void TSessionDialogs::ShowBusy(bool busy)
{
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}
