#pragma once

#include "userprompts.h"

#include <QString>

#include <memory>

class QWidget;
class TFrmSilencePrompt;

// The program's questions as message boxes over a parent window, captioned with the viewer
// name; the optical-link prompt is the picture dialog.
class TMessagePrompts : public IUserPrompts
{
public:
    TMessagePrompts(QWidget* parent, const QString& title);
    ~TMessagePrompts() override;

    void Inform(const QString& text) override;
    void ShowError(const QString& text) override;
    bool Confirm(const QString& text) override;
    void ShowOpticalPrompt() override;

private:
    QWidget* m_parent;
    QString m_title;
    std::unique_ptr<TFrmSilencePrompt> m_silencePrompt;
};
