#include "chartsetup.h"

#include "fixedtext.h"
#include "tools.h"
#include "ui_chartsetup.h"
#include "userprompts.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

using namespace chartsetuprules;

TFrmChartSetup::TFrmChartSetup(IUserPrompts& prompts, int decimals, const QString& units,
                               ExtentSource weight, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmChartSetup>()), m_prompts(prompts),
      m_decimals(decimals), m_weight(std::move(weight))
{
    ui->setupUi(this);
    ui->LblMinUnits->setText(units);
    ui->LblMaxUnits->setText(units);
    for (QLineEdit* edit : NumberEdits())
        edit->installEventFilter(this);
    connect(ui->BtnAuto, &QPushButton::clicked, this, &TFrmChartSetup::BtnAutoClick);
    connect(ui->BtnOk, &QPushButton::clicked, this, &TFrmChartSetup::BtnOkClick);
}

TFrmChartSetup::~TFrmChartSetup() = default;

std::array<QLineEdit*, 4> TFrmChartSetup::NumberEdits() const
{
    return {ui->EdtTstart, ui->EdtTend, ui->Edtminwgt, ui->EdtMaxWgt};
}

int TFrmChartSetup::DecimalsOf(const QLineEdit* edit) const
{
    return edit == ui->EdtTstart || edit == ui->EdtTend ? 0 : m_decimals;
}

TFieldLimits TFrmChartSetup::LimitsOf(const QLineEdit* edit) const
{
    return edit == ui->EdtTstart || edit == ui->EdtTend ? TimeLimits : WeightLimits;
}

void TFrmChartSetup::Fill(const TAxisRange& time, const TAxisRange& weight, const QString& comment)
{
    ui->EdtTstart->setText(fixedtext::FixedText(time.min, 0));
    ui->EdtTend->setText(fixedtext::FixedText(time.max, 0));
    ui->Edtminwgt->setText(fixedtext::FixedText(weight.min, m_decimals));
    ui->EdtMaxWgt->setText(fixedtext::FixedText(weight.max, m_decimals));
    // A comment read from a file may be longer than one typed here: it stays whole, not cut
    // at the field's length when the dialog is only opened to set the ranges.
    ui->EdtComment->setMaxLength(std::max(ui->EdtComment->maxLength(), int(comment.size())));
    ui->EdtComment->setText(comment);
}

TChartSetupResult TFrmChartSetup::Result() const
{
    using tools::FixedToFloat;
    return {{FixedToFloat(ui->EdtTstart->text()), FixedToFloat(ui->EdtTend->text())},
            {FixedToFloat(ui->Edtminwgt->text()), FixedToFloat(ui->EdtMaxWgt->text())},
            ui->EdtComment->text()};
}

bool TFrmChartSetup::eventFilter(QObject* watched, QEvent* event)
{
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::KeyPress)
        return KeyPressed(edit, *static_cast<QKeyEvent*>(event));
    if (edit && event->type() == QEvent::FocusOut)
        EditLeft(edit, static_cast<QFocusEvent*>(event)->reason());
    return QDialog::eventFilter(watched, event);
}

// True when the key is used up here: Enter, and printable characters a number has no use for.
bool TFrmChartSetup::KeyPressed(QLineEdit* edit, const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        Normalise(edit);
        return true;
    }
    const QString text = key.text();
    return !text.isEmpty() && !AcceptsKey(text.front());
}

void TFrmChartSetup::EditLeft(QLineEdit* edit, Qt::FocusReason reason)
{
    // Another window taking the focus (our own message box among them) is no leaving.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    // Ok checks every field itself, and Cancel needs none of them.
    const QWidget* next = QApplication::focusWidget();
    if (next == ui->BtnOk || next == ui->BtnCancel) {
        Normalise(edit);
        return;
    }
    if (!CheckEdit(edit))
        QMetaObject::invokeMethod(
            this, [edit] { edit->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
}

void TFrmChartSetup::Normalise(QLineEdit* edit)
{
    edit->setText(CheckField(edit->text(), DecimalsOf(edit), LimitsOf(edit)).text);
}

bool TFrmChartSetup::CheckEdit(QLineEdit* edit)
{
    const TFieldCheck check = CheckField(edit->text(), DecimalsOf(edit), LimitsOf(edit));
    edit->setText(check.text);
    if (check.message.isEmpty())
        return true;
    m_prompts.ShowError(check.message);
    return false;
}

void TFrmChartSetup::BtnAutoClick()
{
    const TAutoFields fields = AutoFields(m_weight ? m_weight() : std::nullopt, m_decimals);
    ui->EdtTstart->setText(fields.start);
    ui->EdtTend->setText(fields.end);
    ui->Edtminwgt->setText(fields.min);
    ui->EdtMaxWgt->setText(fields.max);
}

void TFrmChartSetup::BtnOkClick()
{
    for (QLineEdit* edit : NumberEdits()) {
        if (!CheckEdit(edit)) {
            edit->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    accept();
}
