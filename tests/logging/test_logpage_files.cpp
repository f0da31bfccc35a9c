// The Log page around its data: questions before unsaved data goes, the recovery file of a
// run that did not end normally (also of a killed process), the time axis following new
// samples, Chart Setup, printing and export.
#include "logpagefixture.h"

#include "chartsetup.h"
#include "logprint.h"
#include "pixelcount.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QSpinBox>
#include <QTest>

namespace {

const QString kUnsavedQuestion = "ask: The logged data has not been saved.\r\nSave it now?";
const QString kLeftOverQuestion = "ask: The last log run did not end normally; its data up to "
                                  "the last second was kept.\r\nOpen it on the Log page?";

enum TAnswer
{
    Save = 0,
    Discard = 1,
    Cancel = 2
};

QString Sample(uint32_t tick, int32_t weight, uint32_t status)
{
    return tools::HexText(tick, 8) + tools::HexText(uint32_t(weight), 8) +
           tools::HexText(status, 8);
}

// A run that ended without Discard: its recovery file stays behind, unlocked.
void LeaveRecoveryFile(const QString& folder, int rows)
{
    TLogRecovery recovery(folder);
    TLogHeader header;
    header.units = "kg";
    header.selection = {1, 0, 0, 0};
    ASSERT_TRUE(recovery.Begin("left over", header, 1).ok);
    for (int i = 0; i < rows; ++i) {
        TLogPoint point;
        point.time = i * 0.1;
        point.weight = 10.0 + i;
        point.digital[0] = i % 2;
        recovery.Append(point);
    }
}

} // namespace

TEST_F(LogPageOnSimulator, UnsavedLiveDataIsAskedAboutBeforeItCouldBeLost)
{
    Start();
    AnswerLogDialog(0, {1, 0, 0, 0});
    rig->Run([this] { return Points() >= 5; });
    const qsizetype firstRun = Points();
    ASSERT_TRUE(QFile::exists(RecoveryPath()));

    rig->prompts.answers = {Cancel};
    EXPECT_FALSE(Page().CanClose());
    EXPECT_EQ(rig->prompts.messages, QStringList{kUnsavedQuestion});

    rig->prompts.messages.clear();
    rig->prompts.answers = {Cancel};
    Page().Open1Click();
    EXPECT_EQ(rig->prompts.messages, QStringList{kUnsavedQuestion}) << "no file asked for";

    // A new run saves the first one first, when told to.
    rig->prompts.messages.clear();
    rig->prompts.answers = {Save};
    rig->prompts.fileNames = {dir.filePath("first")};
    AnswerLogDialog(0, {1, 0, 0, 0});
    rig->Run([this] { return Points() >= 3; });
    EXPECT_EQ(Lines(dir.filePath("first.CSV")).size(), firstRun + 2);
    EXPECT_GE(Points(), 3);
    EXPECT_LT(Points(), firstRun + 3) << "the chart holds the second run";

    rig->prompts.messages.clear();
    rig->prompts.answers = {Discard};
    EXPECT_TRUE(Page().CanClose());
    EXPECT_FALSE(QFile::exists(RecoveryPath())) << "discarded data needs no recovery";
    rig->prompts.messages.clear();
    EXPECT_TRUE(Page().CanClose());
    EXPECT_TRUE(rig->prompts.messages.isEmpty());
}

TEST_F(LogPageOnSimulator, LeftOverRunIsOfferedAndOpenedOrDeletedOrKept)
{
    Start();
    LeaveRecoveryFile(dir.path(), 12);
    bool shown = false;
    const auto showPage = [&] {
        shown = true;
        EXPECT_EQ(Points(), 0) << "the page comes to the front before the data is read";
    };

    rig->prompts.answers = {2}; // Later
    EXPECT_FALSE(Page().OfferLeftOverRun(showPage));
    EXPECT_EQ(rig->prompts.messages, QStringList{kLeftOverQuestion});
    EXPECT_TRUE(QFile::exists(RecoveryPath()));

    rig->prompts.answers = {0}; // Open
    EXPECT_TRUE(Page().OfferLeftOverRun(showPage));
    EXPECT_TRUE(shown);
    EXPECT_EQ(Points(), 12);
    EXPECT_EQ(Points(1), 12);
    EXPECT_EQ(Text("LblLogComment"), "left over");
    EXPECT_EQ(Text("LblDig1"), "CofZ");
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, Chart().Point(traces::Weight, 11).time);

    rig->prompts.messages.clear();
    rig->prompts.answers = {Cancel};
    EXPECT_FALSE(Page().CanClose()) << "recovered data is unsaved data";
    EXPECT_EQ(rig->prompts.messages, QStringList{kUnsavedQuestion});
    rig->prompts.fileNames = {dir.filePath("recovered.csv")};
    Page().Save1Click();
    EXPECT_EQ(Lines(dir.filePath("recovered.csv")).size(), 14);
    EXPECT_FALSE(QFile::exists(RecoveryPath())) << "saved: the left-over goes";
    EXPECT_FALSE(Page().OfferLeftOverRun(showPage));

    LeaveRecoveryFile(dir.path(), 3);
    rig->prompts.answers = {1}; // Delete
    EXPECT_FALSE(Page().OfferLeftOverRun(showPage));
    EXPECT_FALSE(QFile::exists(RecoveryPath()));
}

TEST_F(LogPageOnSimulator, NewRunAsksBeforeItReplacesALeftOverRun)
{
    Start();
    LeaveRecoveryFile(dir.path(), 4);
    rig->sim->Line().Log().Clear();
    rig->prompts.confirmAnswer = false;
    AnswerLogDialog(0, {0, 0, 0, 0});
    rig->Button("BtnStart")->click();
    ASSERT_EQ(rig->prompts.messages.size(), 1);
    EXPECT_TRUE(rig->prompts.messages[0].startsWith("confirm: The data of a log run"));
    EXPECT_TRUE(rig->sim->Line().Log().Entries().empty());
    EXPECT_EQ(Lines(RecoveryPath()).size(), 6);
}

// A run in a child process, killed mid-run, leaves a recovery file with every sample up to
// the last second; the next start offers it and opens all of it.
TEST_F(LogPageOnSimulator, KilledRunLeavesEverySampleUpToTheLastSecond)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer since;
    std::vector<std::pair<qint64, QString>> reported; // arrival time, "time,weight"
    QObject::connect(&child, &QProcess::readyReadStandardOutput, [&] {
        while (child.canReadLine())
            reported.push_back({since.elapsed(), QString::fromLatin1(child.readLine()).trimmed()});
    });
    since.start();
    child.start(QStringLiteral(LOGRUN_CHILD), {dir.path(), "run"});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(RunUntil([&] { return reported.size() >= 40; }, 20000));
    RunUntil([&] { return false; }, 300);
    const qint64 killedAt = since.elapsed();
    child.kill();
    ASSERT_TRUE(child.waitForFinished());

    const QStringList rows = Lines(RecoveryPath()).mid(2);
    size_t due = 0;
    for (const auto& [at, row] : reported) {
        if (at > killedAt - 1100)
            break;
        ASSERT_LT(due, size_t(rows.size())) << "sample " << due << " is missing";
        EXPECT_EQ(rows[qsizetype(due)].section(',', 0, 1), row);
        ++due;
    }
    EXPECT_GE(due, 30u);

    QProcess again;
    again.start(QStringLiteral(LOGRUN_CHILD), {dir.path(), "offer"});
    ASSERT_TRUE(again.waitForFinished(20000));
    EXPECT_EQ(again.exitCode(), 0);
    const QString opened = QString::fromLatin1(again.readAllStandardOutput()).trimmed();
    EXPECT_EQ(opened, QStringLiteral("opened %1").arg(rows.size()));
}

// A sample beyond the right end moves the time axis by half its starting width, until the
// user zooms; undoing the zoom lets it follow again.
TEST_F(LogPageOnSimulator, TimeAxisFollowsNewSamplesUntilTheUserZooms)
{
    Start();
    rig->page->resize(800, 500);
    const uint32_t perSecond = 25; // ticks
    Page().ProcessLogSample(Sample(1000, 5, 0));
    Page().ProcessLogSample(Sample(1000 + 31 * perSecond, 6, 0));
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).min, 15.0);
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, 45.0);

    Chart().RedrawNow();
    const QRect plot = Chart().PlotRect();
    const QPoint from = plot.topLeft() + QPoint(plot.width() / 4, plot.height() / 4);
    QTest::mousePress(&Chart(), Qt::LeftButton, {}, from);
    QTest::mouseMove(&Chart(), from + QPoint(100, 80));
    QTest::mouseRelease(&Chart(), Qt::LeftButton, {}, from + QPoint(100, 80));
    const TAxisRange zoomed = Chart().Range(TChartAxis::Bottom);
    EXPECT_EQ(Chart().Range(TChartAxis::Right).min, -1.0);
    EXPECT_EQ(Chart().Range(TChartAxis::Right).max, 6.0);
    Page().ProcessLogSample(Sample(1000 + 50 * perSecond, 7, 0));
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, zoomed.max) << "stays put while zoomed";

    Chart().UndoZoom();
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, 45.0);
    Page().ProcessLogSample(Sample(1000 + 51 * perSecond, 8, 0));
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, 60.0);
}

TEST_F(LogPageOnSimulator, ChartSetupShowsTheRangesAndAppliesWhatIsConfirmed)
{
    Start();
    WriteFile(dir.filePath("log.csv"), "a comment\r\nTime,Weight(kg)\r\n0.00,1.25\r\n"
                                       "12.50,3.75\r\n");
    rig->prompts.fileNames = {dir.filePath("log.csv")};
    Page().Open1Click();
    Chart().SetRange(TChartAxis::Bottom, 2.5, 13.5); // whole seconds halves to even: 2, 14
    Page().ChartSetupClick();
    auto* setup = Child<TFrmChartSetup>(rig->page.get());
    EXPECT_TRUE(setup->isVisible());
    EXPECT_EQ(Child<QLineEdit>(setup, "EdtTstart")->text(), "2");
    EXPECT_EQ(Child<QLineEdit>(setup, "EdtTend")->text(), "14");
    EXPECT_EQ(Child<QLineEdit>(setup, "Edtminwgt")->text(), "1.00") << "fitted: 1.25 - 0.25";
    EXPECT_EQ(Child<QLineEdit>(setup, "EdtMaxWgt")->text(), "4.00");
    EXPECT_EQ(Child<QLabel>(setup, "LblMinUnits")->text(), "kg");
    EXPECT_EQ(Child<QLineEdit>(setup, "EdtComment")->text(), "a comment");
    Child<QLineEdit>(setup, "EdtTend")->setText("20");
    Child<QLineEdit>(setup, "EdtMaxWgt")->setText("-2.50");
    Child<QLineEdit>(setup, "EdtComment")->setText("checked");
    Child<QPushButton>(setup, "BtnOk")->click();
    EXPECT_FALSE(setup->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(rig->page->findChild<TFrmChartSetup*>(), nullptr) << "made for one use";
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).min, 2.0);
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, 20.0);
    EXPECT_EQ(Chart().Range(TChartAxis::Left).min, -2.5) << "reversed bounds are swapped";
    EXPECT_EQ(Chart().Range(TChartAxis::Left).max, 1.0);
    EXPECT_EQ(Text("LblLogComment"), "checked");

    Page().ChartSetupClick();
    setup = Child<TFrmChartSetup>(rig->page.get());
    Child<QLineEdit>(setup, "EdtComment")->setText("not this");
    Child<QPushButton>(setup, "BtnCancel")->click();
    EXPECT_FALSE(setup->isVisible());
    EXPECT_EQ(Text("LblLogComment"), "checked");
    EXPECT_EQ(Chart().Range(TChartAxis::Bottom).max, 20.0);
}

TEST_F(LogPageOnSimulator, PrintsTheChartPageWithItsHeadingLanesAndLegend)
{
    Start();
    WriteFile(dir.filePath("log.csv"), "printed comment\r\nTime,Weight(kg),CofZ,Net\r\n"
                                       "0.00,1.0,1.00,0.00\r\n1.00,2.0,0.00,1.00\r\n");
    rig->prompts.fileNames = {dir.filePath("log.csv")};
    Page().Open1Click();
    rig->prompts.messages.clear();
    Page().Print1Click(false);
    QFile pdf(dir.filePath("printed.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    EXPECT_GT(pdf.size(), 2000);
    pdf.close();
    Page().Print1Click(true);
    EXPECT_EQ(rig->print.previews, 1);
    EXPECT_TRUE(rig->prompts.messages.isEmpty()) << rig->prompts.messages.join('|').toStdString();

    // The same page drawn into a picture: the heading above the chart, the weight in the
    // plot, and the channels in their lanes and in the legend below, in their colours.
    QImage page(1200, 1700, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    ASSERT_TRUE(logprint::PaintLogPage(painter, page.rect(), Chart()));
    painter.end();
    const QRect chart(60, 170, 1080, 1360);
    const QRect top(chart.left(), chart.top(), chart.width(), chart.height() / 20);
    const QRect bottom(chart.left(), chart.bottom() - chart.height() / 20, chart.width(),
                       chart.height() / 20);
    EXPECT_GT(CountHue(page, top, THue::Blue), 200) << "the heading";
    EXPECT_GT(CountHue(page, chart, THue::Red), 50) << "the weight trace";
    EXPECT_GT(CountHue(page, bottom, THue::Green), 10) << "CofZ in the legend";
    EXPECT_GT(CountHue(page, bottom, THue::Blue), 10) << "Net in the legend";
    EXPECT_GT(CountHue(page, chart, THue::Blue), CountHue(page, bottom, THue::Blue) + 100)
        << "and in its lane and the heading";
}

TEST_F(LogPageOnSimulator, ExportsTheChartAtTheChosenSize)
{
    Start();
    WhenShown<QWidget>([](QWidget& shown) {
        QWidget* dialog = &shown;
        Child<QSpinBox>(dialog, "EdtWidth")->setValue(640);
        Child<QSpinBox>(dialog, "EdtHeight")->setValue(400);
        Child<QPushButton>(dialog, "BtnOk")->click();
    });
    rig->prompts.fileNames = {dir.filePath("chart")};
    Page().ExportChartClick();
    EXPECT_EQ(QImage(dir.filePath("chart.png")).size(), QSize(640, 400));

    WhenShown<QWidget>([](QWidget& shown) {
        QWidget* dialog = &shown;
        Child<QComboBox>(dialog, "CbxFormat")->setCurrentIndex(1);
        Child<QPushButton>(dialog, "BtnOk")->click();
    });
    rig->prompts.fileNames = {dir.filePath("chart")};
    Page().ExportChartClick();
    QFile pdf(dir.filePath("chart.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_EQ(pdf.read(5), "%PDF-");
    EXPECT_TRUE(rig->prompts.messages.filter("error").isEmpty());
}

// A channel's name is written in the palette's text colour, light on a dark palette, beside a
// bar in its trace's colour.
TEST_F(LogPageOnSimulator, ChannelLabelsFollowThePalette)
{
    const QPalette before = QApplication::palette();
    for (const QColor text : {QColor(Qt::black), QColor(0xF0, 0xF0, 0xF0)}) { // light, dark
        QPalette palette = before;
        palette.setColor(QPalette::WindowText, text);
        QApplication::setPalette(palette); // as the desktop sets it before the program starts
        Start();
        LeaveRecoveryFile(dir.path(), 3);
        rig->prompts.answers = {0}; // Open
        ASSERT_TRUE(Page().OfferLeftOverRun([] {}));
        auto* label = Child<QLabel>(rig->page.get(), "LblDig1");
        Page().show();
        const QImage shot = label->grab().toImage();
        int written = 0;
        for (int i = 0; i < shot.width() * shot.height(); ++i)
            written += shot.pixelColor(i % shot.width(), i / shot.width()) == text;
        EXPECT_GT(written, 5) << "the name in " << text.name().toStdString();
        EXPECT_EQ(shot.pixelColor(1, shot.height() / 2), QColor(0, 128, 0)) << "the trace's bar";
        rig.reset();
    }
    QApplication::setPalette(before);
}
