// The log chart on the offscreen platform: points and running extents, ranges, the mouse
// gestures and their signals, cursors and redraws, printing and export.
#include "logchart.h"
#include "logfile.h"
#include "pixelcount.h"
#include "smalldisk.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "printqstring.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

constexpr double kTolerance = 1e-9;

class LogChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_chart.SetUpLogTraces();
        m_chart.resize(800, 500);
        m_chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_chart));
        m_chart.RedrawNow();
    }

    QPoint PlotPoint(double fx, double fy) const
    {
        const QRect plot = m_chart.PlotRect();
        return {plot.left() + int(plot.width() * fx), plot.top() + int(plot.height() * fy)};
    }

    void Drag(Qt::MouseButton button, const QPoint& from, const QPoint& to,
              Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(&m_chart, button, modifiers, from);
        QTest::mouseMove(&m_chart, (from + to) / 2);
        QTest::mouseMove(&m_chart, to);
        QTest::mouseRelease(&m_chart, button, modifiers, to);
    }

    TLogChart m_chart;
};

TEST_F(LogChartTest, StartsAsTheLogPageWantsIt)
{
    EXPECT_EQ(m_chart.TraceCount(), 5);
    EXPECT_EQ(m_chart.AxisTitle(TChartAxis::Bottom), "Time (secs)");
    const TAxisRange time = m_chart.Range(TChartAxis::Bottom);
    const TAxisRange weight = m_chart.Range(TChartAxis::Left);
    const TAxisRange digital = m_chart.Range(TChartAxis::Right);
    EXPECT_EQ(time.min, 0.0);
    EXPECT_EQ(time.max, 100.0);
    EXPECT_EQ(weight.min, -10.0);
    EXPECT_EQ(weight.max, 526.0);
    EXPECT_EQ(digital.min, -1.0);
    EXPECT_EQ(digital.max, 6.0);
    // The weight axis leaves 2 % of the height free at either end, the time axis 1 %.
    const QRect plot = m_chart.PlotRect();
    EXPECT_GE(plot.top(), 10);
    EXPECT_LE(plot.bottom(), 490);
    EXPECT_GE(plot.left(), 8);
    EXPECT_LE(plot.right(), 792);
}

TEST_F(LogChartTest, PointsAreReadAndClearedThroughTheTraceInterfaces)
{
    ITraceSink& sink = m_chart;
    const ITraceSource& source = m_chart;
    sink.AddPoint(0, 0.0, 10.0);
    sink.AddPoint(0, 0.1, 12.5);
    sink.AddPoint(3, 0.1, 4.0);
    sink.AddPoint(7, 0.1, 4.0); // no such trace
    EXPECT_EQ(source.PointCount(0), 2);
    EXPECT_EQ(source.PointCount(3), 1);
    EXPECT_EQ(source.PointCount(7), 0);
    EXPECT_EQ(source.Point(0, 1).value, 12.5);
    EXPECT_EQ(source.Point(0, 5).value, 0.0);
    sink.ClearTraces();
    EXPECT_EQ(source.PointCount(0), 0);
    EXPECT_FALSE(m_chart.Extent(0));
}

TEST_F(LogChartTest, LogFileRoundTripsThroughTheChart)
{
    const QByteArray text = "c\r\nTime,Weight(kg),CofZ,,Net\r\n"
                            "0.00,1.50,1.00,,0.00\r\n"
                            "0.10,-2.25,0.00,,1.00\r\n";
    ASSERT_TRUE(logfile::Parse(text, m_chart).ok);
    EXPECT_EQ(m_chart.PointCount(1), 2);
    EXPECT_EQ(m_chart.Point(3, 1).value, 4.0) << "column 5 onto trace 3 at its baseline";
    QByteArray rows;
    for (qsizetype i = 0; i < m_chart.PointCount(0); ++i)
        logfile::AppendRow(rows, m_chart, i, 2);
    EXPECT_EQ(rows, "0.00,1.50,1.00,0.00\r\n0.10,-2.25,0.00,1.00\r\n");
}

// A file's points taken in one piece end up as they would one by one: times out of order
// sorted the same way, the extents and the scaling the same.
TEST_F(LogChartTest, FilePointsTakenWholeEqualPointsTakenOneByOne)
{
    const QByteArray text = "c\r\nTime,Weight(kg),CofZ\r\n"
                            "0.30,3.00,1.00\r\n"
                            "0.10,1.00,0.00\r\n"
                            "0.10,1.50,1.00\r\n"
                            "0.20,-4.00,\r\n"
                            "0.00,9.00,0.00\r\n";
    TLogChart single;
    single.SetUpLogTraces();
    single.SetAutoScale(TChartAxis::Left, true);
    m_chart.SetAutoScale(TChartAxis::Left, true);
    for (const auto& [time, weight, cofz] :
         {std::tuple(0.3, 3.0, 1.0), std::tuple(0.1, 1.0, 0.0), std::tuple(0.1, 1.5, 1.0),
          std::tuple(0.2, -4.0, -1.0), std::tuple(0.0, 9.0, 0.0)}) {
        single.AddPoint(0, time, weight);
        if (cofz >= 0)
            single.AddPoint(1, time, cofz + 0.0);
    }
    ASSERT_TRUE(logfile::Parse(text, m_chart).ok);
    for (int trace : {0, 1}) {
        ASSERT_EQ(m_chart.PointCount(trace), single.PointCount(trace)) << "trace " << trace;
        for (qsizetype i = 0; i < single.PointCount(trace); ++i) {
            EXPECT_EQ(m_chart.Point(trace, i).time, single.Point(trace, i).time);
            EXPECT_EQ(m_chart.Point(trace, i).value, single.Point(trace, i).value);
        }
        EXPECT_EQ(m_chart.Extent(trace)->minTime, single.Extent(trace)->minTime);
        EXPECT_EQ(m_chart.Extent(trace)->maxValue, single.Extent(trace)->maxValue);
    }
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).min, single.Range(TChartAxis::Left).min);
    EXPECT_EQ(m_chart.Range(TChartAxis::Bottom).max, single.Range(TChartAxis::Bottom).max);

    int calls = 0;
    const auto cancel = [&calls](double) { return ++calls > 1; };
    QByteArray many = "c\r\nTime,Weight(kg)\r\n";
    for (int i = 0; i < 40000; ++i)
        many += QByteArray::number(i) + ".00,1.00\r\n";
    EXPECT_TRUE(logfile::Parse(many, m_chart, cancel).cancelled);
    EXPECT_EQ(m_chart.PointCount(0), 0) << "a cancelled file leaves nothing half read";
    m_chart.AddPoint(0, 1.0, 2.0);
    EXPECT_EQ(m_chart.PointCount(0), 1) << "and points go straight in again";
}

TEST_F(LogChartTest, AutomaticScalingFollowsTheRunningExtremes)
{
    m_chart.SetAutoScale(TChartAxis::Left, true);
    for (double w : {5.0, -3.0, 12.0, 7.0})
        m_chart.AddPoint(0, 1.0, w);
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).min, -3.0);
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).max, 12.0);
    const auto extent = m_chart.Extent(0);
    ASSERT_TRUE(extent);
    EXPECT_EQ(extent->maxValue, 12.0);
    EXPECT_EQ(m_chart.Range(TChartAxis::Right).max, 6.0) << "the digital axis is not touched";

    m_chart.SetAutoScale(TChartAxis::Left, false);
    m_chart.AddPoint(0, 2.0, 100.0);
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).max, 12.0) << "fixed again, keeps its range";
    m_chart.SetAutoScale(TChartAxis::Left, true);
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).max, 100.0);
}

// An empty scale logged for 30 s: the axis spans a few divisions around the trace, not the
// 1e-10 around it that labels every tick "0.0"; a weight that moves is spanned exactly again.
TEST_F(LogChartTest, AutomaticScalingGivesAFlatWeightAFewDivisions)
{
    m_chart.SetAutoScale(TChartAxis::Left, true);
    m_chart.SetDivision(TChartAxis::Left, 0.1);
    for (int i = 0; i < 300; ++i)
        m_chart.AddPoint(0, i * 0.1, 0.0);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Left).min, -0.3, 1e-9);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Left).max, 0.3, 1e-9);
    m_chart.AddPoint(0, 30.0, 2.0);
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).min, 0.0);
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).max, 2.0);
}

TEST_F(LogChartTest, RangesSwapReversedBoundsAndWidenTinySpans)
{
    m_chart.SetAutoScale(TChartAxis::Left, true);
    m_chart.SetRange(TChartAxis::Left, 50.0, -5.0);
    EXPECT_FALSE(m_chart.AutoScale(TChartAxis::Left));
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).min, -5.0);
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).max, 50.0);
    m_chart.SetRange(TChartAxis::Left, 7.0, 7.0);
    const TAxisRange flat = m_chart.Range(TChartAxis::Left);
    EXPECT_EQ(flat.min, 7.0);
    EXPECT_NEAR(flat.max - flat.min, 1e-10, 1e-12);
}

TEST_F(LogChartTest, DragToTheLowerRightZoomsAndToTheUpperLeftUndoes)
{
    QSignalSpy zoomed(&m_chart, &TLogChart::Zoomed);
    QSignalSpy undone(&m_chart, &TLogChart::ZoomUndone);
    m_chart.SetAutoScale(TChartAxis::Left, true);
    m_chart.AddPoint(0, 0.0, 0.0);
    m_chart.AddPoint(0, 50.0, 200.0);
    const TAxisRange timeBefore = m_chart.Range(TChartAxis::Bottom);
    const QPoint from = PlotPoint(0.25, 0.25);
    const QPoint to = PlotPoint(0.5, 0.75);
    const QPointF a = m_chart.PixelToValue(from);
    const QPointF b = m_chart.PixelToValue(to);
    Drag(Qt::LeftButton, from, to);
    ASSERT_EQ(zoomed.count(), 1);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Bottom).min, a.x(), kTolerance);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Bottom).max, b.x(), kTolerance);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Left).min, b.y(), kTolerance);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Left).max, a.y(), kTolerance);
    EXPECT_FALSE(m_chart.AutoScale(TChartAxis::Left));

    Drag(Qt::LeftButton, PlotPoint(0.6, 0.6), PlotPoint(0.3, 0.3));
    ASSERT_EQ(undone.count(), 1);
    EXPECT_EQ(zoomed.count(), 1);
    EXPECT_EQ(m_chart.Range(TChartAxis::Bottom).min, timeBefore.min);
    EXPECT_EQ(m_chart.Range(TChartAxis::Bottom).max, timeBefore.max);
    EXPECT_TRUE(m_chart.AutoScale(TChartAxis::Left)) << "automatic scaling comes back";
    EXPECT_EQ(m_chart.Range(TChartAxis::Left).max, 200.0);
}

TEST_F(LogChartTest, RightDragPansAndUndoZoomReturns)
{
    QSignalSpy panned(&m_chart, &TLogChart::Panned);
    QSignalSpy zoomed(&m_chart, &TLogChart::Zoomed);
    const TAxisRange before = m_chart.Range(TChartAxis::Bottom);
    const QPoint from = PlotPoint(0.5, 0.5);
    const QPoint to = PlotPoint(0.25, 0.5);
    const double shift = m_chart.PixelToValue(from).x() - m_chart.PixelToValue(to).x();
    Drag(Qt::RightButton, from, to);
    EXPECT_GE(panned.count(), 1);
    EXPECT_EQ(zoomed.count(), 0);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Bottom).min, before.min + shift, 1e-6);
    EXPECT_NEAR(m_chart.Range(TChartAxis::Left).min, -10.0, 1e-6) << "moved sideways only";
    m_chart.UndoZoom();
    EXPECT_EQ(m_chart.Range(TChartAxis::Bottom).min, before.min);
}

TEST_F(LogChartTest, ShortDragsShiftClicksAndAFixedChartChangeNothing)
{
    QSignalSpy zoomed(&m_chart, &TLogChart::Zoomed);
    QSignalSpy undone(&m_chart, &TLogChart::ZoomUndone);
    QSignalSpy panned(&m_chart, &TLogChart::Panned);
    QSignalSpy down(&m_chart, &TLogChart::MouseDown);
    Drag(Qt::LeftButton, PlotPoint(0.5, 0.5), PlotPoint(0.5, 0.5) + QPoint(2, 2));
    Drag(Qt::LeftButton, PlotPoint(0.2, 0.2), PlotPoint(0.6, 0.6), Qt::ShiftModifier);
    ASSERT_EQ(down.count(), 2);
    EXPECT_EQ(down.at(1).at(2).value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    m_chart.SetInteractive(false);
    Drag(Qt::LeftButton, PlotPoint(0.2, 0.2), PlotPoint(0.6, 0.6));
    Drag(Qt::RightButton, PlotPoint(0.6, 0.6), PlotPoint(0.2, 0.2));
    EXPECT_EQ(zoomed.count() + undone.count() + panned.count(), 0);
    EXPECT_EQ(down.count(), 4);
    EXPECT_EQ(m_chart.Range(TChartAxis::Bottom).max, 100.0);
}

TEST_F(LogChartTest, CursorsShowWithoutARedrawAndARedrawWipesThem)
{
    QSignalSpy afterDraw(&m_chart, &TLogChart::AfterDraw);
    m_chart.ShowCursor(0, PlotPoint(0.3, 0.3));
    m_chart.ShowCursor(1, PlotPoint(0.6, 0.6));
    EXPECT_TRUE(m_chart.CursorShown(0));
    EXPECT_TRUE(m_chart.CursorShown(1));
    EXPECT_EQ(afterDraw.count(), 0);
    m_chart.HideCursor(1);
    EXPECT_FALSE(m_chart.CursorShown(1));
    m_chart.RedrawNow();
    EXPECT_EQ(afterDraw.count(), 1);
    EXPECT_FALSE(m_chart.CursorShown(0));
}

TEST_F(LogChartTest, PixelsAndValuesConvertBothWays)
{
    const QPointF value = m_chart.PixelToValue(PlotPoint(0.5, 0.5));
    const QPointF pixel = m_chart.ValueToPixel(value.x(), value.y());
    EXPECT_NEAR(pixel.x(), PlotPoint(0.5, 0.5).x(), 1e-6);
    EXPECT_NEAR(pixel.y(), PlotPoint(0.5, 0.5).y(), 1e-6);
    const QPointF corner = m_chart.PixelToValue(m_chart.PlotRect().bottomLeft());
    EXPECT_NEAR(corner.x(), 0.0, 0.2);
    EXPECT_NEAR(corner.y(), -10.0, 1.2);
}

TEST_F(LogChartTest, PrintsIntoARectangleOfAPdfPrinterAndKeepsItsLayout)
{
    for (int i = 0; i < 1000; ++i)
        m_chart.AddPoint(0, i * 0.1, i % 100);
    const QRect plotBefore = m_chart.PlotRect();
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("chart.pdf"));
    QPainter painter;
    ASSERT_TRUE(painter.begin(&printer));
    const QRect page = painter.viewport();
    const QRect target(page.width() / 20, page.height() / 10, page.width() * 9 / 10,
                       page.height() * 8 / 10);
    EXPECT_TRUE(m_chart.Render(painter, target));
    painter.end();
    QFile pdf(dir.filePath("chart.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_GT(pdf.size(), 2000);
    EXPECT_EQ(m_chart.PlotRect(), plotBefore);
}

TEST_F(LogChartTest, RenderedChartFitsItsTargetAtAnyResolution)
{
    for (int i = 0; i <= 1000; ++i)
        m_chart.AddPoint(0, i * 0.1, 200.0); // across the whole time axis
    for (int dpi : {96, 150, 300}) {
        QImage page(1600, 1100, QImage::Format_RGB32);
        page.fill(Qt::gray);
        page.setDotsPerMeterX(int(dpi / 0.0254));
        page.setDotsPerMeterY(int(dpi / 0.0254));
        const QRect target(80, 110, 1440, 880);
        QPainter painter(&page);
        ASSERT_TRUE(m_chart.Render(painter, target));
        painter.end();
        int lastRed = -1;
        int darkBelowPlot = 0;
        for (int y = target.top(); y <= target.bottom(); ++y)
            for (int x = target.left(); x <= target.right(); ++x) {
                const QRgb pixel = page.pixel(x, y);
                if (pixel == qRgb(255, 0, 0))
                    lastRed = std::max(lastRed, x);
                else if (y > target.bottom() - target.height() / 12 && qGray(pixel) < 64)
                    ++darkBelowPlot;
            }
        // The time axis ends 1 % of the width short of the right edge; its title and labels
        // sit in the bottom strip.
        EXPECT_LT(lastRed, target.right() - target.width() / 200) << dpi << " dpi";
        EXPECT_GT(lastRed, target.right() - target.width() / 20) << dpi << " dpi";
        EXPECT_GT(darkBelowPlot, 50) << dpi << " dpi";
        EXPECT_EQ(page.pixel(target.left() - 1, target.top() - 1), QColor(Qt::gray).rgb());
    }
}

TEST_F(LogChartTest, ExportsPngAndPdfAtAGivenSize)
{
    for (int i = 0; i < 100; ++i)
        m_chart.AddPoint(0, i, 100 + i);
    QTemporaryDir dir;
    ASSERT_TRUE(m_chart.ExportPng(dir.filePath("chart.png"), QSize(640, 400)));
    const QImage image(dir.filePath("chart.png"));
    ASSERT_EQ(image.size(), QSize(640, 400));
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += image.pixel(x, y) == qRgb(255, 0, 0);
    EXPECT_GT(red, 50) << "the weight trace is drawn";
    EXPECT_TRUE(m_chart.ExportPdf(dir.filePath("chart.pdf"), QSize(640, 400)));
    EXPECT_GT(QFile(dir.filePath("chart.pdf")).size(), 1000);
}

// Made in memory, then written whole or not at all.
TEST_F(LogChartTest, ExportToAFullOrReadOnlyDiskKeepsTheEarlierFile)
{
    for (int i = 0; i < 100; ++i)
        m_chart.AddPoint(0, i, 100 + (i * 37) % 50);
    QString error;
    for (const bool pdf : {false, true}) {
        SKIP_UNLESS_RUN(OnSmallDisks("chart", "earlier chart", [&](TSmallDisk& disk) {
            const QString path = disk.Path("chart");
            EXPECT_FALSE(pdf ? m_chart.ExportPdf(path, QSize(1600, 1000), &error)
                             : m_chart.ExportPng(path, QSize(1600, 1000), &error));
            return error;
        }));
    }
}

TEST(LogChartExtrasTest, FactoryStyleTracesTitleAndLegend)
{
    TLogChart chart;
    chart.resize(600, 400);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    EXPECT_EQ(chart.AddTrace(TTraceStyle::Stairs, QColor(0, 128, 255), TChartAxis::Left,
                             QStringLiteral("Trade Limits")),
              0);
    EXPECT_EQ(chart.AddTrace(TTraceStyle::Stars, Qt::green, TChartAxis::Left, " "), 1);
    chart.AddPoint(1, 0.4, 0.4);
    chart.SetAutoScale(TChartAxis::Left, true);
    chart.SetGridVisible(false);
    chart.SetInteractive(false);
    chart.RedrawNow();
    const int fullHeight = chart.PlotRect().height();
    chart.SetTitleLines({QStringLiteral("Test Results for Serial #93123456"), "16/02/2005"});
    chart.SetLegendVisible(true);
    chart.RedrawNow();
    EXPECT_LT(chart.PlotRect().height(), fullHeight - 40);
    chart.SetTitleLines({});
    chart.SetLegendVisible(false);
    chart.RedrawNow();
    EXPECT_EQ(chart.PlotRect().height(), fullHeight);
}

} // namespace

namespace {

// The digital channels in labelled lanes above the plot: there while a channel has a name,
// on an axis that a weight rescaling, a zoom or a pan leaves alone.
TEST_F(LogChartTest, NamedChannelsGetLanesOfTheirOwnAboveThePlot)
{
    const int plotTop = m_chart.PlotRect().top();
    m_chart.SetTraceName(1, QStringLiteral("CofZ"));
    m_chart.SetTraceName(3, QStringLiteral("Motion"));
    m_chart.SetAutoScale(TChartAxis::Left, true);
    for (int i = 0; i < 100; ++i) {
        m_chart.AddPoint(0, i, i % 7 == 0 ? 500 : 2);
        m_chart.AddPoint(1, i, (i / 10) % 2);
        m_chart.AddPoint(3, i, 3 + (i / 20) % 2);
    }
    m_chart.RedrawNow();
    const QRect plot = m_chart.PlotRect();
    EXPECT_GT(plot.top(), plotTop + 40) << "the lanes take room above the plot";
    const TAxisRange lanes = m_chart.Range(TChartAxis::Right);
    EXPECT_EQ(lanes.min, -0.25) << "from below the first named lane";
    EXPECT_EQ(lanes.max, 4.25) << "to above the last";
    const QImage shown = m_chart.grab().toImage();
    const QRect above(plot.left(), 0, plot.width(), plot.top());
    EXPECT_GT(CountHue(shown, above, THue::Green), 300) << "CofZ in its lane";
    EXPECT_GT(CountHue(shown, above, THue::Red), 300) << "Motion in its lane";
    EXPECT_EQ(CountHue(shown, plot, THue::Green), 0) << "not among the weights";

    QTest::mousePress(&m_chart, Qt::LeftButton, {}, PlotPoint(0.2, 0.2));
    QTest::mouseMove(&m_chart, PlotPoint(0.6, 0.7));
    QTest::mouseRelease(&m_chart, Qt::LeftButton, {}, PlotPoint(0.6, 0.7));
    m_chart.AddPoint(0, 100, 9000);
    m_chart.UndoZoom();
    EXPECT_EQ(m_chart.Range(TChartAxis::Right).min, lanes.min);
    EXPECT_EQ(m_chart.Range(TChartAxis::Right).max, lanes.max);

    m_chart.SetTraceName(1, QString());
    m_chart.SetTraceName(3, QString());
    m_chart.RedrawNow();
    EXPECT_EQ(m_chart.PlotRect().top(), plotTop) << "no named channel, no lanes";
}

// Under a dark palette the chart is dark with light text and traces lightened until they
// stand out; on paper it is black on white whatever the screen's palette.
TEST_F(LogChartTest, FollowsThePaletteOnScreenAndIsBlackOnWhiteOnPaper)
{
    for (int i = 0; i < 100; ++i)
        m_chart.AddPoint(0, i, 100 + i);
    QPalette dark = m_chart.palette();
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    m_chart.setPalette(dark);
    m_chart.RedrawNow();
    const QImage shown = m_chart.grab().toImage();
    EXPECT_EQ(shown.pixel(m_chart.PlotRect().center() + QPoint(3, 7)), qRgb(30, 30, 30));
    for (int trace = 0; trace < m_chart.TraceCount(); ++trace)
        EXPECT_GE(chartcolours::Contrast(m_chart.TraceColour(trace), QColor(30, 30, 30)), 3.0)
            << "trace " << trace;
    EXPECT_NE(m_chart.TraceColour(2), QColor(0, 0, 255)) << "blue is lightened";

    QTemporaryDir dir;
    ASSERT_TRUE(m_chart.ExportPng(dir.filePath("chart.png"), QSize(640, 400)));
    const QImage paper(dir.filePath("chart.png"));
    EXPECT_EQ(paper.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_GT(CountHue(paper, paper.rect(), THue::Red), 50);
    EXPECT_EQ(m_chart.TraceColour(2), chartcolours::Legible(QColor(0, 0, 255), QColor(30, 30, 30)))
        << "the screen's colours come back";
}

TEST(ChartColoursTest, ColoursThatStandOutAreKeptOthersMadeLegible)
{
    const struct
    {
        QColor colour;
        QColor background;
        bool kept;
    } cases[] = {
        {QColor(255, 0, 0), Qt::white, true},           {QColor(0, 0, 255), Qt::white, true},
        {QColor(128, 0, 0), Qt::white, true},           {QColor(255, 255, 0), Qt::white, false},
        {QColor(0, 0, 255), QColor(30, 30, 30), false}, {QColor(128, 0, 128), Qt::black, false},
        {QColor(255, 0, 0), QColor(30, 30, 30), true},
    };
    for (const auto& c : cases) {
        const QColor legible = chartcolours::Legible(c.colour, c.background);
        EXPECT_GE(chartcolours::Contrast(legible, c.background), 3.0)
            << c.colour.name().toStdString();
        EXPECT_EQ(legible == c.colour, c.kept) << c.colour.name().toStdString();
    }
    const TChartColours screen = chartcolours::FromPalette(QPalette(Qt::white));
    EXPECT_EQ(chartcolours::Paper().grid, QColor(192, 192, 192)) << "silver on white";
    EXPECT_EQ(chartcolours::Contrast(Qt::black, Qt::white), 21.0);
    EXPECT_TRUE(screen.background.isValid());
}

} // namespace
