// The main window connected to the simulated instrument over a pseudo-terminal.
#include "comdialog.h"
#include "commsengine.h"
#include "connection.h"
#include "dmviewer.h"
#include "eventwait.h"
#include "findchild.h"
#include "identitypanel.h"
#include "main.h"
#include "mimickeys.h"
#include "pdfprompts.h"
#include "protocol.h"
#include "q910lcd.h"
#include "q910panel.h"
#include "recordingprompts.h"
#include "recordingsessionprompts.h"
#include "sessioncontroller.h"
#include "simpty.h"
#include "terminalpage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTime>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace protocol;

namespace {

struct Connected : ::testing::Test
{
    // Declared in the order they must outlive each other: the simulator's pseudo-terminal
    // goes only after the window has closed its port, so its number is never reused while
    // the window still holds the lock.
    QTemporaryDir dir;
    std::unique_ptr<TdatViewer> config;
    RecordingPrompts prompts;
    RecordingSessionPrompts sessionPrompts;
    PdfPrompts print{dir.filePath("printed.pdf")};
    std::unique_ptr<TSimPty> sim;
    std::unique_ptr<TFrmMain> window;

    void SetUp() override
    {
        QFile ini(dir.filePath("config.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Images]\nInstrument=panel.png\n[Comms]\n");
        ini.close();
        QImage panel(100, 49, QImage::Format_RGB32);
        panel.fill(Qt::darkGray);
        panel.save(dir.filePath("panel.png"));
        // The LCD's segment pictures, as installed beside the program.
        const QDir segs(QStringLiteral(VIEWER_BIN_DIR "/segs"));
        QDir(dir.path()).mkdir("segs");
        for (const QString& name : segs.entryList(QDir::Files))
            QFile::copy(segs.filePath(name), dir.filePath("segs/" + name));
        config = std::make_unique<TdatViewer>(dir.path());
        window = std::make_unique<TFrmMain>(*config, TPromptSet{&prompts, &sessionPrompts, &print});
        ASSERT_EQ(window->FormCreate(), "");
    }
    TPortChoice StartSimulator(std::vector<int> addresses = {1}, bool ring = false)
    {
        TSimOptions options;
        options.addresses = addresses;
        options.line.ring = ring;
        sim = std::make_unique<TSimPty>(options);
        QString path, error;
        EXPECT_TRUE(sim->Open(&path, &error)) << error.toStdString();
        TPortChoice choice;
        choice.portName = path;
        choice.cable = ring ? TPortChoice::RS232Ring : TPortChoice::RS232;
        choice.address = addresses.front();
        return choice;
    }
    template <class T> T* Find(const char* name = "")
    {
        return Child<T>(window.get(), QLatin1String(name));
    }
    QAction* Action(const char* name) { return Find<QAction>(name); }
    QTabWidget* Tabs() { return Find<QTabWidget>("PgCMain"); }
    // A page that must not be shown has no tab at all.
    bool TabShown(const char* page) { return Tabs()->indexOf(Find<QWidget>(page)) >= 0; }
    TCommsEngine& Engine() { return *Find<TCommsEngine>(); }
    QString Identity() { return Find<TIdentityPanel>("IdentityPanel")->Text(); }
    QStringList Requests(const QString& prefix)
    {
        QStringList seen;
        for (const auto& e : sim->Line().Log().Entries())
            if (e.direction == TTrafficLog::Received && e.text.startsWith(prefix))
                seen << e.text;
        return seen;
    }
};

} // namespace

TEST_F(Connected, ConnectReadsIdentityAndFollowsStateTable)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:1");
    EXPECT_TRUE(Identity().startsWith("Adr:1, SN:93123401, ")) << Identity().toStdString();
    EXPECT_TRUE(Identity().contains(" Version:"));
    EXPECT_EQ(Action("ToolButton4")->text(), "&Disconnect");
    EXPECT_EQ(Action("ToolButton4")->toolTip(), "Disconnect from instrument");
    EXPECT_EQ(Action("ToolButton4")->statusTip(), "Disconnect from instrument");
    EXPECT_EQ(Action("Connect2")->text(), "&Disconnect");
    EXPECT_TRUE(TabShown("TSTest"));
    EXPECT_FALSE(TabShown("TSSettings"));
    EXPECT_TRUE(Action("StartSession")->isEnabled());
    EXPECT_TRUE(Action("tbStartSession")->isEnabled());
    EXPECT_FALSE(Action("tbEndSession")->isEnabled());
    EXPECT_FALSE(Action("EndSession")->isEnabled());
    EXPECT_TRUE(Find<QPushButton>("BtnSend")->isEnabled());
    EXPECT_EQ(config->Cable(), TPortChoice::RS232) << "choices saved once the port opened";
    EXPECT_EQ(config->Address(), 1);
    EXPECT_EQ(Engine().Activity(), IActivity::Display);
    EXPECT_TRUE(RunUntil([&] { return sim->Line().RequestCount(reg::Display) > 1; }))
        << "the Display tab polls the display";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();

    window->Connect2Click();
    EXPECT_FALSE(window->Connected());
    EXPECT_EQ(window->windowTitle(), "ViewQ900");
    EXPECT_EQ(Identity(), "");
    EXPECT_FALSE(TabShown("TSTest"));
    EXPECT_FALSE(Action("tbStartSession")->isEnabled());
    EXPECT_FALSE(Action("StartSession")->isEnabled());
    EXPECT_EQ(Action("Connect2")->text(), "&Connect...") << "it opens the port dialog";
    EXPECT_EQ(Action("ToolButton4")->statusTip(), "Connect to instrument");
}

TEST_F(Connected, SessionControlsShowTabsAndLockTheTerminal)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    window->SetSessionControls(true, false);
    EXPECT_TRUE(TabShown("TSSettings"));
    EXPECT_FALSE(TabShown("TSCal"));
    EXPECT_FALSE(Find<QPushButton>("BtnSend")->isEnabled());
    const QString why = "Send is not available during a setup session";
    EXPECT_EQ(Find<QPushButton>("BtnSend")->toolTip(), why);
    EXPECT_EQ(Find<QLabel>("LblSendRefused")->text(), why);
    EXPECT_FALSE(Find<QLabel>("LblSendRefused")->isHidden());
    QSignalSpy sent(&Engine(), &TCommsEngine::Sent);
    Find<QLineEdit>("EdtSendStr")->setText("21110005:");
    QTest::keyClick(Find<QLineEdit>("EdtSendStr"), Qt::Key_Return);
    EXPECT_EQ(sent.count(), 0) << "Enter sends nothing either";
    EXPECT_TRUE(Action("EndSession")->isEnabled());
    EXPECT_FALSE(Action("Lock1")->isEnabled());
    window->SetSessionControls(true, true);
    EXPECT_TRUE(TabShown("TSCal"));
    EXPECT_TRUE(Find<TSessionController>()->CheckCommsVersion());
    window->Connect2Click();
    EXPECT_FALSE(TabShown("TSSettings")) << "a connection change ends the session";
    EXPECT_FALSE(TabShown("TSCal"));
}

// The Instrument menu and the tool bar reach the session; the window follows it.
TEST_F(Connected, SessionFromTheMenusShowsItsTabsAndEndsOnTheDisplay)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    Find<QPushButton>("BtnSend")->click(); // the identity panel warns until the next store
    sessionPrompts.levels = {true};
    sessionPrompts.passcodes = {"2222"};
    Action("StartSession")->trigger();
    EXPECT_EQ(Tabs()->currentWidget(), Find<QWidget>("TSSettings"));
    EXPECT_TRUE(TabShown("TSCal"));
    EXPECT_EQ(Engine().Activity(), IActivity::None) << "nothing is polled on the Settings tab";
    EXPECT_TRUE(Action("tbEndSession")->isEnabled());
    EXPECT_FALSE(Action("FullPasscode1")->isEnabled());
    EXPECT_GT(Find<QTreeWidget>("tvMenuItems")->topLevelItemCount(), 0);
    EXPECT_TRUE(Find<TIdentityPanel>("IdentityPanel")->ShowsWarning());

    Action("tbEndSession")->trigger();
    EXPECT_EQ(Tabs()->currentWidget(), Find<QWidget>("TSDisplay"));
    EXPECT_EQ(Engine().Activity(), IActivity::Display);
    EXPECT_FALSE(TabShown("TSSettings"));
    EXPECT_FALSE(Action("tbEndSession")->isEnabled());
    EXPECT_FALSE(Find<TIdentityPanel>("IdentityPanel")->ShowsWarning()) << "the store cleared it";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

// The settings tree's share of the Settings tab is there again in the next run's session.
TEST_F(Connected, SettingsSplitterKeptAcrossARestart)
{
    QList<int> kept;
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(window->ConnectWith(StartSimulator()));
        window->show();
        window->resize(900, 600);
        sessionPrompts.levels = {true};
        sessionPrompts.passcodes = {"2222"};
        Action("StartSession")->trigger();
        auto* splitter = Find<QSplitter>("SplSettings");
        ASSERT_TRUE(RunUntil([&] { return splitter->width() > 600; }));
        if (run == 1)
            break;
        splitter->setSizes({splitter->width() / 4, splitter->width() * 3 / 4});
        kept = splitter->sizes();
        window->close();
        window.reset();
        config.reset(); // the configuration is written at the end of the run
        config = std::make_unique<TdatViewer>(dir.path());
        window = std::make_unique<TFrmMain>(*config, TPromptSet{&prompts, &sessionPrompts, &print});
        ASSERT_EQ(window->FormCreate(), "");
    }
    EXPECT_TRUE(RunUntil([&] { return Find<QSplitter>("SplSettings")->sizes() == kept; }));
}

TEST_F(Connected, RingCaptionAndAnyAddress)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator({7, 3}, true)));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:7");
    EXPECT_TRUE(Identity().startsWith("Adr:7, SN:"));
    window->Connect2Click();
    TPortChoice any = StartSimulator();
    any.address = 0;
    ASSERT_TRUE(window->ConnectWith(any));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:Any");
}

// The port dialog refuses a ring with address Any; so does every other way in.
TEST_F(Connected, RingWithAnyIsRefusedWhereverTheChoiceComesFrom)
{
    TPortChoice choice = StartSimulator({1}, true);
    choice.address = 0;
    EXPECT_FALSE(window->ConnectWith(choice));
    EXPECT_FALSE(window->Connected());
    EXPECT_EQ(prompts.messages, QStringList{"error: If \"Cable: RS232 Ring\" is selected, then\r\n"
                                            "\"Unit Address\" is not allowed to be \"Any\"."});
    EXPECT_EQ(sim->Line().Log().Entries().size(), 0u);
}

TEST_F(Connected, ConnectionNotRememberedWhenAskedSo)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator({9}), false));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:9");
    EXPECT_EQ(config->Address(), 0);
    EXPECT_EQ(config->PortName(), "");
}

TEST_F(Connected, OpenFailureNamesThePortAndChangesNothing)
{
    TPortChoice choice;
    choice.portName = dir.filePath("no-such-port");
    choice.cable = TPortChoice::RS232;
    choice.address = 3;
    EXPECT_FALSE(window->ConnectWith(choice));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("no-such-port"));
    EXPECT_EQ(window->windowTitle(), "ViewQ900");
    EXPECT_EQ(config->Address(), 0) << "nothing saved";
}

TEST_F(Connected, PortHeldByAnotherProgramIsNamedSo)
{
    const TPortChoice choice = StartSimulator();
    QSerialPort other(choice.portName);
    ASSERT_TRUE(other.open(QIODevice::ReadWrite));
    EXPECT_FALSE(window->ConnectWith(choice));
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0],
              "error: Cannot open " + choice.portName + ": it is in use by another program.");
}

TEST_F(Connected, TerminalEchoSendAndWarningPanel)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    Tabs()->setCurrentWidget(Find<QWidget>("TSTest"));
    EXPECT_EQ(Engine().Activity(), IActivity::Test);
    auto* memo = Find<QPlainTextEdit>("MemoRx");
    auto* edit = Find<QLineEdit>("EdtSendStr");
    EXPECT_TRUE(RunUntil([&] { return memo->toPlainText().contains(">>>21110003:"); }))
        << "the identity reads were shown while they waited";
    Find<QPushButton>("BtnClear")->click();
    Find<QCheckBox>("CbControl")->setChecked(true);
    edit->setText("21110005:");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_TRUE(RunUntil([&] {
        return memo->toPlainText().contains("A1110005:") && memo->toPlainText().endsWith("[LF]\n");
    }));
    const QString shown = memo->toPlainText();
    EXPECT_TRUE(shown.startsWith(">>>21110005:[CR][LF]\nA1110005:")) << shown.toStdString();
    auto* panel = Find<TIdentityPanel>("IdentityPanel");
    EXPECT_FALSE(panel->ShowsWarning()) << "Enter leaves the panel alone";
    EXPECT_EQ(edit->text(), "21110005:") << "kept for re-sending";

    Find<QPushButton>("BtnSend")->click();
    EXPECT_TRUE(panel->ShowsWarning());

    edit->setText("20117A7A:");
    Find<QPushButton>("BtnSend")->click();
    ASSERT_TRUE(RunUntil([&] { return !prompts.messages.isEmpty(); }));
    EXPECT_EQ(prompts.messages, QStringList{"Error :- Register 7A7A:  Feature Not implemented "});
}

TEST_F(Connected, TerminalKeepsLast500LinesAndBoundsAnEndlessLine)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    auto* page = Find<TTerminalPage>("TSTest");
    auto* memo = Find<QPlainTextEdit>("MemoRx");
    Tabs()->setCurrentWidget(page);
    Find<QPushButton>("BtnClear")->click();
    for (int i = 0; i < 600; ++i)
        page->EchoTraffic(QStringLiteral("A1110009:%1\r\n").arg(i));
    ASSERT_TRUE(RunUntil([&] { return memo->toPlainText().endsWith("A1110009:599\n"); }));
    QStringList lines = memo->toPlainText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 500);
    EXPECT_EQ(lines.first(), "A1110009:100");
    EXPECT_EQ(lines.last(), "A1110009:599");

    // An instrument that streams without line ends: the line being received is cut.
    for (int i = 0; i < 50; ++i)
        page->EchoTraffic(QString(400, u'x'));
    ASSERT_TRUE(RunUntil([&] { return memo->toPlainText().count(u'x') == 20000; }));
    EXPECT_LE(memo->document()->lastBlock().length(), TTerminalPage::kLongestLine + 1);
    lines = memo->toPlainText().split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 501) << "500 lines and the one being received";
    EXPECT_EQ(lines.last().size(), 20000 % TTerminalPage::kLongestLine == 0
                                       ? TTerminalPage::kLongestLine
                                       : 20000 % TTerminalPage::kLongestLine);

    Tabs()->setCurrentWidget(Find<QWidget>("TSDisplay"));
    page->EchoTraffic("dropped\n");
    Tabs()->setCurrentWidget(page);
    page->EchoTraffic("shown\n");
    ASSERT_TRUE(RunUntil([&] { return memo->toPlainText().contains("shown"); }));
    EXPECT_FALSE(memo->toPlainText().contains("dropped"))
        << "not shown while another tab is in front and nothing waits";
}

TEST_F(Connected, KilledSimulatorDisconnectsWithAMessageNamingThePort)
{
    const QString program = QStringLiteral(VIEWER_BIN_DIR "/q900sim");
    QProcess child;
    child.start(program, {"--delay", "2500"});
    ASSERT_TRUE(child.waitForStarted(3000));
    ASSERT_TRUE(child.waitForReadyRead(3000));
    TPortChoice choice;
    choice.portName = QString::fromLocal8Bit(child.readLine()).trimmed();
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    choice.reconnect = false; // as before automatic reconnection: say so and stay apart
    QTimer::singleShot(300, [&] { child.kill(); });
    window->ConnectWith(choice); // the identity read waits on the delayed replies
    ASSERT_TRUE(
        RunUntil([&] { return !window->Connected() && !prompts.messages.isEmpty(); }, 4000));
    EXPECT_EQ(window->windowTitle(), "ViewQ900");
    EXPECT_EQ(Action("ToolButton4")->text(), "&Connect");
    ASSERT_EQ(prompts.messages.size(), 1) << prompts.messages.join('|').toStdString();
    const QString message = prompts.messages[0];
    EXPECT_TRUE(message.startsWith("error: The connection to " + choice.portName + " was lost: "))
        << message.toStdString();
    EXPECT_FALSE(message.contains("temporarily unavailable")) << message.toStdString();
    child.waitForFinished(2000);
}

// A pulled adapter or a restarted simulator: the window waits for the device path and
// carries on by itself when it is back, telling the user only that a session ended.
TEST_F(Connected, LostPortIsReopenedWhenItComesBack)
{
    QTemporaryDir links;
    const QString link = links.filePath("q900");
    const QString program = QStringLiteral(VIEWER_BIN_DIR "/q900sim");
    const auto startSimulator = [&](QProcess& child) {
        child.start(program, {"--link", link});
        return child.waitForStarted(3000) && child.waitForReadyRead(3000);
    };
    QProcess first;
    ASSERT_TRUE(startSimulator(first));
    TPortChoice choice;
    choice.portName = link;
    choice.cable = TPortChoice::RS232;
    choice.address = 1;
    ASSERT_TRUE(window->ConnectWith(choice));
    sessionPrompts.levels = {false};
    sessionPrompts.passcodes = {"1111"};
    Action("StartSession")->trigger();
    ASSERT_TRUE(TabShown("TSSettings"));

    first.terminate();
    ASSERT_TRUE(first.waitForFinished(3000));
    ASSERT_TRUE(RunUntil([&] { return !window->Connected(); }, 3000));
    EXPECT_TRUE(RunUntil([&] { return Identity().contains("waiting for it to return"); }))
        << Identity().toStdString();
    EXPECT_FALSE(TabShown("TSSettings"));
    EXPECT_TRUE(RunUntil([&] { return !prompts.messages.isEmpty(); }));
    ASSERT_EQ(prompts.messages.size(), 1) << prompts.messages.join('|').toStdString();
    EXPECT_TRUE(prompts.messages[0].startsWith("The setup session has ended: The connection to "))
        << prompts.messages[0].toStdString();

    QProcess second;
    ASSERT_TRUE(startSimulator(second));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(RunUntil([&] { return window->Connected(); }, 3000)) << "no click needed";
    EXPECT_TRUE(RunUntil([&] { return Identity().startsWith("Adr:1, SN:93123401"); }));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:1");
    auto* received = Find<QLabel>("ReceivedPanel");
    received->clear();
    EXPECT_TRUE(RunUntil([&] { return received->text().startsWith("A1110009:"); }, 3000))
        << "display polling resumed";
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(prompts.messages.size(), 1);

    // The traffic record goes on across the loss, which it marks with its return.
    prompts.fileNames = {dir.filePath("traffic.txt")};
    Find<QPushButton>("BtnSaveTraffic")->click();
    QFile saved(dir.filePath("traffic.txt"));
    const QString text = saved.open(QIODevice::ReadOnly) ? saved.readAll() : QString();
    const qsizetype lost = text.indexOf(" ms --- link lost: The connection to ");
    const qsizetype back = text.indexOf(" ms --- link open again");
    EXPECT_GT(lost, text.indexOf(" ms >>> 21110003:")) << "the first connection's traffic";
    EXPECT_GT(back, lost) << text.toStdString();
    EXPECT_GT(text.lastIndexOf(" ms >>> 21110003:"), back) << "the identity read again";
    EXPECT_EQ(text.count(" ms --- "), 2) << "a loss is not also noted as a close";
    window->Connect2Click(); // a disconnect by the user ends the waiting too
    second.terminate();
    second.waitForFinished(3000);
}

TEST_F(Connected, TerminalTimestampsHexHistoryAndSavedTraffic)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    Tabs()->setCurrentWidget(Find<QWidget>("TSTest"));
    auto* memo = Find<QPlainTextEdit>("MemoRx");
    auto* edit = Find<QLineEdit>("EdtSendStr");
    Find<QPushButton>("BtnClear")->click();
    Find<QCheckBox>("CbTimestamps")->setChecked(true);
    edit->setText("21110005:");
    const QTime before = QTime::currentTime();
    Find<QPushButton>("BtnSend")->click();
    ASSERT_TRUE(RunUntil([&] { return memo->toPlainText().contains("A1110005:"); }));
    const QStringList lines = memo->toPlainText().split('\n', Qt::SkipEmptyParts);
    const QRegularExpression stamped(
        "^(\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d)  (>>>21110005:|A1110005:)");
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = stamped.match(line);
        ASSERT_TRUE(match.hasMatch()) << line.toStdString();
        const QTime at = QTime::fromString(match.captured(1), "hh:mm:ss.zzz");
        EXPECT_LT(std::abs(before.msecsTo(at)), 2000) << "the time of day";
    }

    // Hexadecimal, both ways; Up brings the request back, Down past it empties the box.
    Find<QPushButton>("BtnClear")->click();
    Find<QCheckBox>("CbTimestamps")->setChecked(false);
    Find<QCheckBox>("CbHex")->setChecked(true);
    EXPECT_FALSE(Find<QCheckBox>("CbControl")->isEnabled());
    edit->setText("21110009:");
    QTest::keyClick(edit, Qt::Key_Return);
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "21110009:");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(edit->text(), "21110005:");
    QTest::keyClick(edit, Qt::Key_Down);
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(edit->text(), "");
    ASSERT_TRUE(RunUntil([&] {
        return memo->toPlainText().startsWith(
            ">>> 32 31 31 31 30 30 30 39 3A 0D 0A\n41 31 31 31 30 30 30 39 3A ");
    })) << memo->toPlainText().toStdString();

    prompts.fileNames = {dir.filePath("traffic")};
    Find<QPushButton>("BtnSaveTraffic")->click();
    QFile saved(dir.filePath("traffic.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << "named with .txt";
    const QString text = QString::fromUtf8(saved.readAll());
    EXPECT_TRUE(text.contains(" ms >>> 21110005:[CR][LF]"));
    EXPECT_TRUE(text.contains(" ms <<< A1110005:"));
    EXPECT_TRUE(text.contains(" ms >>> 21110003:[CR][LF]")) << "since the connection";
}

TEST_F(Connected, DisplayFollowsTheInstrumentAndKeysReachIt)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    window->show();
    window->resize(1000, 700);
    auto* mimic = Find<TQ910LCD>("DisplayMimic");
    ASSERT_TRUE(RunUntil([&] { return sim->Line().RequestCount(reg::Display) > 1; }));
    ASSERT_TRUE(
        RunUntil([&] { return std::abs(mimic->height() - window->width() * 491 / 1000) <= 3; }));
    const auto before = mimic->LCD.SegmentState;
    sim->Instrument(1).PlaceLoad(1250.0);
    EXPECT_TRUE(RunUntil([&] { return mimic->LCD.SegmentState != before; }, 1000))
        << "the LCD follows the weight";

    // The second of the five bottom keys, pressed briefly and then held.
    const TButtonRegion key = q910panel::KeyRegions()[2];
    const QPoint centre(mimic->width() * (key.Left + key.Right) / 2000,
                        mimic->height() * (key.Top + key.Bottom) / 2000);
    const auto keys = [&] { return Requests("21120008:"); };
    QTest::mousePress(mimic, Qt::LeftButton, {}, centre);
    QTest::mouseRelease(mimic, Qt::LeftButton, {}, centre);
    ASSERT_TRUE(RunUntil([&] { return keys().size() == 1; }));
    auto* hold = Find<TMimicKeys>();
    QTest::mousePress(mimic, Qt::LeftButton, {}, centre);
    ASSERT_TRUE(RunUntil([&] { return hold->DragCursorShown(); }, 3000)) << "held past 2 s";
    QTest::mouseRelease(mimic, Qt::LeftButton, {}, centre);
    ASSERT_TRUE(RunUntil([&] { return keys().size() == 2; }));
    EXPECT_EQ(keys()[0].left(13), "21120008:8003") << keys().join("|").toStdString();
    EXPECT_EQ(keys()[1].left(13), "21120008:8083");
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

// A key clicked while another request waits (the identity read, a tree read) is sent once
// the link is free, not dropped.
TEST_F(Connected, KeyClickedWhileTheLinkIsBusyIsSentAfterwards)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    window->show();
    window->resize(1000, 700);
    auto* mimic = Find<TQ910LCD>("DisplayMimic");
    ASSERT_TRUE(
        RunUntil([&] { return std::abs(mimic->height() - window->width() * 491 / 1000) <= 3; }));
    const TButtonRegion key = q910panel::KeyRegions()[1];
    const QPoint centre(mimic->width() * (key.Left + key.Right) / 2000,
                        mimic->height() * (key.Top + key.Bottom) / 2000);
    QTimer::singleShot(20, [&] {
        QTest::mousePress(mimic, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(mimic, Qt::LeftButton, {}, centre);
    });
    EXPECT_TRUE(Engine().SendCommand(TRequest::Read(reg::SerialNumber).Reporting()).Ok());
    ASSERT_TRUE(RunUntil([&] { return !Requests("21120008:").isEmpty(); }));
    EXPECT_EQ(Requests("21120008:").first().left(13), "21120008:8002");
    const auto& entries = sim->Line().Log().Entries();
    int serial = -1, press = -1;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        if (entries[i].direction != TTrafficLog::Received)
            continue;
        if (entries[i].text.startsWith("21110005:"))
            serial = i;
        if (entries[i].text.startsWith("21120008:"))
            press = i;
    }
    EXPECT_GT(press, serial) << "after the request it waited for";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

TEST(ComDialog, RingWithAnyAddressIsRefusedWithTheTwoLineMessage)
{
    RecordingPrompts prompts;
    TFrmComDialog dialog(prompts, {"COM1", "/dev/pts/3"});
    TPortChoice first; // defaults: ring, Any
    first.portName = "com1";
    dialog.SetChoice(first);
    dialog.show();
    auto* ok = Child<QPushButton>(&dialog, "BtnOk");
    const auto cable = [&](const char* name) { Child<QRadioButton>(&dialog, name)->click(); };
    EXPECT_FALSE(ok->isEnabled());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], "If \"Cable: RS232 Ring\" is selected, then\r\n"
                                   "\"Unit Address\" is not allowed to be \"Any\".");
    EXPECT_EQ(dialog.Choice().portName, "COM1") << "preselected without regard to case";

    cable("RGPhysical_0"); // RS232
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(prompts.messages.size(), 1);
    cable("RGPhysical_1"); // back to the ring
    EXPECT_EQ(prompts.messages.size(), 2);
    Child<QComboBox>(&dialog, "cboxAddress")->setCurrentIndex(5);
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(prompts.messages.size(), 2) << "the address list only re-checks";

    cable("RGPhysical_2"); // optical link hides the line settings
    EXPECT_FALSE(Child<QWidget>(&dialog, "RGBaud")->isVisible());
    EXPECT_FALSE(Child<QWidget>(&dialog, "cboxAddress")->isVisible());
    EXPECT_TRUE(Child<QWidget>(&dialog, "CBSerialPort")->isVisible());
    EXPECT_TRUE(ok->isEnabled());
}
