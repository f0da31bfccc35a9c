#pragma once

#include "printprompts.h"
#include "userprompts.h"

#include <QString>

#include <memory>

class QWidget;
class TFrmSilencePrompt;

// The program's questions as message boxes and the system's file and print dialogs over a
// parent window, captioned with the viewer name; the optical-link prompt is the picture
// dialog.
class TMessagePrompts : public IUserPrompts, public IPrintPrompts
{
public:
    TMessagePrompts(QWidget* parent, const QString& title);
    ~TMessagePrompts() override;

    void Inform(const QString& text) override;
    void Warn(const QString& text) override;
    void ShowError(const QString& text) override;
    bool Confirm(const QString& text) override;
    void ShowOpticalPrompt() override;
    int Ask(const QString& text, const QStringList& buttons) override;
    QString AskOpenFileName(const QString& title, const QString& filter) override;
    QString AskSaveFileName(const QString& title, const QString& filter) override;

    bool ChoosePrinter(QPrinter& printer) override;
    void ShowPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint) override;

private:
    QWidget* m_parent;
    QString m_title;
    std::unique_ptr<TFrmSilencePrompt> m_silencePrompt;
};
