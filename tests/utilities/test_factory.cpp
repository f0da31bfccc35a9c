// The Factory Test Results window: what the menu command shows, a valid record's points on
// the chart, and a chart that cannot be zoomed.
#include "factory.h"
#include "findchild.h"
#include "logchart.h"
#include "modaldriver.h"
#include "recordingprompts.h"

#include <QImage>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

constexpr double kTolerance = 1e-9;
const QString kNotAvailable = QStringLiteral("Test Results not available for this Instrument");

enum Trace
{
    UpperLimits,
    LowerLimits,
    PointsA,
    PointsB
};

// The worked example: 61 bytes, two test points at 20 and 251 degrees.
QString ExampleRecord()
{
    const std::map<int, int> bytes = {{1, 1},     {2, 5},    {3, 2},     {4, 16},    {5, 3},
                                      {6, 2},     {7, 0xA5}, {8, 100},   {9, 70},    {10, 10},
                                      {11, 20},   {19, 20},  {21, 0x0A}, {22, 0xFA}, {30, 0xFB},
                                      {32, 0x05}, {33, 0x80}};
    QString text;
    for (int n = 1; n <= 61; ++n) {
        const auto it = bytes.find(n);
        text += QStringLiteral("%1").arg(it == bytes.end() ? 0 : it->second, 2, 16, QChar(u'0'));
    }
    return text.toUpper();
}

TLogChart& Chart(QWidget& window)
{
    return *Child<TLogChart>(&window, "ChtTest");
}

QString ZeroResult(QWidget& window)
{
    return Child<QLabel>(&window, "LblZeroResult")->text();
}

void ExpectEnvelopeAlone(TFrmFactory& window)
{
    TLogChart& chart = Chart(window);
    EXPECT_EQ(chart.PointCount(UpperLimits), 5);
    EXPECT_EQ(chart.PointCount(LowerLimits), 5);
    EXPECT_EQ(chart.Point(UpperLimits, 3).value, 0.75);
    EXPECT_EQ(chart.Point(LowerLimits, 2).value, -0.5);
    EXPECT_EQ(chart.PointCount(PointsA), 0);
    EXPECT_EQ(chart.PointCount(PointsB), 0);
    EXPECT_TRUE(chart.AutoScale(TChartAxis::Left));
    EXPECT_EQ(chart.Range(TChartAxis::Left).min, -0.75);
    EXPECT_EQ(chart.Range(TChartAxis::Left).max, 0.75);
    EXPECT_EQ(chart.AxisTitle(TChartAxis::Left), "");
    EXPECT_EQ(ZeroResult(window), "");
}

TEST(FactoryWindow, MenuCommandSaysNotAvailableThenShowsTheEnvelope)
{
    RecordingPrompts prompts;
    QStringList messagesWhenShown;
    bool checked = false;
    WhenShown<TFrmFactory>([&](TFrmFactory& shown) {
        messagesWhenShown = prompts.messages;
        EXPECT_EQ(shown.windowTitle(), "Factory Test Results");
        ExpectEnvelopeAlone(shown);
        checked = true;
        QTest::keyClick(&shown, Qt::Key_Return); // Ok is the default button
    });
    TFrmFactory::FactoryTestResults1Click(prompts);
    EXPECT_TRUE(checked);
    EXPECT_EQ(messagesWhenShown, QStringList{kNotAvailable}) << "the message comes first";
    EXPECT_EQ(prompts.messages, QStringList{kNotAvailable});
}

class FactoryWindowShown : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(720, 520);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    RecordingPrompts prompts;
    TFrmFactory window{prompts};
};

TEST_F(FactoryWindowShown, ValidRecordPlotsItsPointsOnAFixedErrorAxis)
{
    ASSERT_TRUE(window.ShowFactoryResults(ExampleRecord(), QStringLiteral("93123456")));
    EXPECT_TRUE(prompts.messages.isEmpty());
    TLogChart& chart = Chart(window);
    const double expected[][2] = {{0, 0}, {0.4, 0.4}, {0.8, -0.24}};
    ASSERT_EQ(chart.PointCount(PointsA), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(chart.Point(PointsA, i).time, expected[i][0], kTolerance);
        EXPECT_NEAR(chart.Point(PointsA, i).value, expected[i][1], kTolerance);
    }
    EXPECT_NEAR(chart.Point(PointsB, 2).value, -5.12, kTolerance);
    EXPECT_FALSE(chart.AutoScale(TChartAxis::Left));
    EXPECT_NEAR(chart.Range(TChartAxis::Left).min, -5.632, kTolerance);
    EXPECT_NEAR(chart.Range(TChartAxis::Left).max, 0.825, kTolerance);
    EXPECT_EQ(chart.Range(TChartAxis::Bottom).max, 10000.0) << "the envelope's width";
    EXPECT_EQ(chart.AxisTitle(TChartAxis::Left), " Error (0.70 uV per division)");
    EXPECT_EQ(chart.AxisTitle(TChartAxis::Bottom), " Divisions (0.70 uV per division)");
    EXPECT_EQ(ZeroResult(window), "Maximum Zero Drift = 0.00 microvolts/degree celcius");

    chart.RedrawNow();
    const QImage image = chart.grab().toImage();
    int green = 0;
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            // Crosses are drawn smoothed: count what is clearly red or green.
            const QColor c = image.pixelColor(x, y);
            green += c.green() > 90 && c.red() < 80 && c.blue() < 80;
            red += c.red() > 180 && c.green() < 100 && c.blue() < 100;
        }
    EXPECT_GT(green, 4) << "the stars are drawn";
    EXPECT_GT(red, 4) << "and the crosses";
}

TEST_F(FactoryWindowShown, ChartCannotBeZoomedOrPanned)
{
    ASSERT_TRUE(window.ShowFactoryResults(ExampleRecord(), QStringLiteral("1")));
    TLogChart& chart = Chart(window);
    chart.RedrawNow();
    const TAxisRange before = chart.Range(TChartAxis::Left);
    const QRect plot = chart.PlotRect();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QTest::mousePress(&chart, button, {}, plot.topLeft() + QPoint(20, 20));
        QTest::mouseMove(&chart, plot.center());
        QTest::mouseRelease(&chart, button, {}, plot.center());
    }
    EXPECT_EQ(chart.Range(TChartAxis::Left).min, before.min);
    EXPECT_EQ(chart.Range(TChartAxis::Left).max, before.max);
    EXPECT_EQ(chart.Range(TChartAxis::Bottom).max, 10000.0);
}

TEST_F(FactoryWindowShown, RefusedRecordAfterAGoodOneLeavesTheEnvelopeAlone)
{
    ASSERT_TRUE(window.ShowFactoryResults(ExampleRecord(), QStringLiteral("1")));
    EXPECT_FALSE(window.ShowFactoryResults(TFrmFactory::kMenuRecord, TFrmFactory::kMenuSerial));
    ExpectEnvelopeAlone(window);
    EXPECT_EQ(prompts.messages, QStringList{kNotAvailable});
    EXPECT_FALSE(window.ShowFactoryResults(ExampleRecord().left(19), QStringLiteral("1")));
    EXPECT_EQ(prompts.messages.size(), 1) << "too short to be a record: not a word";
}

} // namespace
