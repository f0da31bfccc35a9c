#pragma once

#include "logchart.h"
#include "logfile.h"
#include "logsampler.h"
#include "page.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class IPrintPrompts;
class IUserPrompts;
class QLabel;
class TChartInteraction;
class TChartOutput;
class TFrmLogDialog;
class TInstrumentLink;
class TLogRun;
class TRecoveryKeeper;
namespace Ui {
class TLogPage;
}

// The Log tab: records the instrument's weight and up to four status bits against time on a
// live chart, writes each sample to a recovery file as it runs, and reads, saves, prints and
// exports the traces. Nothing recorded is thrown away without asking.
class TLogPage : public QWidget, public IPage, public IFileCommands
{
    Q_OBJECT

public:
    // `dataFolder` holds the recovery file (the folder of config.ini, or the per-user folder
    // of an installed copy).
    TLogPage(TInstrumentLink& link, IUserPrompts& prompts, IPrintPrompts& printPrompts,
             const QString& dataFolder, QWidget* parent = nullptr);
    ~TLogPage() override;

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return "Log"; }
    IActivity* Activity() override;
    // The axes go back to their starting ranges, or fit the traces when there are any.
    void Entered() override;
    // Not while a run is starting or running.
    bool CanLeave() const override;
    // Live data that was never saved: Save, Discard or Cancel (false) first.
    bool CanClose() override;
    IFileCommands* Files() override { return this; }
    // A link that goes stops a run, keeping its traces.
    void LinkChanged(const TLinkState& state) override;

    void Open1Click() override;
    void Save1Click() override;
    void Print1Click(bool preview) override;
    void OpenFile(const QString& path) override;

    void BtnStartClick();
    void BtnStopClick();
    // Edit > Setup Chart: ranges and comment; may be used while recording.
    void ChartSetupClick();
    // File > Export Chart: the chart as a PNG picture or a PDF document.
    void ExportChartClick();
    // Called once at start-up: offers the data of a run that did not end normally. When the
    // user opens it, `showPage` brings this page to the front first. True when opened.
    bool OfferLeftOverRun(const std::function<void()>& showPage);
    // The connected instrument's identity, which a run's printed and exported chart names.
    void SetIdentitySource(std::function<QString()> identity) { m_identity = std::move(identity); }

    [[nodiscard]] bool LogRunning() const { return m_running; }
    void ResetLogChart(bool full);
    void ProcessLogSample(const QString& data);
    void FitLogChart();

signals:
    // Why the run's recovery file is behind the run (shown on the page as well); empty once
    // it has caught up.
    void RecoveryTroubleChanged(const QString& trouble);

private:
    struct TProgress;

    [[nodiscard]] TLogChart& Chart() const;
    [[nodiscard]] std::array<QLabel*, logchannels::DigitalCount> DigitalLabels() const;
    void SetChannelLabel(size_t k, const QString& text);
    [[nodiscard]] TLogHeader Header() const;
    void ReadWeightText();
    void ShowChannelLabels();
    void ShowRecoveryTrouble(const QString& trouble);
    void NameTraces();
    void EndRecovery();
    void DropRecovery();
    // True when whatever unsaved data the chart holds was saved or may go.
    bool SettleUnsaved();
    bool MayReplaceLeftOver();
    bool SaveLog();
    bool ReadLog(const QString& path);
    void OpenChosen(const QString& path);
    [[nodiscard]] TLogChart::TPaperTexts PaperTexts() const;
    void StopRun();
    void RunEnded();

    std::unique_ptr<Ui::TLogPage> ui;
    TInstrumentLink& m_link;
    IUserPrompts& m_prompts;
    IPrintPrompts& m_printPrompts;
    QString m_dataFolder;
    std::unique_ptr<TFrmLogDialog> m_logDialog;
    std::unique_ptr<TLogRun> m_run;
    TChartInteraction* m_interaction = nullptr;
    TLogSampler m_sampler;
    TRecoveryKeeper* m_recovery = nullptr;
    std::unique_ptr<TChartOutput> m_output;
    std::function<QString()> m_identity;
    QString m_source; // the run's instrument and start, or the file read

    bool m_starting = false;
    bool m_running = false;       // LogRunning
    bool m_liveData = false;      // LogLiveData
    bool m_unsaved = false;       // live or recovered data that was never saved
    bool m_leftOverShown = false; // the chart holds the left-over run of an earlier start
    int m_decimals = 0;           // LogDecimals
    QString m_units;              // LogUnits
    double m_scrollStep = 0.0;    // LogScrollStep
};
