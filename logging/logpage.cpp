#include "logpage.h"

#include "chartinteraction.h"
#include "chartoutput.h"
#include "chartranges.h"
#include "chartsetup.h"
#include "instrumentlink.h"
#include "labelformat.h"
#include "logchart.h"
#include "logdialog.h"
#include "logprint.h"
#include "logrun.h"
#include "recoverykeeper.h"
#include "tools.h"
#include "ui_logpage.h"
#include "userprompts.h"
#include "waitcursor.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>

#include <algorithm>

namespace {

const char* const kNotConnected = "Instrument not Connected";
const char* const kLogFilter = "Log (*.CSV);;All Files (*.*)";
const char* const kUnsaved = "The logged data has not been saved.\r\nSave it now?";
const char* const kLeftOver = "The last log run did not end normally; its data up to the last "
                              "second was kept.\r\nOpen it on the Log page?";
const char* const kReplaceLeftOver = "The data of a log run that did not end normally is still "
                                     "kept.\r\nA new run replaces it. Start anyway?";

constexpr double kFullTimeSpan = 30.0;
constexpr double kTimeLabelStep = 0.05;
constexpr int kUnitsFromEnd = 4; // the unit's two characters start 4 from the end: "12.5 kg G"

const std::array<QColor, logchannels::DigitalCount> kChannelColours = {
    QColor(0, 128, 0), QColor(0, 0, 255), QColor(128, 0, 0), QColor(128, 0, 128)};

QString Text(const char* text)
{
    return QString::fromLatin1(text);
}

} // namespace

// The progress bar of a long save or open: it shows itself only when the work takes longer
// than a moment, and its Cancel ends the work.
struct TLogPage::TProgress
{
    static constexpr int kSteps = 1000;
    static constexpr int kShowAfterMs = 500;

    TProgress(QWidget* parent, const QString& text)
        : dialog(text, QStringLiteral("Cancel"), 0, kSteps, parent)
    {
        dialog.setWindowModality(Qt::WindowModal);
        dialog.setMinimumDuration(kShowAfterMs);
        dialog.setValue(0);
    }
    TLogProgress Callback()
    {
        return [this](double fraction) {
            dialog.setValue(int(fraction * kSteps));
            return !dialog.wasCanceled();
        };
    }

    QProgressDialog dialog;
};

TLogPage::TLogPage(TInstrumentLink& link, IUserPrompts& prompts, IPrintPrompts& printPrompts,
                   const QString& dataFolder, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::TLogPage>()), m_link(link), m_prompts(prompts),
      m_printPrompts(printPrompts), m_dataFolder(dataFolder)
{
    ui->setupUi(this);
    ui->LblRecovery->hide();
    m_recovery = new TRecoveryKeeper(dataFolder, Chart(), this);
    connect(m_recovery, &TRecoveryKeeper::TroubleChanged, this, &TLogPage::ShowRecoveryTrouble);
    m_logDialog = std::make_unique<TFrmLogDialog>(this);
    m_run = std::make_unique<TLogRun>(link, [this](const QString& data) {
        if (m_running)
            ProcessLogSample(data);
    });
    Chart().SetUpLogTraces();
    m_output = std::make_unique<TChartOutput>(Chart(), prompts, printPrompts, *this);
    m_interaction = new TChartInteraction(
        Chart(), *ui->LblCsrPos, *this, [this] { ResetLogChart(false); },
        [this] { return m_units; });
    connect(ui->BtnStart, &QPushButton::clicked, this, &TLogPage::BtnStartClick);
    connect(ui->BtnStop, &QPushButton::clicked, this, &TLogPage::BtnStopClick);
}

TLogPage::~TLogPage()
{
    m_run.reset(); // a loop still running ends without calling back
    delete m_interaction;
    // Data that was saved or given up needs no recovery; anything else stays for next time.
    if (m_recovery->Owned() && !m_unsaved)
        m_recovery->Discard();
}

TLogChart& TLogPage::Chart() const
{
    return *ui->Chart;
}

std::array<QLabel*, logchannels::DigitalCount> TLogPage::DigitalLabels() const
{
    return {ui->LblDig1, ui->lblDig2, ui->LblDig3, ui->lbldig4};
}

// The name in the palette's text colour, legible on a light or a dark palette, beside a bar in
// its trace's colour.
void TLogPage::SetChannelLabel(size_t k, const QString& text)
{
    QLabel* label = DigitalLabels()[k];
    label->setText(text);
    label->setStyleSheet(text.isEmpty() ? QString()
                                        : QStringLiteral("QLabel { border-style: solid; "
                                                         "border-width: 0 0 0 4px; "
                                                         "border-color: %1; padding-left: 4px; }")
                                              .arg(kChannelColours[k].name()));
}

IActivity* TLogPage::Activity()
{
    return m_run.get();
}

void TLogPage::Entered()
{
    ResetLogChart(true);
    if (Chart().PointCount(traces::Weight) > 0)
        FitLogChart(); // the traces that stay are shown whole
    Chart().Redraw();
}

bool TLogPage::CanLeave() const
{
    return !m_running && !m_starting;
}

bool TLogPage::CanClose()
{
    return SettleUnsaved();
}

void TLogPage::LinkChanged(const TLinkState& state)
{
    if (!state.connected && (m_running || m_starting))
        BtnStopClick();
    // Another job holds the link: no run may start beside it.
    ui->BtnStart->setEnabled(!m_running && !m_starting && !(state.job && !m_run->Looping()));
}

void TLogPage::BtnStartClick()
{
    if (m_running || m_starting || m_run->Looping())
        return;
    if (!m_link.IsOpen()) {
        m_prompts.Inform(Text(kNotConnected));
        return;
    }
    m_interaction->ClearUserZoomed();
    const TLogChoice before = m_logDialog->Choice();
    TLogChoice shown;
    shown.rate = logchannels::RateForPeriod(m_sampler.SamplePeriod());
    for (int k = 1; k <= logchannels::DigitalCount; ++k)
        shown.channels[size_t(k - 1)] = m_sampler.Selection(k);
    m_logDialog->SetChoice(shown);
    if (m_logDialog->exec() != QDialog::Accepted)
        return;
    if (!SettleUnsaved() || !MayReplaceLeftOver()) {
        m_logDialog->SetChoice(before);
        return;
    }
    m_starting = true;
    m_source = QStringLiteral("%1   Recorded %2")
                   .arg(m_identity ? m_identity() : QString(),
                        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm")));
    ui->BtnStart->setEnabled(false);
    Chart().ClearTraces();
    m_interaction->ClearCursors();
    Chart().Redraw();
    m_liveData = true;
    TellFileShown({}); // the chart shows no file any more
    m_run->Begin();
    if (!m_run->Configure()) {
        BtnStopClick();
        return;
    }
    ReadWeightText();
    if (!m_starting)
        return; // stopped meanwhile
    ResetLogChart(true);
    ShowChannelLabels();
    Chart().setFocus();
    Chart().SetAutoScale(TChartAxis::Left, true);
    m_sampler.SetDecimals(m_decimals);
    m_sampler.Restart();
    m_recovery->Start(ui->LblLogComment->text(), Header(), m_decimals);
    m_starting = false;
    m_running = true;
    // The reads go on from the event loop until Stop, a command that ends the job, or the
    // link's loss: each ends the run the same way.
    const bool started = m_run->StartLoop([] {},
                                          [this] {
                                              StopRun();
                                              RunEnded();
                                          });
    if (!started) {
        StopRun();
        RunEnded();
    }
}

void TLogPage::ReadWeightText()
{
    m_decimals = 0;
    const std::optional<QString> text = m_run->ReadWeightText();
    if (text) {
        m_decimals = std::clamp(tools::DecimalPlaces(*text), 0, 6);
        Chart().SetLabelFormat(TChartAxis::Left, labelformat::LabelFormatFor(m_decimals));
        m_units = text->mid(std::max<qsizetype>(0, text->size() - kUnitsFromEnd), 2);
    }
    Chart().SetDivision(TChartAxis::Left, chartranges::DivisionFor(m_decimals));
}

void TLogPage::ShowChannelLabels()
{
    for (int k = 1; k <= logchannels::DigitalCount; ++k) {
        const int selection = m_sampler.Selection(k);
        SetChannelLabel(size_t(k - 1),
                        selection == 0 ? QString()
                                       : QString::fromLatin1(logchannels::Channel(selection).text));
    }
    NameTraces();
}

// The names of the legend and of the digital lanes: the channels' labels, or the column's
// place for a file's channel without a name.
void TLogPage::NameTraces()
{
    TLogChart& chart = Chart();
    chart.SetTraceName(traces::Weight, chart.AxisTitle(TChartAxis::Left));
    const auto labels = DigitalLabels();
    for (int k = 1; k <= logchannels::DigitalCount; ++k) {
        QString name = labels[size_t(k - 1)]->text().trimmed();
        if (name.isEmpty() && chart.PointCount(k) > 0)
            name = QStringLiteral("Digital %1").arg(k);
        chart.SetTraceName(k, name);
    }
}

void TLogPage::BtnStopClick()
{
    if (m_run->Looping())
        m_run->Stop(); // the loop's end stops the run
    else
        StopRun();
}

void TLogPage::StopRun()
{
    m_run->Stop();
    m_starting = false;
    const bool wasRunning = std::exchange(m_running, false);
    if (wasRunning)
        EndRecovery();
    Chart().SetAutoScale(TChartAxis::Left, false);
    // The whole run, not the last stretch the time axis was following.
    if (Chart().PointCount(traces::Weight) > 0)
        FitLogChart();
    Chart().setFocus();
    // Start waits until the read still under way has ended, so that runs never overlap.
    if (!m_run->Looping())
        ui->BtnStart->setEnabled(true);
}

void TLogPage::RunEnded()
{
    ui->BtnStart->setEnabled(!m_running && !m_starting);
}

void TLogPage::ProcessLogSample(const QString& data)
{
    const std::optional<TLogPoint> point = m_sampler.Process(data);
    if (!point)
        return;
    TLogChart& chart = Chart();
    chart.AddPoint(traces::Weight, point->time, point->weight);
    for (size_t k = 0; k < point->digital.size(); ++k) {
        if (point->digital[k])
            chart.AddPoint(int(k) + 1, point->time, *point->digital[k]);
    }
    m_recovery->Append(*point);
    m_unsaved = true;
    const TAxisRange time = chart.Range(TChartAxis::Bottom);
    if (!m_interaction->UserZoomed() && point->time > time.max)
        chart.SetRange(TChartAxis::Bottom, time.min + m_scrollStep, time.max + m_scrollStep);
    chart.Redraw();
}

void TLogPage::ResetLogChart(bool full)
{
    TLogChart& chart = Chart();
    if (full) {
        chart.SetRange(TChartAxis::Left, 0, 1);
        chart.SetAxisTitle(TChartAxis::Left, QStringLiteral("Weight (%1)").arg(m_units));
        const TLogChoice choice = m_logDialog->Choice();
        m_sampler.SetSamplePeriod(logchannels::PeriodForRate(choice.rate));
        for (int k = 1; k <= logchannels::DigitalCount; ++k)
            m_sampler.SetSelection(k, std::max(choice.channels[size_t(k - 1)], 0));
        chart.SetRange(TChartAxis::Bottom, 0, kFullTimeSpan);
        chart.SetLabelStep(TChartAxis::Bottom, kTimeLabelStep);
        m_scrollStep = chart.Range(TChartAxis::Bottom).max / 2;
    }
    // The digital lanes keep an axis of their own, which no zoom or pan moves.
}

void TLogPage::FitLogChart()
{
    m_interaction->Fit();
}

TLogHeader TLogPage::Header() const
{
    TLogHeader header;
    header.live = m_liveData;
    header.units = m_units;
    const auto labels = DigitalLabels();
    for (int k = 1; k <= logchannels::DigitalCount; ++k) {
        header.selection[size_t(k - 1)] = m_sampler.Selection(k);
        header.labels[size_t(k - 1)] = labels[size_t(k - 1)]->text();
    }
    return header;
}

// Recovery file ------------------------------------------------------------------------------

// Beside the chart and in the status bar, never in a box: the run must not wait for an answer.
void TLogPage::ShowRecoveryTrouble(const QString& trouble)
{
    ui->LblRecovery->setText(trouble);
    ui->LblRecovery->setVisible(!trouble.isEmpty());
    emit RecoveryTroubleChanged(trouble);
}

void TLogPage::EndRecovery()
{
    m_recovery->Stop();
    // A run without samples leaves nothing worth offering after a crash.
    if (!m_unsaved)
        DropRecovery();
}

void TLogPage::DropRecovery()
{
    m_recovery->Discard();
    if (m_leftOverShown) {
        TLogRecovery::RemoveLeftOver(m_dataFolder);
        m_leftOverShown = false;
    }
}

bool TLogPage::SettleUnsaved()
{
    if (!m_unsaved)
        return true;
    const int answer =
        m_prompts.Ask(Text(kUnsaved), {QStringLiteral("Save"), QStringLiteral("Discard"),
                                       QStringLiteral("Cancel")});
    if (answer != 0 && answer != 1)
        return false;
    if (m_running || m_starting)
        BtnStopClick();
    if (answer == 0)
        return SaveLog();
    DropRecovery();
    m_unsaved = false;
    return true;
}

// A left-over run of an earlier start that is not on the chart would be overwritten.
bool TLogPage::MayReplaceLeftOver()
{
    if (m_recovery->Owned() || TLogRecovery::FindLeftOver(m_dataFolder).isEmpty())
        return true;
    return m_prompts.Confirm(Text(kReplaceLeftOver));
}

bool TLogPage::OfferLeftOverRun(const std::function<void()>& showPage)
{
    const QString path = TLogRecovery::FindLeftOver(m_dataFolder);
    if (path.isEmpty())
        return false;
    const int answer =
        m_prompts.Ask(Text(kLeftOver),
                      {QStringLiteral("Open"), QStringLiteral("Delete"), QStringLiteral("Later")});
    if (answer == 1)
        TLogRecovery::RemoveLeftOver(m_dataFolder);
    if (answer != 0)
        return false;
    if (showPage)
        showPage();
    if (!ReadLog(path))
        return false;
    m_leftOverShown = true;
    // Killed before its first second of samples reached the disk: nothing to keep.
    m_unsaved = Chart().PointCount(traces::Weight) > 0;
    if (!m_unsaved)
        DropRecovery();
    return true;
}

// Log files ----------------------------------------------------------------------------------

void TLogPage::Open1Click()
{
    if (m_running || m_starting || !SettleUnsaved())
        return;
    const QString path =
        m_prompts.AskOpenFileName(QStringLiteral("Open Log File"), Text(kLogFilter));
    if (!path.isEmpty())
        OpenChosen(path);
}

void TLogPage::OpenFile(const QString& path)
{
    if (!m_running && !m_starting && SettleUnsaved())
        OpenChosen(path);
}

void TLogPage::OpenChosen(const QString& path)
{
    if (ReadLog(path)) {
        m_unsaved = false;
        TellFileShown(path);
    }
}

bool TLogPage::ReadLog(const QString& path)
{
    TLogReadResult read;
    {
        // Gone before any message: a progress window would sit over the box and take its clicks.
        TWaitCursor wait;
        TProgress progress(this, QStringLiteral("Opening %1").arg(QFileInfo(path).fileName()));
        read = logfile::Read(path, Chart(), progress.Callback());
    }
    if (!read.ok) {
        if (!read.cancelled)
            m_prompts.ShowError(read.message);
        Chart().Redraw();
        return false;
    }
    m_source = QStringLiteral("Log file %1").arg(QFileInfo(path).fileName());
    if (read.headerRead) {
        m_liveData = false;
        ui->LblLogComment->setText(read.comment);
        ui->LblLogComment->setToolTip(read.comment); // the whole of one too long to show
        m_units = read.units;
        for (size_t k = 0; k < read.labels.size(); ++k)
            SetChannelLabel(k, read.labels[k]);
        m_decimals = read.decimals;
        Chart().SetDivision(TChartAxis::Left, chartranges::DivisionFor(m_decimals));
    }
    ResetLogChart(true);
    NameTraces();
    FitLogChart();
    m_interaction->ClearCursors();
    return true;
}

void TLogPage::Save1Click()
{
    if (!m_running && !m_starting)
        SaveLog();
}

bool TLogPage::SaveLog()
{
    const QString name =
        m_prompts.AskSaveFileName(QStringLiteral("Save Log to File"), Text(kLogFilter));
    if (name.isEmpty())
        return false;
    const QString path = logfile::WithDefaultExtension(name);
    TLogFileResult written;
    {
        TWaitCursor wait;
        TProgress progress(this, QStringLiteral("Saving %1").arg(QFileInfo(path).fileName()));
        written = logfile::Write(path, ui->LblLogComment->text(), Header(), m_decimals, Chart(),
                                 progress.Callback());
    }
    if (!written.ok) {
        if (!written.cancelled)
            m_prompts.ShowError(written.message);
        return false;
    }
    m_unsaved = false;
    DropRecovery();
    TellFileShown(path);
    return true;
}

// Chart commands -----------------------------------------------------------------------------

void TLogPage::ChartSetupClick()
{
    // Window-modal and not waited for: a run goes on recording while the dialog is open.
    auto* dialog = new TFrmChartSetup(
        m_prompts, m_decimals, m_units, [this] { return Chart().Extent(traces::Weight); }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->Fill(Chart().Range(TChartAxis::Bottom), Chart().Range(TChartAxis::Left),
                 ui->LblLogComment->text());
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const TChartSetupResult result = dialog->Result();
        ui->LblLogComment->setText(result.comment);
        ui->LblLogComment->setToolTip(result.comment);
        Chart().SetRange(TChartAxis::Bottom, result.time.min, result.time.max);
        Chart().SetRange(TChartAxis::Left, result.weight.min, result.weight.max);
        Chart().Redraw();
    });
    dialog->open();
}

void TLogPage::Print1Click(bool preview)
{
    Chart().SetPaperTexts(PaperTexts());
    m_output->Print(preview);
}

void TLogPage::ExportChartClick()
{
    Chart().SetPaperTexts(PaperTexts());
    m_output->Export();
}

TLogChart::TPaperTexts TLogPage::PaperTexts() const
{
    return {logprint::Heading(m_source, ui->LblLogComment->text()), true};
}
