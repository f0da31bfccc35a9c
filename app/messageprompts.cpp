#include "messageprompts.h"

#include "silenceprompt.h"

#include <QMessageBox>

namespace {

// Message texts keep the CR LF line breaks of the instrument's world; Qt wants LF.
QString ForDisplay(const QString& text)
{
    QString shown = text;
    return shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

TMessagePrompts::TMessagePrompts(QWidget* parent, const QString& title)
    : m_parent(parent), m_title(title)
{
}

TMessagePrompts::~TMessagePrompts() = default;

void TMessagePrompts::Inform(const QString& text)
{
    QMessageBox::information(m_parent, m_title, ForDisplay(text));
}

void TMessagePrompts::ShowError(const QString& text)
{
    QMessageBox::critical(m_parent, m_title, ForDisplay(text));
}

bool TMessagePrompts::Confirm(const QString& text)
{
    return QMessageBox::question(m_parent, m_title, ForDisplay(text),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void TMessagePrompts::ShowOpticalPrompt()
{
    if (!m_silencePrompt)
        m_silencePrompt = std::make_unique<TFrmSilencePrompt>(m_parent);
    m_silencePrompt->exec();
}
