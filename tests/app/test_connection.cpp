// The main window connected to the simulated instrument over a pseudo-terminal.
#include "comdialog.h"
#include "dmviewer.h"
#include "identitypanel.h"
#include "main.h"
#include "q910lcd.h"
#include "q910panel.h"
#include "scriptedline.h"
#include "simpty.h"
#include "ui_comdialog.h"
#include "ui_main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Connected : ::testing::Test
{
    QTemporaryDir dir;
    std::unique_ptr<TdatViewer> config;
    std::unique_ptr<TFrmMain> window;
    RecordingPrompts prompts;
    std::unique_ptr<TSimPty> sim;

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
        window = std::make_unique<TFrmMain>(*config);
        window->SetPrompts(&prompts);
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
    Ui::TFrmMain& ui() { return window->Form(); }
    bool TabShown(QWidget* page) { return ui().PgCMain->isTabVisible(ui().PgCMain->indexOf(page)); }
};

} // namespace

TEST_F(Connected, ConnectReadsIdentityAndFollowsStateTable)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:1");
    EXPECT_TRUE(window->IdentityPanel().Text().startsWith("Adr:1, SN:93123401, "))
        << window->IdentityPanel().Text().toStdString();
    EXPECT_TRUE(window->IdentityPanel().Text().contains(" Version:"));
    EXPECT_EQ(ui().ToolButton4->text(), "&Disconnect");
    EXPECT_EQ(ui().ToolButton4->toolTip(), "Disconnect from instrument");
    EXPECT_EQ(ui().Connect2->text(), "&Disconnect");
    EXPECT_TRUE(TabShown(ui().TSTest));
    EXPECT_FALSE(TabShown(ui().TSSettings));
    EXPECT_TRUE(ui().StartSession->isEnabled());
    EXPECT_TRUE(ui().tbStartSession->isEnabled());
    EXPECT_FALSE(ui().tbEndSession->isEnabled());
    EXPECT_FALSE(ui().EndSession->isEnabled());
    EXPECT_TRUE(ui().BtnSend->isEnabled());
    EXPECT_EQ(config->Cable(), TPortChoice::RS232) << "choices saved once the port opened";
    EXPECT_EQ(config->Address(), 1);
    EXPECT_EQ(window->Activity(), 1) << "the Display tab polls";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();

    window->Connect2Click();
    EXPECT_FALSE(window->Connected());
    EXPECT_EQ(window->windowTitle(), "ViewQ900");
    EXPECT_EQ(window->IdentityPanel().Text(), "");
    EXPECT_FALSE(TabShown(ui().TSTest));
    EXPECT_FALSE(ui().tbStartSession->isEnabled());
    EXPECT_FALSE(ui().StartSession->isEnabled());
    EXPECT_EQ(ui().Connect2->text(), "&Connect");
}

TEST_F(Connected, SessionControlsShowTabsAndLockTheTerminal)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    window->SetSessionControls(true, false);
    EXPECT_TRUE(TabShown(ui().TSSettings));
    EXPECT_FALSE(TabShown(ui().TSCal));
    EXPECT_FALSE(ui().BtnSend->isEnabled());
    EXPECT_TRUE(ui().EndSession->isEnabled());
    EXPECT_FALSE(ui().Lock1->isEnabled());
    window->SetSessionControls(true, true);
    EXPECT_TRUE(TabShown(ui().TSCal));
    EXPECT_TRUE(window->CheckCommsVersion());
    window->Connect2Click();
    EXPECT_FALSE(TabShown(ui().TSSettings)) << "a connection change ends the session";
    EXPECT_FALSE(TabShown(ui().TSCal));
}

TEST_F(Connected, RingCaptionAndAnyAddress)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator({7, 3}, true)));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:7");
    EXPECT_TRUE(window->IdentityPanel().Text().startsWith("Adr:7, SN:"));
    window->Connect2Click();
    TPortChoice any = StartSimulator();
    any.address = 0;
    ASSERT_TRUE(window->ConnectWith(any));
    EXPECT_EQ(window->windowTitle(), "ViewQ900 - Address:Any");
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

TEST_F(Connected, TerminalEchoSendAndWarningPanel)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    ui().PgCMain->setCurrentWidget(ui().TSTest);
    EXPECT_EQ(window->Activity(), 3);
    EXPECT_TRUE(ui().MemoRx->toPlainText().contains(">>>21110003:"))
        << "the identity reads were shown while they waited";
    ui().BtnClear->click();
    ui().CbControl->setChecked(true);
    ui().EdtSendStr->setText("21110005:");
    QTest::keyClick(ui().EdtSendStr, Qt::Key_Return);
    window->Engine().WaitTicks(3);
    const QString shown = ui().MemoRx->toPlainText();
    EXPECT_TRUE(shown.startsWith(">>>21110005:[CR][LF]\nA1110005:")) << shown.toStdString();
    EXPECT_FALSE(window->IdentityPanel().ShowsWarning()) << "Enter leaves the panel alone";
    EXPECT_EQ(ui().EdtSendStr->text(), "21110005:") << "kept for re-sending";

    window->BtnSendClick();
    EXPECT_TRUE(window->IdentityPanel().ShowsWarning());

    ui().EdtSendStr->setText("20117A7A:");
    window->BtnSendClick();
    window->Engine().WaitTicks(3);
    EXPECT_TRUE(prompts.messages.contains("Error :- Register 7A7A:  Feature Not implemented "))
        << prompts.messages.join("|").toStdString() << ui().MemoRx->toPlainText().toStdString();
}

TEST_F(Connected, TerminalKeepsLast500Lines)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    ui().PgCMain->setCurrentWidget(ui().TSTest);
    for (int i = 0; i < 600; ++i)
        window->EchoTraffic(QStringLiteral("A1110009:%1\r\n").arg(i));
    const QStringList lines = ui().MemoRx->toPlainText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 500);
    EXPECT_EQ(lines.first(), "A1110009:100");
    EXPECT_EQ(lines.last(), "A1110009:599");

    ui().PgCMain->setCurrentWidget(ui().TSDisplay);
    window->EchoTraffic("dropped\n");
    EXPECT_FALSE(ui().MemoRx->toPlainText().contains("dropped"))
        << "not shown while another tab is in front and nothing waits";
}

TEST_F(Connected, KilledSimulatorDisconnectsWithAMessage)
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
    QTimer::singleShot(300, [&] { child.kill(); });
    window->ConnectWith(choice); // the identity read waits on the delayed replies
    for (int i = 0; i < 40 && window->Connected(); ++i)
        QTest::qWait(50);
    QTest::qWait(50);
    EXPECT_FALSE(window->Connected());
    EXPECT_EQ(window->windowTitle(), "ViewQ900");
    EXPECT_EQ(ui().ToolButton4->text(), "&Connect");
    bool told = false;
    for (const QString& m : prompts.messages)
        told = told || m.startsWith("error: The connection to");
    EXPECT_TRUE(told) << prompts.messages.join('|').toStdString();
    child.waitForFinished(2000);
}

TEST_F(Connected, DisplayFollowsTheInstrumentAndKeysReachIt)
{
    ASSERT_TRUE(window->ConnectWith(StartSimulator()));
    window->show();
    window->resize(1000, 700);
    TQ910LCD& mimic = window->DisplayMimic();
    QTest::qWait(400);
    ASSERT_GT(sim->Line().RequestCount(0x0009), 1) << "the Display tab polls the display";
    const auto before = mimic.LCD.SegmentState;
    sim->Instrument(1).PlaceLoad(1250.0);
    QTest::qWait(500);
    EXPECT_NE(mimic.LCD.SegmentState, before) << "the LCD follows the weight within 0.5 s";

    // The second of the five bottom keys, pressed briefly and then held.
    const TButtonRegion key = q910panel::KeyRegions()[2];
    const QPoint centre(mimic.width() * (key.Left + key.Right) / 2000,
                        mimic.height() * (key.Top + key.Bottom) / 2000);
    QTest::mousePress(&mimic, Qt::LeftButton, {}, centre);
    QTest::qWait(100);
    QTest::mouseRelease(&mimic, Qt::LeftButton, {}, centre);
    QTest::qWait(300);
    QTest::mousePress(&mimic, Qt::LeftButton, {}, centre);
    QTest::qWait(2300);
    QTest::mouseRelease(&mimic, Qt::LeftButton, {}, centre);
    QTest::qWait(300);
    QStringList keys;
    for (const auto& e : sim->Line().Log().Entries())
        if (e.direction == TTrafficLog::Received && e.text.startsWith("21120008:"))
            keys << e.text.left(13);
    EXPECT_EQ(keys, (QStringList{"21120008:8003", "21120008:8083"}));
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
    EXPECT_FALSE(dialog.Form().BtnOk->isEnabled());
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(prompts.messages[0], "If \"Cable: RS232 Ring\" is selected, then\r\n"
                                   "\"Unit Address\" is not allowed to be \"Any\".");
    EXPECT_EQ(dialog.Choice().portName, "COM1") << "preselected without regard to case";

    dialog.Form().RGPhysical_0->click(); // RS232
    EXPECT_TRUE(dialog.Form().BtnOk->isEnabled());
    EXPECT_EQ(prompts.messages.size(), 1);
    dialog.Form().RGPhysical_1->click(); // back to the ring
    EXPECT_EQ(prompts.messages.size(), 2);
    dialog.Form().cboxAddress->setCurrentIndex(5);
    EXPECT_TRUE(dialog.Form().BtnOk->isEnabled());
    EXPECT_EQ(prompts.messages.size(), 2) << "the address list only re-checks";

    dialog.Form().RGPhysical_2->click(); // optical link hides the line settings
    EXPECT_FALSE(dialog.Form().RGBaud->isVisible());
    EXPECT_FALSE(dialog.Form().cboxAddress->isVisible());
    EXPECT_TRUE(dialog.Form().CBSerialPort->isVisible());
    EXPECT_TRUE(dialog.Form().BtnOk->isEnabled());
}
