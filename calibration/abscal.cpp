#include "abscal.h"

#include "calentry.h"
#include "ui_abscal.h"
#include "userprompts.h"

#include <QKeyEvent>
#include <QScreen>

#include <algorithm>

namespace {

const QSize kClientSize(228, 162);

} // namespace

TFrmAbsCal::TFrmAbsCal(IUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmAbsCal>()), m_prompts(prompts)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    ui->EdtAbsMV->installEventFilter(this);
    connect(ui->BtnOk, &QPushButton::clicked, this, &TFrmAbsCal::accept);
    connect(ui->BtnCancel, &QPushButton::clicked, this, &TFrmAbsCal::reject);
}

TFrmAbsCal::~TFrmAbsCal() = default;

void TFrmAbsCal::Prepare(TMode mode)
{
    const bool signal = mode == TMode::DirectZero || mode == TMode::DirectSpan;
    const bool weight = mode != TMode::DirectZero;
    using Parts = std::initializer_list<QWidget*>;
    for (QWidget* part : Parts{ui->lblAbsPrompt, ui->EdtAbsMV, ui->lblMVV})
        part->setVisible(signal);
    for (QWidget* part : Parts{ui->LblCalWeight, ui->EdtCalWeight, ui->lblCalWeightUnits})
        part->setVisible(weight);
    ui->EdtCalWeight->setEnabled(mode != TMode::DirectSpan);
    switch (mode) {
    case TMode::DirectZero:
        ui->lblAbsPrompt->setText(QStringLiteral("Enter Zero Signal"));
        break;
    case TMode::DirectSpan:
        ui->lblAbsPrompt->setText(QStringLiteral("Enter Span Signal"));
        break;
    case TMode::Span:
        setWindowTitle(QStringLiteral("Span Calibration"));
        ui->lblAbsPrompt->setText(QStringLiteral("Enter Span Weight"));
        break;
    case TMode::Linearisation:
        setWindowTitle(QStringLiteral("Linearisation"));
        ui->lblAbsPrompt->setText(QStringLiteral("Enter Test Weight"));
        ui->EdtCalWeight->clear();
        break;
    }
    (signal ? ui->EdtAbsMV : ui->EdtCalWeight)->setFocus();
    layout()->activate();
    setFixedSize(sizeHint().expandedTo(kClientSize));
}

void TFrmAbsCal::SetUnits(const QString& units)
{
    ui->lblCalWeightUnits->setText(units);
}

void TFrmAbsCal::SetSignal(int32_t value)
{
    ui->EdtAbsMV->setText(calentry::SignalText(value));
}

void TFrmAbsCal::SetWeight(const QString& text)
{
    ui->EdtCalWeight->setText(text);
}

int32_t TFrmAbsCal::Signal() const
{
    return calentry::SignalFromText(ui->EdtAbsMV->text());
}

int32_t TFrmAbsCal::Weight(int decimals) const
{
    return calentry::WeightFromText(ui->EdtCalWeight->text(), decimals);
}

// OK is a way out of the field as well: a clicked button takes no focus from it, so the
// range is checked here too and nothing out of range leaves the dialog.
void TFrmAbsCal::accept()
{
    if (SignalShown() && !EdtAbsMVExit())
        return;
    QDialog::accept();
}

bool TFrmAbsCal::SignalShown() const
{
    return !ui->EdtAbsMV->isHidden();
}

bool TFrmAbsCal::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ui->EdtAbsMV)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress)
        return FilterSignalKey(static_cast<const QKeyEvent&>(*event));
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<const QFocusEvent&>(*event).reason();
        // Only the user moving on leaves the field; another window coming up does not.
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::MouseFocusReason)
            QMetaObject::invokeMethod(this, &TFrmAbsCal::LeftSignal, Qt::QueuedConnection);
    }
    return false;
}

// True when the key is consumed.
bool TFrmAbsCal::FilterSignalKey(const QKeyEvent& key)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        NormaliseSignal();
        return true;
    }
    const QString text = key.text();
    const auto refused = [](QChar c) { return !calentry::IsSignalKey(c); };
    return std::any_of(text.begin(), text.end(), refused);
}

void TFrmAbsCal::NormaliseSignal()
{
    ui->EdtAbsMV->setText(calentry::NormaliseSignal(ui->EdtAbsMV->text()));
}

// After the focus has moved on, so that the error box does not come up in the middle of it.
void TFrmAbsCal::LeftSignal()
{
    if (isVisible())
        EdtAbsMVExit();
}

bool TFrmAbsCal::EdtAbsMVExit()
{
    NormaliseSignal();
    if (calentry::SignalInRange(ui->EdtAbsMV->text()))
        return true;
    m_prompts.ShowError(calentry::OutOfRangeMessage());
    ui->EdtAbsMV->setFocus();
    return false;
}

void TFrmAbsCal::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}
