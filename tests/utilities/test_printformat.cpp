// The Custom Print Formats dialog: reading, editing and writing the formats against the
// simulated instrument, the length checks at every close, and the reads and writes against
// a line the test answers by hand.
#include "../device/sessionfixture.h"
#include "modaldriver.h"
#include "printformat.h"
#include "printformatlink.h"
#include "scriptedinstrument.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace protocol;

namespace {

const QString kShortTooLong = QStringLiteral("Short Press Print Format String too long");
const QString kLongTooLong = QStringLiteral("Long Press Print Format String too long");

QLineEdit* Edit(QWidget& dialog, const char* name)
{
    return Child<QLineEdit>(&dialog, name);
}

QString Text(QWidget& dialog, const char* name)
{
    if (auto* label = dialog.findChild<QLabel*>(name))
        return label->text();
    return Edit(dialog, name)->text();
}

// Replaces an edit's text by typing, as the user would.
void Type(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// --- Against the simulated instrument ---------------------------------------------------

class PrintFormatOnSimulator : public SessionOnSimulator
{
protected:
    QString Stored(int reg)
    {
        const QString request = QStringLiteral("2111%1:").arg(tools::HexText(uint32_t(reg), 4));
        return sim->Instrument(1).Respond(request).section(u':', 1);
    }
    void Run() { TFrmPrintFormat::CustomPrintFormat1Click(*simLink.link, *session, prompts); }
};

TEST_F(PrintFormatOnSimulator, ReadEditedAndWrittenBackChangesTheInstrumentsFormats)
{
    Start();
    ClearLog();
    sessionPrompts.passcodes = {"2222"};
    WhenShown<TFrmPrintFormat>([](TFrmPrintFormat& shown) {
        // Keys go where the focus is, and a window has one only once it is active: on a busy
        // machine the dialog may show before it is.
        shown.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&shown));
        EXPECT_EQ(Text(shown, "EdtPrintEvt"),
                  R"(\86\0D\0A\84 \85  #\89\0D\0AG \81\0D\0AT \83\0D\0AN \82\0D\0A)");
        EXPECT_EQ(Text(shown, "EdtPrintLongEvt"), R"(#\89 N \82\0D\0A)");
        EXPECT_EQ(Text(shown, "LblPrintEvtBytes"), "27 of 64 bytes") << "the instrument's limit";
        EXPECT_EQ(Text(shown, "LblPrintLongEvtBytes"), "8 of 32 bytes");
        EXPECT_EQ(Text(shown, "EdtPrintLongEvtTicket"), "#[89] N [82][CR][LF]");
        Type(Edit(shown, "EdtPrintEvt"), R"(NET:\82\0D\0A)");
        QTest::keyClick(&shown, Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), Edit(shown, "EdtPrintLongEvt"));
        Type(Edit(shown, "EdtPrintLongEvt"), R"(G\81\0d\0a\\)");
        QTest::keyClick(Edit(shown, "EdtPrintLongEvt"), Qt::Key_Return); // OK is the default
    });
    Run();

    const std::vector<Tcommsobj> requests = Requests();
    ASSERT_GE(requests.size(), 4u);
    const std::pair<int, int> reads[] = {{cmd::ReadMaximum, reg::PrintFormat1},
                                         {cmd::ReadValue, reg::PrintFormat1},
                                         {cmd::ReadMaximum, reg::PrintFormat2},
                                         {cmd::ReadValue, reg::PrintFormat2}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(requests[i].Command, reads[i].first) << "request " << i;
        EXPECT_EQ(requests[i].Register, reads[i].second) << "request " << i;
    }
    EXPECT_EQ(sessionPrompts.asked, QStringList{"Enter Full Passcode"});
    EXPECT_EQ(CountWrites(reg::PrintFormat1, "4E45543A820D0A"), 1);
    EXPECT_EQ(CountWrites(reg::PrintFormat2, "47810D0A5C"), 1);
    EXPECT_EQ(Count(cmd::Execute, reg::StoreSettings), 1);
    EXPECT_EQ(Stored(reg::PrintFormat1), "4E45543A820D0A00");
    EXPECT_EQ(Stored(reg::PrintFormat2), "47810D0A5C00");
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('|').toStdString();
}

TEST_F(PrintFormatOnSimulator, TooLongFormatsKeepTheDialogOpenWhicheverWayItCloses)
{
    Start();
    ClearLog();
    bool stayedOpen = true;
    WhenShown<TFrmPrintFormat>([&](TFrmPrintFormat& shown) {
        Edit(shown, "EdtPrintEvt")->setText(QString(65, u'x'));
        EXPECT_EQ(Text(shown, "LblPrintEvtBytes"), "65 of 64 bytes, too long");
        Child<QPushButton>(&shown, "BtnOk")->click();
        Child<QPushButton>(&shown, "BtnCancel")->click();
        QTest::keyClick(&shown, Qt::Key_Escape);
        shown.close();
        Edit(shown, "EdtPrintLongEvt")->setText(QString(33, u'y'));
        Child<QPushButton>(&shown, "BtnCancel")->click();
        stayedOpen = shown.isVisible();
        Edit(shown, "EdtPrintEvt")->setText(QString(64, u'x'));
        Edit(shown, "EdtPrintLongEvt")->setText(QString(32, u'y'));
        Child<QPushButton>(&shown, "BtnCancel")->click();
    });
    Run();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(prompts.messages, QStringList({kShortTooLong, kShortTooLong, kShortTooLong,
                                             kShortTooLong, kShortTooLong, kLongTooLong}));
    EXPECT_EQ(Count(cmd::WriteValue), 0) << "cancelled in the end";
    EXPECT_TRUE(sessionPrompts.asked.isEmpty());
}

TEST_F(PrintFormatOnSimulator, CancelledPasscodeWritesNothing)
{
    Start();
    ClearLog();
    WhenShown<TFrmPrintFormat>([](TFrmPrintFormat& shown) { shown.accept(); });
    Run();
    EXPECT_EQ(sessionPrompts.asked, QStringList{"Enter Full Passcode"});
    EXPECT_EQ(Count(cmd::WriteValue, reg::PrintFormat1), 0);
    EXPECT_EQ(Count(cmd::WriteValue, reg::PrintFormat2), 0);
    EXPECT_EQ(Count(cmd::Execute, reg::StoreSettings), 0);
}

TEST_F(PrintFormatOnSimulator, PortClosedDoesNothing)
{
    Start();
    engine->Close();
    ClearLog();
    Run();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(Requests().empty());
}

// --- The dialog on its own --------------------------------------------------------------

TEST(PrintFormatDialog, CountsBytesAndPreviewsTheTicketAsTheUserTypes)
{
    RecordingPrompts prompts;
    TFrmPrintFormat dialog(prompts);
    dialog.SetFormats({QString(), QStringLiteral("N"), 6, 2});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(Text(dialog, "LblPrintEvtBytes"), "0 of 6 bytes");
    EXPECT_EQ(Text(dialog, "LblPrintLongEvtBytes"), "1 of 2 bytes");
    QTest::keyClicks(Edit(dialog, "EdtPrintEvt"), R"(OK\0D\0A)");
    EXPECT_EQ(Text(dialog, "LblPrintEvtBytes"), "4 of 6 bytes");
    EXPECT_EQ(Text(dialog, "EdtPrintEvtTicket"), "OK[CR][LF]");
    QTest::keyClicks(Edit(dialog, "EdtPrintEvt"), R"(\1B!)");
    EXPECT_EQ(Text(dialog, "LblPrintEvtBytes"), "6 of 6 bytes");
    QTest::keyClicks(Edit(dialog, "EdtPrintEvt"), "?");
    EXPECT_EQ(Text(dialog, "LblPrintEvtBytes"), "7 of 6 bytes, too long");
    EXPECT_EQ(Text(dialog, "EdtPrintEvtTicket"), "OK[CR][LF][ESC]!?");
    QTest::sendKeyEvent(QTest::Click, Edit(dialog, "EdtPrintEvt"), Qt::Key_unknown,
                        QStringLiteral("\u20AC"), Qt::NoModifier);
    EXPECT_EQ(Text(dialog, "EdtPrintEvt"), R"(OK\0D\0A\1B!?)") << "no room for it in a byte";
    EXPECT_EQ(dialog.Formats().shortLimit, 6);
    EXPECT_EQ(dialog.Formats().longText, "N");
}

// --- Against a line the test answers ----------------------------------------------------

class PrintFormatOnScriptedLine : public ScriptedInstrument
{
};

TEST_F(PrintFormatOnScriptedLine, LimitsTheInstrumentDoesNotReportStayAtTheirDefaults)
{
    refused = {reg::PrintFormat1};
    values[{cmd::ReadMaximum, reg::PrintFormat2}] = QStringLiteral("0");
    values[{cmd::ReadValue, reg::PrintFormat2}] = QStringLiteral("4E45543A0D0A00");
    const printformat::TPrintFormats formats = printformat::Read(link);
    EXPECT_EQ(formats.shortLimit, 80);
    EXPECT_EQ(formats.longLimit, 20);
    EXPECT_EQ(formats.shortText, "");
    EXPECT_EQ(formats.longText, R"(NET:\0D\0A)");
    EXPECT_TRUE(RunUntil([&] { return prompts.messages.size() == 2; }))
        << "both failed reads of the short format are reported";
    EXPECT_TRUE(prompts.messages.value(0).startsWith("Error :- Register  146:"));

    values[{cmd::ReadMaximum, reg::PrintFormat2}] = QStringLiteral("00000010");
    values[{cmd::ReadValue, reg::PrintFormat2}] = QString();
    EXPECT_EQ(printformat::Read(link).longLimit, 16);
    EXPECT_EQ(printformat::Read(link).longText, "") << "empty data";
}

TEST_F(PrintFormatOnScriptedLine, SecondFormatIsWrittenEvenWhenTheFirstIsRefused)
{
    refused = {reg::PrintFormat1};
    WhenShown<TFrmPrintFormat>([](TFrmPrintFormat& shown) {
        Edit(shown, "EdtPrintLongEvt")->setText(QStringLiteral("N"));
        shown.accept();
    });
    TFrmPrintFormat::CustomPrintFormat1Click(link, session, prompts);
    const std::vector<std::pair<int, QString>> formatWrites = [this] {
        std::vector<std::pair<int, QString>> out;
        for (const auto& write : Writes())
            if (write.first == reg::PrintFormat1 || write.first == reg::PrintFormat2)
                out.push_back(write);
        return out;
    }();
    const std::vector<std::pair<int, QString>> expected = {{reg::PrintFormat1, "00"},
                                                           {reg::PrintFormat2, "4E"}};
    EXPECT_EQ(formatWrites, expected) << "an empty format is written as 00";
    EXPECT_EQ(Count(cmd::Execute, reg::StoreSettings), 1);
}

} // namespace
