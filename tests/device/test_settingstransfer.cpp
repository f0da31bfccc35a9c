// Settings files against the simulated instrument: saved from a session's tree, printed as a
// listing, and sent back to the same, another or one instrument of a ring.
#include "modaldriver.h"
#include "pdfprompts.h"
#include "sessionfixture.h"
#include "settingsfile.h"
#include "settingsfiles.h"
#include "settingslisting.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace protocol;

namespace {

const QString kFilter = "Settings (*.VSF);;All Files (*.*)";

// Answers the preview dialog whenever it comes up: Send, with or without the calibration. It
// lives as long as the test, so it never answers another test's dialog.
struct PreviewAnswer
{
    bool includeCalibration = false;
    bool shown = false;
    ModalAnswer answer{"TFrmSendSettings",
                       [this](QWidget* dialog) {
                           shown = true;
                           Child<QCheckBox>(dialog, "CBxCal")->setChecked(includeCalibration);
                           Child<QPushButton>(dialog, "BtnSend")->click();
                       },
                       true};
};

// The settings a file carries: every menu value but the calibration count, which only the
// instrument itself keeps.
QJsonObject Settings(TSimPty& line)
{
    QJsonObject values = line.Instrument(1).Menu().Save();
    values.remove("0246");
    return values;
}

QString ReadAll(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll());
}

class SettingsFiles : public SessionOnSimulator
{
protected:
    void StartFiles(int address = 1, int cable = TPortChoice::RS232)
    {
        Start(address, cable);
        files = std::make_unique<TSettingsFiles>(*simLink.link, *session, prompts, print, nullptr);
    }
    // A second instrument to send to, on its own line; the link moves over to it.
    void SwitchTo(const TSimOptions& other)
    {
        simLink.link->Close();
        second = std::make_unique<TSimPty>(other);
        QString path, error;
        ASSERT_TRUE(second->Open(&path, &error)) << error.toStdString();
        TPortChoice choice = simLink.Choice();
        choice.portName = path;
        ASSERT_EQ(simLink.link->Open(choice), "");
    }
    TReply Send(const TRequest& request) { return simLink.link->SendCommand(request); }
    QString SaveAs(const QString& name)
    {
        prompts.fileNames = {dir.filePath(name)};
        files->Save1Click();
        WaitForJob(); // the menus not read yet are read first
        return dir.filePath(name);
    }
    void OpenAndSend(const QString& path, bool includeCalibration)
    {
        prompts.fileNames = {path};
        sessionPrompts.passcodes = {"2222"};
        preview.includeCalibration = includeCalibration;
        files->Open1Click();
    }
    void Write(const QString& path, const QByteArray& text)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text);
    }
    int TransferWrites(TSimPty& line)
    {
        int n = 0;
        for (const Tcommsobj& r : line.Line().ReceivedRequests())
            n +=
                (r.Command == cmd::WriteValue || r.Command == cmd::Execute) && r.Register >= 0x0200;
        return n;
    }

    QTemporaryDir dir;
    PdfPrompts print{dir.filePath("listing.pdf")};
    std::unique_ptr<TSettingsFiles> files;
    std::unique_ptr<TSimPty> second;
    PreviewAnswer preview;
};

} // namespace

TEST(SettingsListing, HeaderIndentsAndPagesLikeALinePrinter)
{
    TMenuNode tree;
    TMenuNode* top = tree.AddChild("FULL SETUP");
    TMenuNode* build = top->AddChild("BUILD");
    build->AddChild("DP       : 00000.0");
    build->AddChild("CAP      : 500.0 kg");
    top->AddChild("OPTION")->AddChild("...");
    const QString header = settingslisting::Header("Q900 Q910", "93123401", "2.31");
    EXPECT_EQ(header, "  Q900 Q910 SN:93123401 Version 2.31 ");

    const auto one = settingslisting::Pages(header, tree, 60);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0], (QStringList{" ", "", "", header, "", "   FULL SETUP", "      BUILD",
                                   "         DP       : 00000.0", "         CAP      : 500.0 kg",
                                   "      OPTION", "         ..."}));

    // Four written lines a page: a form feed and three blank lines start each new page.
    const auto paged = settingslisting::Pages(header, tree, 4);
    ASSERT_EQ(paged.size(), 2u);
    EXPECT_EQ(paged[0].size(), 3 + 4);
    EXPECT_EQ(paged[1],
              (QStringList{"", "", "", "         DP       : 00000.0",
                           "         CAP      : 500.0 kg", "      OPTION", "         ..."}));

    const auto empty = settingslisting::Pages(header, TMenuNode(), 60);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0], (QStringList{" ", "", "", header, ""})) << "the header alone";
}

TEST_F(SettingsFiles, FullSessionFileAfterReadingEveryMenu)
{
    StartFiles();
    ASSERT_TRUE(StartSession(true));
    prompts.answers = {0}; // yes, read them all first
    const QString path = SaveAs("backup");
    EXPECT_EQ(prompts.messages.mid(0, 2),
              (QStringList{"ask: Some menus were not read from the instrument. Read them all "
                           "before saving?",
                           "save: Save Settings to File | " + kFilter}));
    ASSERT_TRUE(QFile::exists(path + ".VSF")) << "the extension is added";
    const QString text = ReadAll(path + ".VSF");
    const QStringList lines = text.split("\r\n");
    EXPECT_EQ(lines[0], "1: FULL SETUP");
    EXPECT_TRUE(lines[1].startsWith("201200F0:")) << "the calibration line follows the top";
    EXPECT_EQ(lines[1].mid(9), device->CalibrationBlock);
    EXPECT_FALSE(text.contains("...")) << "every menu was read";
    EXPECT_TRUE(lines.contains("3: DP       : 00000.0"));
    EXPECT_TRUE(lines.contains("20120201:00000001"));
    EXPECT_FALSE(text.contains("20120223:")) << "ADDR is written only at the instrument";
}

TEST_F(SettingsFiles, SafeSessionFileAndTheOtherAnswers)
{
    StartFiles();
    prompts.messages.clear();
    SaveAs("nothing.VSF");
    EXPECT_EQ(prompts.messages,
              QStringList{"There are no settings to save: start a setup session and read the "
                          "settings first."});
    EXPECT_FALSE(QFile::exists(dir.filePath("nothing.VSF")));

    ASSERT_TRUE(StartSession(false));
    prompts.answers = {2}; // cancel
    SaveAs("cancelled.VSF");
    EXPECT_FALSE(QFile::exists(dir.filePath("cancelled.VSF")));
    prompts.answers = {1}; // no: as it stands
    const QString path = SaveAs("safe.txt");
    const QStringList lines = ReadAll(path).split("\r\n");
    EXPECT_EQ(lines[0], "1: SAFE SETUP");
    EXPECT_EQ(lines[1], "2: BUILD");
    EXPECT_EQ(lines[2], "3: ...") << "a menu never read keeps its placeholder";
    EXPECT_FALSE(ReadAll(path).contains("1200F0:")) << "no calibration line";
}

TEST_F(SettingsFiles, SaveFailureKeepsTheEarlierFile)
{
    StartFiles();
    ASSERT_TRUE(StartSession(false));
    prompts.answers = {1};
    const QString path = SaveAs("kept.VSF");
    const QString before = ReadAll(path);
    ASSERT_FALSE(before.isEmpty());
    prompts.answers = {1};
    prompts.messages.clear();
    prompts.fileNames = {dir.filePath("missing-folder/kept.VSF")};
    files->Save1Click();
    ASSERT_FALSE(prompts.messages.isEmpty());
    EXPECT_TRUE(prompts.messages.last().startsWith("error: "))
        << prompts.messages.join('|').toStdString();
    EXPECT_EQ(ReadAll(path), before);
}

// A file of one instrument sent to another makes its settings the same; the calibration
// goes along only when asked for.
TEST_F(SettingsFiles, SentFileMakesAnotherInstrumentTheSame)
{
    StartFiles();
    ASSERT_TRUE(StartSession(true));
    // The first instrument's own calibration and settings.
    ASSERT_TRUE(Send(TRequest::Execute(reg::ZeroCalibration, "1388").Reporting()));
    ASSERT_TRUE(Send(TRequest::Write(0x0204, "0002").Reporting()));
    ASSERT_TRUE(Send(TRequest::Write(0x0225, "PLANT 7").Reporting()));
    session->EndSessionClick();
    ASSERT_TRUE(StartSession(true));
    prompts.answers = {0};
    const QString path = SaveAs("first.VSF");
    const QJsonObject firstMenu = Settings(*sim);
    const QJsonObject firstState = sim->Instrument(1).SaveState();
    session->EndSessionClick();

    SwitchTo(options);
    const QJsonObject untouched = second->Instrument(1).SaveState();
    ASSERT_NE(Settings(*second), firstMenu);
    prompts.messages.clear();
    OpenAndSend(path, false);
    EXPECT_EQ(Settings(*second), firstMenu);
    EXPECT_EQ(second->Instrument(1).SaveState().value("calibration"),
              untouched.value("calibration"))
        << "no calibration without asking";
    EXPECT_FALSE(second->Instrument(1).IsOpen(TSimSession::Full)) << "locked afterwards";
    EXPECT_EQ(prompts.messages, QStringList{"open: Open Settings File | " + kFilter});

    OpenAndSend(path, true);
    EXPECT_EQ(second->Instrument(1).SaveState().value("calibration"),
              firstState.value("calibration"));
}

TEST_F(SettingsFiles, FilesThatCouldDoMoreThanWriteSettingsAreRefused)
{
    StartFiles();
    const QString execute = dir.filePath("execute.VSF");
    Write(execute, "1: FULL SETUP\r\n2: BUILD\r\n3: UNITS    : kg\r\n20120204:0002\r\n"
                   "20100102:\r\n");
    // A second top line ends the outline: it would be left among the requests.
    const QString late = dir.filePath("late.VSF");
    Write(late, "1: FULL SETUP\r\n2: BUILD\r\n3: UNITS    : kg\r\n20120204:0002\r\n"
                "1: SAFE SETUP\r\n");
    for (const QString& path : {execute, late}) {
        ClearLog();
        prompts.messages.clear();
        prompts.fileNames = {path};
        files->Open1Click();
        EXPECT_FALSE(preview.shown);
        ASSERT_EQ(prompts.messages.size(), 2) << prompts.messages.join('|').toStdString();
        EXPECT_TRUE(prompts.messages[1].startsWith("error: Line "))
            << prompts.messages[1].toStdString();
        EXPECT_EQ(TransferWrites(*sim), 0);
        EXPECT_EQ(Requests().size(), 0u) << "not even the passcode is asked for";
    }
    EXPECT_TRUE(prompts.messages[1].contains("Line 5")) << prompts.messages[1].toStdString();
}

TEST_F(SettingsFiles, OpenWhileASessionIsActiveSendsNothing)
{
    StartFiles();
    const QString path = dir.filePath("one.VSF");
    Write(path, "1: SAFE SETUP\r\n2: BUILD\r\n3: UNITS    : kg\r\n20120204:0002\r\n");
    ASSERT_TRUE(StartSession(false));
    ClearLog();
    prompts.messages.clear();
    prompts.fileNames = {path};
    files->Open1Click();
    EXPECT_TRUE(preview.shown);
    EXPECT_EQ(prompts.messages.last(), "Instrument Session already active");
    EXPECT_EQ(TransferWrites(*sim), 0);
}

// On a ring every request goes to the connected instrument only.
TEST_F(SettingsFiles, RingTransferReachesTheConnectedInstrumentOnly)
{
    options.addresses = {1, 5, 7};
    options.line.ring = true;
    StartFiles(5, TPortChoice::RS232Ring);
    const QString path = dir.filePath("ring.VSF");
    Write(path, "1: FULL SETUP\r\n2: BUILD\r\n3: UNITS    : kg\r\n20120204:0002\r\n"
                "2: SERIAL\r\n3: P.HEAD   : X\r\n20120225:RING 5\r\n");
    OpenAndSend(path, false);
    EXPECT_EQ(sim->Instrument(5).Menu().Number(0x0204), 2);
    EXPECT_EQ(sim->Instrument(5).Menu().TextValue(0x0225), "RING 5");
    for (int other : {1, 7}) {
        EXPECT_EQ(sim->Instrument(other).Menu().Number(0x0204), 1) << other;
        EXPECT_NE(sim->Instrument(other).Menu().TextValue(0x0225), "RING 5") << other;
    }
    EXPECT_EQ(prompts.messages.filter("open:").size(), prompts.messages.size())
        << prompts.messages.join('|').toStdString();
}

TEST_F(SettingsFiles, LostRepliesAreSentAgainAndTheBatchCompletes)
{
    options.line.dropShare = 0.1;
    options.line.seed = 11;
    StartFiles();
    QByteArray text = "1: FULL SETUP\r\n2: SETPNT\r\n3: SP1\r\n";
    for (int i = 0; i < 20; ++i)
        text += QByteArray("4: HYS      : 1\r\n20120234:") +
                QByteArray::number(100 + i, 16).toUpper() + "\r\n";
    const QString path = dir.filePath("many.VSF");
    Write(path, text);
    OpenAndSend(path, false);
    EXPECT_EQ(sim->Instrument(1).Menu().Number(0x0234), 119) << "the last value written";
    int writes = 0;
    for (const auto& e : sim->Line().Log().Entries())
        writes += e.direction == TTrafficLog::Received && e.text.startsWith("21120234:");
    EXPECT_GE(writes, 20);
    for (const QString& m : prompts.messages)
        EXPECT_FALSE(m.contains("not Responding")) << m.toStdString();
}

TEST_F(SettingsFiles, AnInstrumentThatDiesHalfWayEndsTheBatch)
{
    options.line.baud = 9600;
    StartFiles();
    QByteArray text = "1: FULL SETUP\r\n2: SETPNT\r\n3: SP1\r\n";
    for (int i = 0; i < 40; ++i)
        text += "4: HYS      : 1\r\n20120234:" + QByteArray::number(i, 16).toUpper() + "\r\n";
    const QString path = dir.filePath("long.VSF");
    Write(path, text);
    int lost = 0;
    QObject::connect(engine, &TCommsEngine::PortLost, [&] { ++lost; });
    QTimer::singleShot(1200, [&] { sim->Close(); });
    QElapsedTimer clock;
    clock.start();
    OpenAndSend(path, false);
    EXPECT_LT(clock.elapsed(), 4000) << "nothing waits for the dead instrument";
    EXPECT_TRUE(RunUntil([&] { return lost == 1; }));
    EXPECT_FALSE(engine->IsOpen());
}

TEST_F(SettingsFiles, ListingPrintsTheHeaderAndTheTreeToPaper)
{
    StartFiles();
    ASSERT_TRUE(StartSession(false));
    files->Print1Click(false);
    QProcess text;
    text.start("pdftotext", {"-layout", dir.filePath("listing.pdf"), "-"});
    ASSERT_TRUE(text.waitForFinished(10000));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains("Q900 Q910 SN:93123401 Version 2.31")) << printed.toStdString();
    // Three blanks a level: the text extractor keeps the steps, not the first margin.
    const auto indent = [&](const QString& caption) {
        for (const QString& line : printed.split('\n'))
            if (line.trimmed() == caption)
                return static_cast<int>(line.indexOf(caption));
        return -1;
    };
    EXPECT_GE(indent("SAFE SETUP"), 0) << printed.toStdString();
    EXPECT_EQ(indent("BUILD") - indent("SAFE SETUP"), 3);

    print.accept = false;
    QFile::remove(dir.filePath("listing.pdf"));
    files->Print1Click(false);
    EXPECT_FALSE(QFile::exists(dir.filePath("listing.pdf"))) << "a cancelled dialog prints nothing";
    print.accept = true;
    files->Print1Click(true);
    EXPECT_EQ(print.previews, 1);
    EXPECT_TRUE(QFile::exists(dir.filePath("listing.pdf")));
}
