#include "calibrationpage.h"

#include "abscal.h"
#include "calentry.h"
#include "calwait.h"
#include "commsengine.h"
#include "device.h"
#include "mimicfeed.h"
#include "protocol.h"
#include "q910lcd.h"
#include "sessioncontroller.h"
#include "statuswait.h"
#include "ui_calibrationpage.h"
#include "userprompts.h"
#include "waitcursor.h"

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
                                   TCommsEngine& engine, TDevice& device,
                                   TSessionController& session, IMainControls& controls,
                                   IUserPrompts& prompts, ErrorHandler onError, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TCalibrationPage>()), m_engine(engine),
      m_device(device), m_session(session), m_controls(controls), m_prompts(prompts)
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
    m_feed = std::make_unique<TMimicFeed>(*m_mimic, IActivity::Calibration, engine);

    ui->LBxLCal->setCurrentRow(0);
    connect(ui->BtnZero, &QPushButton::clicked, this, &TCalibrationPage::BtnZeroClick);
    connect(ui->BTnSpan, &QPushButton::clicked, this, &TCalibrationPage::BTnSpanClick);
    connect(ui->BtnLSet, &QPushButton::clicked, this, &TCalibrationPage::BtnLSetClick);
    connect(ui->BtnLClear, &QPushButton::clicked, this, &TCalibrationPage::BtnLClearClick);
    connect(&session, &TSessionController::SessionStarting, this,
            [this] { SetLinearisationEnabled(true); });
    connect(&session, &TSessionController::CalibrationRead, this,
            &TCalibrationPage::ShowCalibration);
    connect(&engine, &TCommsEngine::ReplyAccepted, this, &TCalibrationPage::LinearisationReply);
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

bool TCalibrationPage::BeginOperation()
{
    if (m_running)
        return false;
    m_running = true;
    return true;
}

// Every operation ends here, whichever step it stopped at.
void TCalibrationPage::EndOperation()
{
    if (m_locked)
        m_controls.UnlockMainControls();
    m_locked = false;
    m_running = false;
    ShowCalibration();
}

void TCalibrationPage::BtnZeroClick()
{
    if (!BeginOperation())
        return;
    if (ui->CBxDirectMVV->isChecked())
        DirectZeroClick();
    else
        ZeroClick();
    EndOperation();
}

void TCalibrationPage::BTnSpanClick()
{
    if (!BeginOperation())
        return;
    if (ui->CBxDirectMVV->isChecked())
        DirectSpanClick();
    else
        SpanClick();
    EndOperation();
}

void TCalibrationPage::ZeroClick()
{
    if (m_session.PromptPasscode(true) && Execute(reg::ZeroCalibration))
        StatusWait();
    ClosingSteps();
}

void TCalibrationPage::DirectZeroClick()
{
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::DirectZero);
    dialog->SetSignal(m_device.GetZeroSignal());
    if (dialog->exec() != QDialog::Accepted)
        return;
    const int32_t signal = dialog->Signal();
    if (m_session.PromptPasscode(true) &&
        Execute(reg::ZeroCalibration, calentry::ValueData(signal))) {
        // A value other than 0 is the instrument refusing the signal; the figures read back
        // show what it kept.
        if (m_engine.ReplyRecord().Value == 0)
            m_device.SetZeroSignal(signal);
        ClosingSteps();
    }
}

void TCalibrationPage::SpanClick()
{
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::Span);
    dialog->SetUnits(m_device.WeightUnits);
    if (m_engine.SendCommand(cmd::ReadValue, reg::SpanWeight, true, true)) {
        const auto weight = static_cast<int32_t>(m_engine.ReplyRecord().Value);
        dialog->SetWeight(calentry::WeightText(weight, m_device.WeightDecimals));
        if (dialog->exec() == QDialog::Accepted && m_session.PromptPasscode(true) &&
            WriteWeight(dialog->Weight(m_device.WeightDecimals)) && Execute(reg::SpanCalibration))
            StatusWait();
    }
    ClosingSteps();
}

void TCalibrationPage::DirectSpanClick()
{
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::DirectSpan);
    dialog->SetUnits(m_device.WeightUnits);
    dialog->SetSignal(m_device.GetSpanSignal());
    dialog->SetWeight(calentry::WeightText(m_device.ReferenceWeight, m_device.WeightDecimals));
    if (dialog->exec() != QDialog::Accepted || !m_session.PromptPasscode(true))
        return;
    const int32_t signal = dialog->Signal();
    if (Execute(reg::SpanCalibration, calentry::ValueData(signal)) &&
        m_engine.ReplyRecord().Value == 0)
        m_device.SetSpanSignal(signal);
    ClosingSteps();
}

void TCalibrationPage::BtnLSetClick()
{
    const int point = SelectedPoint();
    if (point < 0 || !BeginOperation())
        return;
    const std::unique_ptr<TFrmAbsCal> dialog = NewDialog();
    dialog->Prepare(TFrmAbsCal::TMode::Linearisation);
    dialog->SetUnits(m_device.WeightUnits);
    if (dialog->exec() == QDialog::Accepted && m_session.PromptPasscode(true) &&
        WriteWeight(dialog->Weight(m_device.WeightDecimals))) {
        if (Execute(reg::LinPointFirst + point))
            StatusWait();
        ClosingSteps();
    }
    EndOperation();
}

// A point is cleared by setting it at weight 0.
void TCalibrationPage::BtnLClearClick()
{
    const int point = SelectedPoint();
    if (!m_engine.IsOpen() || point < 0 || !BeginOperation())
        return;
    if (m_session.PromptPasscode(true) && WriteWeight(0) && Execute(reg::LinPointFirst + point))
        StatusWait();
    ClosingSteps();
    EndOperation();
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

bool TCalibrationPage::Execute(int reg, const QString& data)
{
    return m_engine.SendCommand(cmd::Execute, reg, true, true, data).Ok();
}

bool TCalibrationPage::WriteWeight(int32_t weight)
{
    return m_engine
        .SendCommand(cmd::WriteValue, reg::CalibrationWeight, true, true,
                     calentry::ValueData(weight))
        .Ok();
}

// The instrument calibrates by itself; the window stays locked until it has finished, the
// user cancels or it stops answering.
void TCalibrationPage::StatusWait()
{
    if (!m_locked)
        m_controls.LockMainControls(false);
    m_locked = true;
    TStatusWait wait(
        [this](int ticks) { m_engine.WaitTicks(ticks); },
        [this]() -> std::optional<uint32_t> {
            if (!m_engine.SendCommand(cmd::ReadValue, reg::CalibrationStatus, true, true))
                return std::nullopt;
            return m_engine.ReplyRecord().Value;
        });
    TStatusWait::TEnd end;
    {
        TWaitCursor hourglass;
        TFrmCalWait window(wait, this);
        window.show();
        end = wait.Run();
    }
    if (end == TStatusWait::TEnd::ResultCode)
        m_prompts.Inform(calentry::ResultMessage(wait.LastStatus()));
}

// The instrument keeps what it calibrated only once stored; the figures read back are what it
// kept, whatever the operation achieved.
void TCalibrationPage::ClosingSteps()
{
    m_session.StoreSettings(true);
    TWaitCursor hourglass;
    m_device.ReadCalibration();
}
