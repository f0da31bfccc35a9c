// Logging runs against the simulated instrument at 38400 baud: what a run writes and keeps,
// saving and opening it again, an instrument that stops answering, a port that goes away.
#include "logpagefixture.h"

#include "labelformat.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using namespace protocol;

namespace {

constexpr double kTickSeconds = 0.04;

// The channels of a 10 Hz run: CofZ, Motion, Output 1 and Output 2.
const std::array<int, 4> kTenHertzChannels = {1, 3, 5, 6};
const std::array<uint32_t, 4> kTenHertzMasks = {status::CentreOfZero, status::Motion,
                                                status::Output1, status::Output2};

struct TPoints
{
    std::vector<std::array<double, 2>> points[traces::LogTraceCount];
};

TPoints Snapshot(const TLogChart& chart)
{
    TPoints all;
    for (int trace = 0; trace < traces::LogTraceCount; ++trace)
        for (qsizetype i = 0; i < chart.PointCount(trace); ++i)
            all.points[trace].push_back({chart.Point(trace, i).time, chart.Point(trace, i).value});
    return all;
}

} // namespace

// The bar: 20 s at 10 Hz keeps 200 +- 2 samples, each the instrument's first reading on its
// place in the rate, with the status bits the instrument sent; Save writes those rows and Open
// brings the same traces back.
TEST_F(LogPageOnSimulator, TenHertzRunKeepsTwoHundredSamplesAsTheInstrumentSentThem)
{
    Start();
    TSimInstrument& instrument = rig->sim->Instrument(1);
    AnswerLogDialog(0, kTenHertzChannels);
    QElapsedTimer sinceFirst;
    bool leavableWhileRunning = true;
    int load = 0;
    rig->Run([&] {
        if (Points() == 0)
            return false;
        if (!sinceFirst.isValid()) {
            // As an open setup session keeps the link alive, from the run's first sample on.
            rig->link->SetKeepAlive(true);
            sinceFirst.start();
            leavableWhileRunning = Page().CanLeave();
        }
        // Loads that switch every logged bit on and off again.
        const qint64 ms = sinceFirst.elapsed();
        const std::array<std::pair<qint64, double>, 3> loads = {
            {{2000, 150.0}, {8000, 450.0}, {14000, 0.0}}};
        if (load < 3 && ms >= loads[size_t(load)].first)
            instrument.PlaceLoad(loads[size_t(load++)].second);
        return ms >= 20000;
    });

    EXPECT_FALSE(leavableWhileRunning);
    EXPECT_TRUE(Page().CanLeave());
    EXPECT_EQ(rig->controls.locks, std::vector<TJobKind>{TJobKind::LogRun});
    EXPECT_EQ(rig->controls.unlocks, 1);
    EXPECT_TRUE(rig->prompts.messages.isEmpty()) << rig->prompts.messages.join('|').toStdString();
    const qsizetype n = Points();
    RecordProperty("samples", int(n));
    EXPECT_NEAR(double(n), 200.0, 2.0);

    const auto sent = SentReadings();
    ASSERT_FALSE(sent.empty());
    const std::map<uint32_t, TSentReading> byTick(sent.begin(), sent.end());
    const uint32_t startTick = sent.front().first;
    for (qsizetype i = 0; i < n; ++i) {
        const double time = Chart().Point(traces::Weight, i).time;
        SCOPED_TRACE("point " + std::to_string(i) + " at " + std::to_string(time));
        EXPECT_GE(time, i * 0.1 - 1e-9) << "kept before its place in the rate";
        EXPECT_LT(time, i * 0.1 + 0.1) << "a place in the rate was skipped";
        const auto it = byTick.find(startTick + uint32_t(std::lround(time / kTickSeconds)));
        ASSERT_NE(it, byTick.end());
        EXPECT_DOUBLE_EQ(Chart().Point(traces::Weight, i).value, it->second.weight / 10.0);
        for (int k = 1; k <= 4; ++k) {
            const bool set = (it->second.status & kTenHertzMasks[size_t(k - 1)]) != 0;
            EXPECT_EQ(Chart().Point(k, i).value, logchannels::Baseline(k) + (set ? 1 : 0))
                << "channel " << k;
        }
    }
    const auto requests = Messages(TTrafficLog::Received);
    const auto keepAlives = std::count_if(requests.begin(), requests.end(), [](const auto& r) {
        return r.Register == reg::SessionControl && r.Data == data::KeepAlive;
    });
    // One every 5 s of the link's ticks: the fourth falls due just as the 20 s run ends.
    EXPECT_GE(keepAlives, 3) << "the session is kept alive during the run";
    EXPECT_LE(keepAlives, 5);
    for (int k = 1; k <= 4; ++k) {
        const auto extent = Chart().Extent(k);
        ASSERT_TRUE(extent);
        EXPECT_EQ(extent->maxValue - extent->minValue, 1.0) << "channel " << k << " changed";
    }

    // The recovery file holds the same rows as the saved file; saving lets it go.
    const QStringList recovered = Lines(RecoveryPath());
    rig->prompts.fileNames = {dir.filePath("run")};
    Page().Save1Click();
    const QStringList saved = Lines(dir.filePath("run.CSV"));
    ASSERT_EQ(saved.size(), n + 2);
    EXPECT_EQ(saved[1], "Time,Weight(kg),CofZ,Motion,Output 1,Output 2");
    EXPECT_EQ(recovered.mid(2), saved.mid(2));
    EXPECT_FALSE(QFile::exists(RecoveryPath()));
    for (qsizetype i = 0; i < n; ++i) {
        const QStringList fields = saved[i + 2].split(',');
        ASSERT_EQ(fields.size(), 6);
        EXPECT_NEAR(fields[0].toDouble(), Chart().Point(traces::Weight, i).time, 0.005);
        EXPECT_NEAR(fields[1].toDouble(), Chart().Point(traces::Weight, i).value, 0.05);
        for (int k = 1; k <= 4; ++k)
            EXPECT_EQ(fields[k + 1].toDouble() + logchannels::Baseline(k),
                      Chart().Point(k, i).value);
    }
    EXPECT_TRUE(Page().CanClose()) << "nothing left unsaved";

    const TPoints before = Snapshot(Chart());
    rig->prompts.fileNames = {dir.filePath("run.CSV")};
    Page().Open1Click();
    const TPoints after = Snapshot(Chart());
    for (int trace = 0; trace < traces::LogTraceCount; ++trace) {
        ASSERT_EQ(after.points[trace].size(), before.points[trace].size()) << "trace " << trace;
        for (size_t i = 0; i < before.points[trace].size(); ++i) {
            EXPECT_NEAR(after.points[trace][i][0], before.points[trace][i][0], 0.005);
            EXPECT_NEAR(after.points[trace][i][1], before.points[trace][i][1], 0.05);
        }
    }
    EXPECT_EQ(Text("LblDig1"), "CofZ");
    EXPECT_EQ(Text("lbldig4"), "Output 2");
    EXPECT_EQ(Chart().AxisTitle(TChartAxis::Left), "Weight (kg)");
    EXPECT_TRUE(rig->prompts.messages.filter("ask:").isEmpty());
}

// 20 s of instrument time at 1 Hz keep 20 +- 1 samples; the instrument's clock runs ten
// times as fast, so the run takes 2 s.
TEST_F(LogPageOnSimulator, OneHertzRunWritesTheSetUpThenKeepsTwentySamples)
{
    clock.start();
    Start([this](TSimLine& line) {
        line.AddInstrument(options.instrument, [this] { return clock.elapsed() * 10; });
    });
    AnswerLogDialog(1, {2, 4, 0, 0}); // Zero, Net
    QElapsedTimer sinceFirst;
    rig->Run([&] {
        if (Points() > 0 && !sinceFirst.isValid())
            sinceFirst.start();
        return sinceFirst.isValid() && sinceFirst.elapsed() >= 2000;
    });
    EXPECT_NEAR(double(Points()), 20.0, 1.0);
    for (qsizetype i = 0; i < Points(); ++i) {
        // The instrument's clock runs ten times as fast: a slow exchange on a loaded machine
        // may take a place's reading late, but never skip the place.
        EXPECT_GE(Chart().Point(traces::Weight, i).time, double(i) - 1e-9);
        EXPECT_LT(Chart().Point(traces::Weight, i).time, double(i) + 1.0)
            << "a place in the rate was skipped";
    }

    const auto requests = Messages(TTrafficLog::Received);
    ASSERT_GE(requests.size(), 5u);
    const std::array<const char*, 3> values = {"1", "6", "2"};
    for (size_t k = 0; k < values.size(); ++k) {
        EXPECT_EQ(requests[k].Command, cmd::WriteValue);
        EXPECT_EQ(requests[k].Register, reg::LogSetupFirst + int(k));
        EXPECT_EQ(requests[k].Data, values[k]);
    }
    EXPECT_EQ(requests[3].Command, cmd::ReadDisplayText);
    EXPECT_EQ(requests[3].Register, reg::WeightText);
    EXPECT_TRUE(std::all_of(requests.begin() + 4, requests.end(), [](const Tcommsobj& r) {
        return r.Command == cmd::ReadValue && r.Register == reg::LogSample;
    }));
    EXPECT_EQ(Chart().AxisTitle(TChartAxis::Left), "Weight (kg)");
    EXPECT_EQ(Chart().LabelFormat(TChartAxis::Left), labelformat::LabelFormatFor(1));
    EXPECT_EQ(Text("LblDig1"), "Zero");
    EXPECT_EQ(Text("lblDig2"), "Net");
    EXPECT_EQ(Text("LblDig3"), "");
    EXPECT_EQ(Points(3), 0);
    EXPECT_EQ(Points(1), Points());
}

TEST_F(LogPageOnSimulator, CancelledLoggingDialogLeavesChartLabelsAndInstrumentAlone)
{
    Start();
    WriteFile(dir.filePath("old.csv"), "old\r\nTime,Weight(kg),CofZ\r\n0.00,1.5,1.00\r\n"
                                       "1.00,2.5,0.00\r\n");
    rig->prompts.fileNames = {dir.filePath("old.csv")};
    Page().Open1Click();
    const TAxisRange time = Chart().Range(TChartAxis::Bottom);
    rig->sim->Line().Log().Clear();
    int shownRate = -2;
    WhenShown<QWidget>([&](QWidget& shown) {
        QWidget* dialog = &shown;
        shownRate = Child<QComboBox>(dialog, "CBLogRate")->currentIndex();
        Child<QComboBox>(dialog, "CBLogRate")->setCurrentIndex(2);
        Child<QPushButton>(dialog, "BtnCancel")->click();
    });
    rig->Button("BtnStart")->click();
    EXPECT_EQ(shownRate, 0) << "nothing chosen yet: 0.05 s, shown as 10 Hz";
    EXPECT_EQ(Points(), 2);
    EXPECT_EQ(Points(1), 2);
    EXPECT_EQ(Text("LblDig1"), "CofZ");
    EXPECT_EQ(Text("LblLogComment"), "old");
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, time.max);
    EXPECT_TRUE(rig->sim->Line().Log().Entries().empty());
    EXPECT_TRUE(rig->controls.locks.empty());
    auto* dialog = Child<TFrmLogDialog>(rig->page.get());
    EXPECT_EQ(dialog->Choice().rate, 0) << "a cancelled choice is not kept";
}

TEST_F(LogPageOnSimulator, StartWithoutPortSaysSoAndDoesNothing)
{
    Start();
    rig->engine->Close();
    rig->Button("BtnStart")->click();
    EXPECT_EQ(rig->prompts.messages, QStringList{"Instrument not Connected"});
    EXPECT_TRUE(rig->Button("BtnStart")->isEnabled());
    EXPECT_TRUE(rig->controls.locks.empty());
}

TEST_F(LogPageOnSimulator, RejectedSetUpWriteIsReportedAndStopsTheRun)
{
    options.line.requireCrc = true; // every plain request gets an error reply
    Start();
    AnswerLogDialog(0, {1, 0, 0, 0});
    rig->Button("BtnStart")->click();
    ASSERT_EQ(rig->prompts.messages.size(), 1);
    EXPECT_TRUE(rig->prompts.messages[0].startsWith("Error :- Register   42:"))
        << rig->prompts.messages[0].toStdString();
    const auto requests = Messages(TTrafficLog::Received);
    EXPECT_EQ(requests.size(), 1u) << "no write after the one that failed";
    EXPECT_FALSE(Page().LogRunning());
    EXPECT_TRUE(Page().CanLeave());
    EXPECT_TRUE(rig->Button("BtnStart")->isEnabled());
    EXPECT_TRUE(rig->controls.locks.empty());
    EXPECT_FALSE(QFile::exists(RecoveryPath()));
}

// No reply for a while: the engine's not-responding report appears, the run goes on and
// takes samples again once the instrument answers.
TEST_F(LogPageOnSimulator, InstrumentThatStopsAnsweringIsReportedAndTheRunGoesOn)
{
    Start();
    AnswerLogDialog(0, {0, 0, 0, 0});
    qsizetype silentAt = -1;
    qsizetype answeringAt = -1;
    bool runningWhenReported = false;
    rig->Run(
        [&] {
            if (silentAt < 0 && Points() >= 5) {
                silentAt = Points();
                rig->sim->Line().blockSignals(true); // replies are made but never sent
            } else if (answeringAt < 0 && !rig->prompts.messages.isEmpty()) {
                runningWhenReported = Page().LogRunning();
                answeringAt = Points();
                rig->sim->Line().blockSignals(false);
            }
            return answeringAt >= 0 && Points() >= answeringAt + 5;
        },
        20000);
    EXPECT_EQ(rig->prompts.messages,
              QStringList{"Instrument not responding: Ensure communications cables are "
                          "connected properly."});
    EXPECT_TRUE(runningWhenReported);
    EXPECT_EQ(answeringAt, silentAt) << "no samples while the instrument was silent";
    EXPECT_GE(Points(), answeringAt + 5);
}

TEST_F(LogPageOnSimulator, LostPortStopsTheRunAndKeepsTheTraces)
{
    Start();
    AnswerLogDialog(0, {1, 0, 0, 0});
    QElapsedTimer run;
    run.start();
    qsizetype atLoss = -1;
    rig->Run(
        [&] {
            if (atLoss < 0 && Points() >= 5) {
                atLoss = Points();
                rig->sim->Close();
            }
            return false;
        },
        15000);
    EXPECT_LT(run.elapsed(), 14000) << "the run ended by itself";
    EXPECT_FALSE(Page().LogRunning());
    EXPECT_GE(Points(), atLoss);
    EXPECT_EQ(Points(1), Points());
    EXPECT_FALSE(rig->controls.locked);
    EXPECT_TRUE(rig->Button("BtnStart")->isEnabled());
    EXPECT_TRUE(Page().CanLeave());
}

// Stop shows the whole run, not the last stretch the time axis followed; a cursor's read-out
// goes when another log is opened.
TEST_F(LogPageOnSimulator, StopShowsTheWholeRunAndAnotherLogClearsTheReadout)
{
    clock.start();
    Start([this](TSimLine& line) {
        line.AddInstrument(options.instrument, [this] { return clock.elapsed() * 100; });
    });
    AnswerLogDialog(1, {0, 0, 0, 0});
    rig->Run([&] { return Points() >= 45; });
    ASSERT_GE(Points(), 45);
    const auto extent = Chart().Extent(traces::Weight);
    ASSERT_TRUE(extent);
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).min, 0.0);
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, extent->maxTime);
    EXPECT_LE(Chart().Range(TChartAxis::Left).min, extent->minValue);
    EXPECT_GE(Chart().Range(TChartAxis::Left).max, extent->maxValue);

    Chart().RedrawNow();
    QTest::mouseClick(&Chart(), Qt::LeftButton, Qt::ShiftModifier, Chart().PlotRect().center());
    ASSERT_FALSE(Text("LblCsrPos").isEmpty());
    WriteFile(dir.filePath("other.csv"), "other\r\nTime,Weight(kg)\r\n0.00,1.0\r\n1.00,2.0\r\n");
    rig->prompts.answers = {1}; // Discard the run
    rig->prompts.fileNames = {dir.filePath("other.csv")};
    Page().Open1Click();
    EXPECT_EQ(Text("LblLogComment"), "other");
    EXPECT_EQ(Text("LblCsrPos"), "");
    EXPECT_FALSE(Chart().CursorShown(0));
}
