// The status bar's traffic panels: a reply repaints its panel, never the whole bar; texts that
// do not fit are cut short; what crosses the link is shown as it is, never as markup.
#include "eventwait.h"
#include "findchild.h"
#include "recordingprompts.h"

#include "commsengine.h"
#include "ringnetwork.h"
#include "statuspanels.h"
#include "ticksource.h"

#include <QLabel>
#include <QMainWindow>
#include <QPaintEvent>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Layout requests and painted regions of one widget.
class EventLog : public QObject
{
public:
    explicit EventLog(QWidget& widget) { widget.installEventFilter(this); }
    int layouts = 0;
    QRegion painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++layouts;
        else if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};

class StatusPanelsTest : public ::testing::Test
{
protected:
    StatusPanelsTest()
    {
        window.resize(700, 300);
        panels = new TStatusPanels(*window.statusBar());
        panels->Follow(engine);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        RunFor(50);
    }

    QLabel& Panel(const char* name) { return *Child<QLabel>(window.statusBar(), name); }

    QMainWindow window;
    TRingNetwork ring;
    RecordingPrompts prompts;
    TTimerTicks ticks;
    TCommsEngine engine{ring, prompts, ticks};
    TStatusPanels* panels = nullptr;
};

TEST_F(StatusPanelsTest, RepliesRepaintTheirPanelAloneAndNeverLayTheBarOutAgain)
{
    QLabel& received = Panel("ReceivedPanel");
    QLabel& sent = Panel("SentPanel");
    const QSize receivedSize = received.size();
    EventLog bar(*window.statusBar());
    // Replies of every length, as the display poll brings them.
    const QString replies[] = {QStringLiteral("A0110009:0000005B66EF0700601\r\n"),
                               QStringLiteral("A0110009:00\r\n"),
                               QStringLiteral("A0110009:0000005B6DBF3F006010000000000000000\r\n")};
    for (int round = 0; round < 3; ++round) {
        for (const QString& reply : replies) {
            emit engine.Sent(QStringLiteral("20110009:\r\n"));
            emit engine.Received(reply);
            RunFor(5);
        }
    }
    RunFor(50);
    EXPECT_EQ(bar.layouts, 0);
    EXPECT_EQ(received.size(), receivedSize);
    // What the bar painted lay under the two panels only.
    const QRegion panelsArea = QRegion(received.geometry()) + QRegion(sent.geometry());
    EXPECT_FALSE(bar.painted.isEmpty());
    EXPECT_TRUE((bar.painted - panelsArea).isEmpty());
}

TEST_F(StatusPanelsTest, PanelsKeepTheirWidthsAndCutLongTextsToFit)
{
    QLabel& sent = Panel("SentPanel");
    QLabel& received = Panel("ReceivedPanel");
    EXPECT_EQ(sent.width(), TStatusPanels::kSentWidth);
    EXPECT_EQ(received.width(), TStatusPanels::kReceivedWidth);
    const QString longText = QStringLiteral("A1110011:") + QString(80, u'7');
    emit engine.Received(longText + QStringLiteral("\r\n"));
    const QString shown = received.text();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(longText.startsWith(shown.chopped(1)));
    EXPECT_LE(received.fontMetrics().horizontalAdvance(shown), received.contentsRect().width());
    emit engine.Received(QStringLiteral("A1110005:123\r\n"));
    EXPECT_TRUE(RunUntil([&] { return received.text() == QStringLiteral("A1110005:123"); }))
        << "the newest text, once the panel may change again";
}

// Ten replies a second change the panel four times a second at most, the newest one last.
TEST_F(StatusPanelsTest, ATrafficPanelChangesAtMostFourTimesASecond)
{
    QLabel& received = Panel("ReceivedPanel");
    QStringList shown;
    for (int i = 0; i < 40; ++i) {
        emit engine.Received(QStringLiteral("A1110009:%1\r\n").arg(i));
        RunFor(10);
        if (shown.isEmpty() || shown.last() != received.text())
            shown << received.text();
    }
    EXPECT_LE(shown.size(), 3) << shown.join('|').toStdString();
    EXPECT_TRUE(RunUntil([&] { return received.text() == "A1110009:39"; }));
}

TEST_F(StatusPanelsTest, TrafficIsShownAsTextNeverAsMarkup)
{
    emit engine.Received(QStringLiteral("<b>A</b>&amp;\r\n"));
    QLabel& received = Panel("ReceivedPanel");
    EXPECT_EQ(received.textFormat(), Qt::PlainText);
    EXPECT_EQ(received.text(), QStringLiteral("<b>A</b>&amp;"));
}

} // namespace
