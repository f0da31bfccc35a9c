// What the user does to the log chart: crosshair cursors and their read-out, the zoom, undo
// and pan flag with the digital axis put back, arrow keys only while the page is in front,
// and fitting the chart to its data.
#include "chartinteraction.h"
#include "findchild.h"
#include "logchart.h"
#include "printqstring.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <utility>

namespace {

class ChartInteraction : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto* layout = new QVBoxLayout(&page);
        layout->addWidget(chart);
        layout->addWidget(readout);
        layout->addWidget(edit);
        chart->SetUpLogTraces();
        chart->SetLabelFormat(TChartAxis::Left, labelformat::LabelFormatFor(2));
        page.resize(900, 600);
        page.show();
        page.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
        chart->RedrawNow();
    }

    // The pixel nearest to a value; the test needs it to read back within `tolerance`.
    QPoint PixelAt(double time, double weight)
    {
        const QPoint pixel = chart->ValueToPixel(time, weight).toPoint();
        const QPointF back = chart->PixelToValue(pixel);
        EXPECT_NEAR(back.x(), time, 0.004);
        EXPECT_NEAR(back.y(), weight, 0.0004);
        return pixel;
    }
    void Click(const QPoint& at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mouseClick(chart, button, modifiers, at);
    }
    void Drag(Qt::MouseButton button, const QPoint& from, const QPoint& to)
    {
        QTest::mousePress(chart, button, {}, from);
        QTest::mouseMove(chart, to);
        QTest::mouseRelease(chart, button, {}, to);
    }

    QWidget page;
    TLogChart* chart = new TLogChart;
    QLabel* readout = new QLabel;
    QLineEdit* edit = new QLineEdit(QStringLiteral("text"));
    int resets = 0;
    TChartInteraction interaction{*chart, *readout, page,
                                  [this] {
                                      ++resets;
                                      chart->SetRange(TChartAxis::Right, -1, 6);
                                  },
                                  [] { return QStringLiteral("kg"); }};
};

// The read-out gives the trace's weight at the clicked time, not the weight under the mouse.
TEST_F(ChartInteraction, ShiftClicksReadTheTraceAtATimeThenTheChangeOverASpan)
{
    // Fine enough scales that a pixel reads back to the label's last decimal.
    page.resize(1700, 2600);
    for (const auto& [time, weight] :
         {std::pair(0.0, 12.0), std::pair(3.0, 12.4), std::pair(3.4, 12.6), std::pair(4.8, 11.75),
          std::pair(8.0, 12.0)})
        chart->AddPoint(traces::Weight, time, weight);
    chart->SetRange(TChartAxis::Bottom, 0, 8);
    chart->SetRange(TChartAxis::Left, 11.7, 12.6);
    chart->RedrawNow();
    Click(PixelAt(3.2, 11.9), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "12.50 kg   at   3.2 sec");
    EXPECT_TRUE(chart->CursorShown(0));
    Click(PixelAt(4.8, 12.3), Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "0.75 kg   over   1.6 secs");
    EXPECT_TRUE(chart->CursorShown(0)) << "Shift + right keeps the first cursor";
    EXPECT_TRUE(chart->CursorShown(1));
    Click(PixelAt(2.0, 12.0), Qt::LeftButton);
    EXPECT_EQ(readout->text(), "");
    EXPECT_FALSE(chart->CursorShown(0));
    EXPECT_FALSE(chart->CursorShown(1));
    chart->SetRange(TChartAxis::Bottom, 0, 10);
    chart->RedrawNow();
    Click(PixelAt(9.0, 12.0), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "no weight   at   9 sec") << "after the last sample";
}

// Shift+arrows move the first cursor from sample to sample, Ctrl+Shift+arrows the second,
// scrolling the time axis when a cursor leaves the view; Escape removes them, Home shows the
// whole run.
TEST_F(ChartInteraction, CursorsAreMovedByKeyboardFromSampleToSample)
{
    for (int i = 0; i <= 20; ++i)
        chart->AddPoint(traces::Weight, i * 0.5, 100 + i);
    chart->SetRange(TChartAxis::Bottom, 0, 10);
    chart->RedrawNow();
    chart->setFocus();
    QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "110.00 kg   at   5 sec") << "placed mid-view";
    QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "111.00 kg   at   5.5 sec");
    QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(readout->text(), "2.00 kg   over   1 secs");
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).min, 0.0) << "the cursor keys do not scroll";
    QTest::keyClick(chart, Qt::Key_Escape);
    EXPECT_EQ(readout->text(), "");
    EXPECT_FALSE(chart->CursorShown(0));

    chart->SetRange(TChartAxis::Bottom, 0, 2);
    chart->RedrawNow();
    for (int press = 0; press < 4; ++press)
        QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "105.00 kg   at   2.5 sec");
    EXPECT_TRUE(chart->CursorShown(0));
    EXPECT_NEAR(chart->Range(TChartAxis::Bottom).max, 2.7, 1e-9) << "scrolled into view";
    QTest::keyClick(chart, Qt::Key_Home);
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).max, 10.0);
    QTest::keyClick(chart, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_FALSE(readout->text().isEmpty());
    interaction.ClearCursors();
    EXPECT_EQ(readout->text(), "") << "another log opened";
    EXPECT_FALSE(chart->CursorShown(0));
}

TEST_F(ChartInteraction, ShiftClickOutsideThePlotOnlyRemovesTheCursors)
{
    const QRect plot = chart->PlotRect();
    Click(plot.center(), Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_FALSE(readout->text().isEmpty());
    Click(plot.bottomRight() + QPoint(3, 3), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "");
    EXPECT_FALSE(chart->CursorShown(0));
}

TEST_F(ChartInteraction, RedrawWipesTheCursorsButTheReadoutStaysUntilTheNextClick)
{
    const QRect plot = chart->PlotRect();
    Click(plot.center(), Qt::LeftButton, Qt::ShiftModifier);
    const QString text = readout->text();
    chart->RedrawNow();
    EXPECT_FALSE(chart->CursorShown(0));
    EXPECT_EQ(readout->text(), text);
    Click(plot.center() + QPoint(40, 40), Qt::RightButton, Qt::ShiftModifier);
    EXPECT_EQ(readout->text(), "") << "no first cursor any more";
    EXPECT_TRUE(chart->CursorShown(1));
}

TEST_F(ChartInteraction, ZoomAndPanStopTheFollowingUntilTheZoomIsUndone)
{
    const QRect plot = chart->PlotRect();
    const QPoint centre = plot.center();
    chart->SetRange(TChartAxis::Right, 0, 1);
    Drag(Qt::LeftButton, centre, centre + QPoint(80, 60));
    EXPECT_TRUE(interaction.UserZoomed());
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(chart->Range(TChartAxis::Right).min, -1.0) << "the digital axis is put back";
    Drag(Qt::LeftButton, centre, centre - QPoint(80, 60));
    EXPECT_FALSE(interaction.UserZoomed());
    EXPECT_EQ(resets, 2);
    Drag(Qt::RightButton, centre, centre + QPoint(30, 0));
    EXPECT_TRUE(interaction.UserZoomed());
    interaction.ClearUserZoomed();
    EXPECT_FALSE(interaction.UserZoomed());
}

TEST_F(ChartInteraction, ArrowKeysMoveAnAxisByATenthWhileThePageIsInFront)
{
    chart->SetAutoScale(TChartAxis::Left, true);
    chart->AddPoint(traces::Weight, 0, 10);
    chart->AddPoint(traces::Weight, 1, 110);
    chart->SetRange(TChartAxis::Bottom, 0, 100);
    edit->setFocus();
    edit->setCursorPosition(2);
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_EQ(edit->cursorPosition(), 1) << "the key goes on to the widget with the focus";
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).min, -10.0) << "moved once";
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).max, 90.0);
    EXPECT_TRUE(chart->hasFocus());
    QTest::keyClick(chart, Qt::Key_Right);
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).min, 0.0);
    QTest::keyClick(chart, Qt::Key_Up);
    EXPECT_EQ(chart->Range(TChartAxis::Left).min, 20.0);
    EXPECT_EQ(chart->Range(TChartAxis::Left).max, 120.0);
    EXPECT_FALSE(chart->AutoScale(TChartAxis::Left));
    QTest::keyClick(chart, Qt::Key_Down);
    QTest::keyClick(chart, Qt::Key_Down);
    EXPECT_EQ(chart->Range(TChartAxis::Left).min, 0.0);

    page.hide();
    QTest::keyClick(chart, Qt::Key_Left);
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).min, 0.0) << "not while the page is behind";
}

TEST_F(ChartInteraction, FitSpansTheTimeFromZeroAndTheWeightWithATenthEitherSide)
{
    chart->AddPoint(traces::Weight, 0.5, 20);
    chart->AddPoint(traces::Weight, 12.5, 40);
    chart->AddPoint(1, 14.0, 1); // digital points do not count
    interaction.Fit();
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).min, 0.0);
    EXPECT_EQ(chart->Range(TChartAxis::Bottom).max, 12.5);
    EXPECT_EQ(chart->Range(TChartAxis::Left).min, 18.0);
    EXPECT_EQ(chart->Range(TChartAxis::Left).max, 42.0);

    chart->ClearTraces();
    chart->AddPoint(traces::Weight, 0, 5);
    chart->AddPoint(traces::Weight, 3, 5);
    interaction.Fit();
    EXPECT_EQ(chart->Range(TChartAxis::Left).min, 5.0);
    EXPECT_NEAR(chart->Range(TChartAxis::Left).max - 5.0, 1e-10, 1e-12) << "flat: widened";
    chart->SetDivision(TChartAxis::Left, 0.01);
    interaction.Fit();
    EXPECT_NEAR(chart->Range(TChartAxis::Left).min, 4.97, 1e-9) << "flat: a few divisions";
    EXPECT_NEAR(chart->Range(TChartAxis::Left).max, 5.03, 1e-9);
}

} // namespace
