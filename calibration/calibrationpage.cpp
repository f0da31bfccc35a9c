#include "calibrationpage.h"

#include "abscal.h"
#include "calentry.h"
#include "calreport.h"
#include "calwait.h"
#include "instrumentlink.h"
#include "mimicfeed.h"
#include "protocol.h"
#include "q910lcd.h"
#include "sessioncontroller.h"
#include "statuswait.h"
#include "ui_calibrationpage.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QApplication>
#include <QVBoxLayout>

#include <algorithm>

using namespace protocol;

namespace {

// The front panel's proportions, and the room kept above and below it.
constexpr int kPictureWidth = 1000;
constexpr int kPictureHeight = 491;
constexpr int kMimicGap = 8;

} // namespace

TCalibrationPage::TCalibrationPage(const QString& picture, const QString& programDir,
                                   TInstrumentLink& link, TSessionController& session,
                                   IUserPrompts& prompts, ErrorHandler onError, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TCalibrationPage>()), m_link(link),
      m_device(link.Device()), m_session(session), m_prompts(prompts)
{
    ui->setupUi(this);
    m_mimic = new TQ910LCD(picture, ui->PnlMimicCal);
    m_mimic->setObjectName(QStringLiteral("CalibrationMimic"));
    m_mimic->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_mimic->LCD.Directory = programDir;
    m_mimic->SetErrorHandler(std::move(onError));
    auto* layout = new QVBoxLayout(ui->PnlMimicCal);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_mimic);
    m_feed = std::make_unique<TMimicFeed>(*m_mimic, IActivity::Calibration, link.Engine());

    ui->LBxLCal->setCurrentRow(0);
    connect(ui->BtnZero, &QPushButton::clicked, this, &TCalibrationPage::BtnZeroClick);
    connect(ui->BTnSpan, &QPushButton::clicked, this, &TCalibrationPage::BTnSpanClick);
    connect(ui->BtnLSet, &QPushButton::clicked, this, &TCalibrationPage::BtnLSetClick);
    connect(ui->BtnLClear, &QPushButton::clicked, this, &TCalibrationPage::BtnLClearClick);
    connect(&session, &TSessionController::SessionStarting, this,
            [this] { SetLinearisationEnabled(true); });
    connect(&session, &TSessionController::CalibrationRead, this,
            &TCalibrationPage::ShowCalibration);
    connect(&link.Engine(), &TCommsEngine::ReplyAccepted, this,
            &TCalibrationPage::LinearisationReply);
}

TCalibrationPage::~TCalibrationPage() = default;

QRect TCalibrationPage::FitMimic(int tabWidth, int tabHeight, int controlsHeight, int gap)
{
    const int top = controlsHeight + gap;
    int height = std::max(0, tabHeight - top - gap);
    int width = height * kPictureWidth / kPictureHeight;
    if (width > tabWidth) {
        width = std::max(0, tabWidth);
        height = width * kPictureHeight / kPictureWidth;
    }
    return {(tabWidth - width) / 2, top, width, height};
}

void TCalibrationPage::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ui->PnlCal->setGeometry(0, 0, width(), ui->PnlCal->height());
    ui->PnlMimicCal->setGeometry(FitMimic(width(), height(), ui->PnlCal->height(), kMimicGap));
}

IActivity* TCalibrationPage::Activity()
{
    return m_feed.get();
}

void TCalibrationPage::LinkChanged(const TLinkState& state)
{
    m_feed->LinkChanged(state);
}

void TCalibrationPage::ShowCalibration()
{
    ui->LblZeroCal->setText(calentry::SignalText(m_device.ZeroSignal));
    ui->LblSpanCal->setText(calentry::SignalText(m_device.ReferenceSignal));
    ui->LBxLCal->clear();
    ui->LBxLCal->addItems(m_device.LinPointList());
    SetLinearisationEnabled(m_device.LinPointCount > 0);
}

void TCalibrationPage::SetLinearisationEnabled(bool enabled)
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{ui->BtnLSet, ui->BtnLClear, ui->LBxLCal})
        control->setEnabled(enabled);
}

// An instrument without linearisation refuses point 1 and its weight.
void TCalibrationPage::LinearisationReply(const Tcommsobj& reply, bool errorsReported)
{
    if (errorsReported && reply.ErrorBit &&
        (reply.Register == reg::LinPointFirst || reply.Register == reg::LinWeightFirst))
        SetLinearisationEnabled(false);
}

void TCalibrationPage::Operate(const std::function<TFlow()>& operation)
{
    if (m_running)
        return;
    m_running = true;
    m_before = Figures();
    m_succeeded = false;
    if (operation() == TFlow::Over)
        EndOperation();
}

calreport::TFigures TCalibrationPage::Figures() const
{
    return {m_device.ZeroSignal, m_device.ReferenceSignal, m_device.LinPoints};
}

QString TCalibrationPage::WeightShown(int32_t weight) const
{
    return calentry::WeightText(weight, m_device.WeightDecimals) + u' ' +
           m_device.WeightUnits.trimmed();
}

// Every operation ends here, whichever step it stopped at; one that succeeded says which
// figures it changed.
void TCalibrationPage::EndOperation()
{
    m_running = false;
    ShowCalibration();
    if (m_succeeded)
        m_prompts.Inform(calreport::Done(m_before, Figures(), m_device.WeightDecimals));
}

void TCalibrationPage::BtnZeroClick()
{
    Operate([this] { return ui->CBxDirectMVV->isChecked() ? DirectZeroClick() : ZeroClick(); });
}

void TCalibrationPage::BTnSpanClick()
{
    Operate([this] { return ui->CBxDirectMVV->isChecked() ? DirectSpanClick() : SpanClick(); });
}

TCalibrationPage::TFlow TCalibrationPage::ZeroClick()
{
    if (!m_prompts.Confirm(calreport::ConfirmZero()))
        return TFlow::Over;
    if (m_session.PromptPasscode(true) && Execute(reg::ZeroCalibration))
        return StatusWait();
    ClosingSteps();
    return TFlow::Over;
}

TCalibrationPage::TFlow TCalibrationPage::DirectZeroClick()
{
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::DirectZero);
    dialog->SetSignal(m_device.GetZeroSignal());
    if (dialog->exec() != QDialog::Accepted)
        return TFlow::Over;
    const int32_t signal = dialog->Signal();
    if (!m_prompts.Confirm(calreport::ConfirmDirectZero(signal)) || !m_session.PromptPasscode(true))
        return TFlow::Over;
    if (const TReply reply = Execute(reg::ZeroCalibration, calentry::ValueData(signal))) {
        // A value other than 0 is the instrument refusing the signal; the figures read back
        // show what it kept.
        m_succeeded = reply.Value() == 0;
        if (m_succeeded)
            m_device.SetZeroSignal(signal);
        ClosingSteps();
    }
    return TFlow::Over;
}

TCalibrationPage::TFlow TCalibrationPage::SpanClick()
{
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::Span);
    dialog->SetUnits(m_device.WeightUnits);
    if (const TReply span = m_link.SendCommand(TRequest::Read(reg::SpanWeight).Reporting())) {
        const auto weight = static_cast<int32_t>(span.Value());
        dialog->SetWeight(calentry::WeightText(weight, m_device.WeightDecimals));
        const bool accepted = dialog->exec() == QDialog::Accepted;
        const int32_t test = dialog->Weight(m_device.WeightDecimals);
        if (accepted && !m_prompts.Confirm(calreport::ConfirmSpan(WeightShown(test))))
            return TFlow::Over;
        if (accepted && m_session.PromptPasscode(true) && WriteWeight(test) &&
            Execute(reg::SpanCalibration))
            return StatusWait();
    }
    ClosingSteps();
    return TFlow::Over;
}

TCalibrationPage::TFlow TCalibrationPage::DirectSpanClick()
{
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::DirectSpan);
    dialog->SetUnits(m_device.WeightUnits);
    dialog->SetSignal(m_device.GetSpanSignal());
    dialog->SetWeight(calentry::WeightText(m_device.ReferenceWeight, m_device.WeightDecimals));
    if (dialog->exec() != QDialog::Accepted)
        return TFlow::Over;
    const int32_t signal = dialog->Signal();
    if (!m_prompts.Confirm(
            calreport::ConfirmDirectSpan(signal, WeightShown(m_device.ReferenceWeight))) ||
        !m_session.PromptPasscode(true))
        return TFlow::Over;
    const TReply reply = Execute(reg::SpanCalibration, calentry::ValueData(signal));
    m_succeeded = reply && reply.Value() == 0;
    if (m_succeeded)
        m_device.SetSpanSignal(signal);
    ClosingSteps();
    return TFlow::Over;
}

void TCalibrationPage::BtnLSetClick()
{
    const int point = SelectedPoint();
    if (point >= 0)
        Operate([this, point] { return SetPoint(point); });
}

TCalibrationPage::TFlow TCalibrationPage::SetPoint(int point)
{
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::Linearisation);
    dialog->SetUnits(m_device.WeightUnits);
    if (dialog->exec() != QDialog::Accepted)
        return TFlow::Over;
    const int32_t weight = dialog->Weight(m_device.WeightDecimals);
    if (!m_prompts.Confirm(calreport::ConfirmSetPoint(point + 1, WeightShown(weight))))
        return TFlow::Over;
    if (m_session.PromptPasscode(true) && WriteWeight(weight)) {
        if (Execute(reg::LinPointFirst + point))
            return StatusWait();
        ClosingSteps();
    }
    return TFlow::Over;
}

// A point is cleared by setting it at weight 0.
void TCalibrationPage::BtnLClearClick()
{
    const int point = SelectedPoint();
    if (m_link.IsOpen() && point >= 0)
        Operate([this, point] { return ClearPoint(point); });
}

TCalibrationPage::TFlow TCalibrationPage::ClearPoint(int point)
{
    if (!m_prompts.Confirm(calreport::ConfirmClearPoint(point + 1)))
        return TFlow::Over;
    if (m_session.PromptPasscode(true) && WriteWeight(0) && Execute(reg::LinPointFirst + point))
        return StatusWait();
    ClosingSteps();
    return TFlow::Over;
}

int TCalibrationPage::SelectedPoint() const
{
    const QListWidgetItem* item = ui->LBxLCal->currentItem();
    return item && item->isSelected() ? ui->LBxLCal->row(item) : -1;
}

std::unique_ptr<TFrmAbsCal> TCalibrationPage::NewDialog()
{
    auto dialog = std::make_unique<TFrmAbsCal>(m_prompts, this);
    dialog->setModal(true);
    return dialog;
}

TReply TCalibrationPage::Execute(int reg, const QString& data)
{
    return m_link.SendCommand(TRequest::Execute(reg, data).Reporting());
}

bool TCalibrationPage::WriteWeight(int32_t weight)
{
    return m_link
        .SendCommand(
            TRequest::Write(reg::CalibrationWeight, calentry::ValueData(weight)).Reporting())
        .Ok();
}

// The instrument calibrates by itself: the wait takes the link over, its window in front,
// until the instrument has finished, the user cancels or it stops answering. The operation
// ends when the wait does.
TCalibrationPage::TFlow TCalibrationPage::StatusWait()
{
    auto wait = std::make_unique<TStatusWait>([this]() -> std::optional<uint32_t> {
        const TReply status =
            m_link.SendCommand(TRequest::Read(reg::CalibrationStatus).Reporting());
        if (!status)
            return std::nullopt;
        return status.Value();
    });
    TStatusWait* running = wait.get();
    connect(running, &TStatusWait::Finished, this, [this, running](TStatusWait::TEnd end) {
        WaitEnded(static_cast<int>(end), running->LastStatus());
    });
    m_waitWindow = std::make_unique<TFrmCalWait>(*running, this);
    if (!m_link.StartJob(std::move(wait))) {
        m_waitWindow.reset();
        ClosingSteps();
        return TFlow::Over;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_waitWindow->show();
    return TFlow::Waiting;
}

void TCalibrationPage::WaitEnded(int end, uint32_t status)
{
    QApplication::restoreOverrideCursor();
    m_waitWindow.reset();
    const auto how = static_cast<TStatusWait::TEnd>(end);
    if (how == TStatusWait::TEnd::ResultCode)
        m_prompts.Warn(calentry::ResultMessage(status));
    m_succeeded = how == TStatusWait::TEnd::Finished;
    ClosingSteps();
    EndOperation();
}

// The instrument keeps what it calibrated only once stored; the figures read back are what it
// kept, whatever the operation achieved.
void TCalibrationPage::ClosingSteps()
{
    m_session.StoreSettings(true);
    TWaitCursor hourglass;
    m_device.ReadCalibration();
}
