#include "printformat.h"

#include "instrumentlink.h"
#include "printformatlink.h"
#include "sessioncontroller.h"
#include "userprompts.h"

#include "ui_printformat.h"

#include <QRegularExpressionValidator>

TFrmPrintFormat::TFrmPrintFormat(IUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmPrintFormat>()), m_prompts(prompts)
{
    ui->setupUi(this);
    // A format is bytes: characters beyond 8 bits have no place in it.
    const QRegularExpression bytesOnly(QStringLiteral("[\\x{01}-\\x{FF}]*"));
    for (QLineEdit* edit : {ui->EdtPrintEvt, ui->EdtPrintLongEvt}) {
        edit->setValidator(new QRegularExpressionValidator(bytesOnly, edit));
        connect(edit, &QLineEdit::textChanged, this, &TFrmPrintFormat::UpdateInfo);
    }
    UpdateInfo();
}

TFrmPrintFormat::~TFrmPrintFormat() = default;

void TFrmPrintFormat::SetFormats(const printformat::TPrintFormats& formats)
{
    m_shortLimit = formats.shortLimit;
    m_longLimit = formats.longLimit;
    ui->EdtPrintEvt->setText(formats.shortText);
    ui->EdtPrintLongEvt->setText(formats.longText);
    UpdateInfo();
}

printformat::TPrintFormats TFrmPrintFormat::Formats() const
{
    return {ui->EdtPrintEvt->text(), ui->EdtPrintLongEvt->text(), m_shortLimit, m_longLimit};
}

void TFrmPrintFormat::CustomPrintFormat1Click(TInstrumentLink& link, TSessionController& session,
                                              IUserPrompts& prompts, QWidget* parent)
{
    if (!link.IsOpen())
        return;
    TFrmPrintFormat dialog(prompts, parent);
    dialog.SetFormats(printformat::Read(link));
    if (dialog.exec() != QDialog::Accepted || !session.PromptPasscode(true))
        return;
    printformat::Write(link, dialog.Formats());
    session.StoreSettings(false);
}

void TFrmPrintFormat::done(int result)
{
    const QStringList tooLong = printformat::LengthMessages(Formats());
    for (const QString& message : tooLong)
        m_prompts.Inform(message);
    if (tooLong.isEmpty())
        QDialog::done(result);
}

void TFrmPrintFormat::UpdateInfo()
{
    ShowInfo(ui->EdtPrintEvt, m_shortLimit, ui->LblPrintEvtBytes, ui->EdtPrintEvtTicket);
    ShowInfo(ui->EdtPrintLongEvt, m_longLimit, ui->LblPrintLongEvtBytes, ui->EdtPrintLongEvtTicket);
}

void TFrmPrintFormat::ShowInfo(const QLineEdit* edit, int limit, QLabel* bytes, QLineEdit* ticket)
{
    const QString text = edit->text();
    const bool fits = printformat::Fits(text, limit);
    bytes->setText(QStringLiteral("%1 of %2 bytes%3")
                       .arg(printformat::ByteCount(text))
                       .arg(limit)
                       .arg(fits ? QString() : QStringLiteral(", too long")));
    ticket->setText(printformat::Preview(text));
    ticket->setCursorPosition(0); // the start of the ticket, where it is read from
}
