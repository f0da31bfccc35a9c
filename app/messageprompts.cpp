#include "messageprompts.h"

#include "silenceprompt.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>

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

void TMessagePrompts::Warn(const QString& text)
{
    QMessageBox::warning(m_parent, m_title, ForDisplay(text));
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

int TMessagePrompts::Ask(const QString& text, const QStringList& buttons)
{
    QMessageBox box(QMessageBox::Question, m_title, ForDisplay(text), QMessageBox::NoButton,
                    m_parent);
    QList<QAbstractButton*> added;
    for (const QString& caption : buttons)
        added << box.addButton(caption,
                               added.isEmpty() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(added.first()));
        box.setEscapeButton(added.last());
    }
    box.exec();
    return static_cast<int>(added.indexOf(box.clickedButton()));
}

QString TMessagePrompts::AskOpenFileName(const QString& title, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent, title, QString(), filter);
}

QString TMessagePrompts::AskSaveFileName(const QString& title, const QString& filter)
{
    // The extension is the caller's to add, and overwriting is its question too.
    return QFileDialog::getSaveFileName(m_parent, title, QString(), filter);
}

bool TMessagePrompts::ChoosePrinter(QPrinter& printer)
{
    QPrintDialog dialog(&printer, m_parent);
    return dialog.exec() == QDialog::Accepted;
}

void TMessagePrompts::ShowPreview(QPrinter& printer, const std::function<void(QPrinter*)>& paint)
{
    QPrintPreviewDialog preview(&printer, m_parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, paint);
    preview.exec();
}
