// The Calibration tab against the simulated instrument: zero and span, with a weight and as
// direct mV/V, each operation's traffic in order, the status wait and its result codes, and
// the wait's window with Cancel.
#include "calibrationfixture.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

using namespace protocol;

TEST(CalibrationPage, MimicFillsTheRoomBelowTheControlsAtPictureProportions)
{
    const QRect r = TCalibrationPage::FitMimic(800, 500, 150, 8);
    EXPECT_EQ(r.top(), 158) << "below the controls";
    EXPECT_EQ(r.height(), 500 - 158 - 8);
    EXPECT_EQ(r.width(), 334 * 1000 / 491);
    EXPECT_EQ(r.x(), (800 - r.width()) / 2);
    const QRect narrow = TCalibrationPage::FitMimic(400, 500, 150, 8);
    EXPECT_EQ(narrow.width(), 400) << "a narrow tab limits the width";
    EXPECT_EQ(narrow.height(), 400 * 491 / 1000);
    EXPECT_EQ(narrow.x(), 0);
    EXPECT_EQ(TCalibrationPage::FitMimic(800, 100, 150, 8).height(), 0);
}

TEST_F(CalibrationOnSimulator, SessionStartShowsTheFiguresReadFromTheInstrument)
{
    StartCalibration();
    EXPECT_EQ(Label("LblZeroCal"), calentry::SignalText(SimValue(reg::ZeroSignal)));
    EXPECT_EQ(Label("LblSpanCal"), calentry::SignalText(device->ReferenceSignal));
    EXPECT_NE(device->ReferenceSignal, 0);
    EXPECT_EQ(ListLines().size(), 10) << "the instrument answers for all ten points";
    EXPECT_EQ(ListLines().first(), " 1:");
    EXPECT_TRUE(Field<QPushButton>("BtnLSet")->isEnabled());
    EXPECT_FALSE(Field<QCheckBox>("CBxDirectMVV")->isChecked());
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
}

TEST_F(CalibrationOnSimulator, ZeroStartsWaitsStoresAndReadsBack)
{
    options.instrument.calibrationMs = 200;
    options.instrument.initialLoadKg = 2;
    StartCalibration();
    const int32_t before = SimValue(reg::ZeroSignal);
    Click("BtnZero");

    EXPECT_EQ(Traffic(),
              QStringList({"11 0019:", "10 0102:"}) + StatusReadRequests() + ClosingSteps());
    EXPECT_GE(StatusReads(), 5);
    EXPECT_EQ(controls.calls, (QStringList{"lock", "unlock"}));
    const int32_t after = SimValue(reg::ZeroSignal);
    EXPECT_NE(after, before) << "the load on the scale is the new zero";
    EXPECT_EQ(device->ZeroSignal, after);
    EXPECT_EQ(Label("LblZeroCal"), calentry::SignalText(after));
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
    EXPECT_EQ(prompts.messages,
              (QStringList{"confirm: " + calreport::ConfirmZero(),
                           QStringLiteral("Calibration done.\nZero: %1 to %2 mV/V")
                               .arg(calentry::SignalText(before), calentry::SignalText(after))}))
        << "one question before, what changed after";
    ExpectOperationEnded();
}

// The wait goes on while the instrument is busy and ends after five readings in a row
// without the busy bit: busy, busy, then five not busy is seven reads.
TEST_F(CalibrationOnSimulator, StatusWaitEndsAfterFiveQuietReadingsInARow)
{
    options.instrument.calibrationMs = 1250;
    StartCalibration();
    Click("BtnZero");
    const std::vector<uint32_t> replies = StatusReplies();
    ASSERT_GE(replies.size(), 6u);
    const auto firstQuiet = std::find(replies.begin(), replies.end(), 0u);
    const long busy = firstQuiet - replies.begin();
    EXPECT_GE(busy, 1) << "the first readings find the instrument busy";
    EXPECT_TRUE(std::all_of(replies.begin(), firstQuiet,
                            [](uint32_t s) { return s == status::CalibrationBusy; }));
    EXPECT_EQ(replies.size() - busy, 5u) << "then exactly five quiet readings";
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
}

TEST_F(CalibrationOnSimulator, ResultCodeIsShownAfterTheReadingThatHasIt)
{
    for (const auto& [code, message] :
         {std::pair{3, "Error: 3 - Resolution Low"}, std::pair{12, "Error: 12 - "}}) {
        options.instrument.calibrationMs = 200;
        options.instrument.forcedCalibrationResult = code;
        StartCalibration();
        Click("BtnZero");
        EXPECT_EQ(StatusReads(), 1) << code;
        EXPECT_EQ(Reports(), QStringList{QString::fromLatin1(message)});
        EXPECT_EQ(Traffic().mid(3, 3), ClosingSteps().mid(0, 3)) << "then the closing steps";
        ExpectOperationEnded();
        prompts.messages.clear();
    }
}

// The instrument never finishes: the window in front of the wait ends it with Cancel within
// a second, the closing steps run as after a failed read, and the window is usable again.
TEST_F(CalibrationOnSimulator, CancelEndsAnEndlessBusyWithinASecond)
{
    options.instrument.calibrationStuck = true;
    StartCalibration();
    engine->SetActivity(calPage->Activity());
    int pollsBefore = 0;
    bool lockedMeanwhile = false;
    bool hourglassMeanwhile = false;
    QString state;
    QElapsedTimer sinceCancel;
    qint64 windowGoneMs = -1;
    WhenShown<TFrmCalWait>(
        [&](TFrmCalWait& window) {
            lockedMeanwhile = controls.locked;
            hourglassMeanwhile = QGuiApplication::overrideCursor() != nullptr;
            state = Child<QLabel>(&window, "LblBusy")->text();
            QObject::connect(&window, &QObject::destroyed,
                             [&] { windowGoneMs = sinceCancel.elapsed(); });
            sinceCancel.start();
            QTest::mouseClick(Child<QPushButton>(&window, "BtnCancel"), Qt::LeftButton);
        },
        [&] {
            if (pollsBefore == 0)
                pollsBefore = Count(cmd::ReadValue, reg::Display);
            return StatusReads() >= 3;
        });
    Click("BtnZero");

    ASSERT_GE(windowGoneMs, 0);
    EXPECT_LT(windowGoneMs, 1000);
    EXPECT_TRUE(lockedMeanwhile);
    EXPECT_TRUE(hourglassMeanwhile);
    EXPECT_EQ(state, "Instrument busy");
    EXPECT_GT(Count(cmd::ReadValue, reg::Display), pollsBefore) << "the mimic stays live";
    EXPECT_EQ(Traffic().mid(2 + StatusReads()), ClosingSteps());
    EXPECT_EQ(controls.calls, (QStringList{"lock", "unlock"}));
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
    ExpectOperationEnded();
}

// An instrument that stops answering ends the wait with the engine's own report, and the
// closing steps run once it answers again.
TEST_F(CalibrationOnSimulator, SilenceEndsTheWaitWithTheNoResponseReport)
{
    options.instrument.calibrationStuck = true;
    StartCalibration();
    WhenShown<TFrmCalWait>([&](TFrmCalWait&) { simLink.link->SetAddress(5); },
                           [&] { return StatusReads() >= 2; });
    prompts.whileShown = [&](const QString&) { simLink.link->SetAddress(1); };
    Click("BtnZero");

    ASSERT_EQ(Reports().size(), 1);
    EXPECT_TRUE(Reports().first().startsWith("Instrument not responding"));
    EXPECT_EQ(Count(cmd::Execute, reg::StoreSettings), 1) << "closing steps after the silence";
    EXPECT_EQ(controls.calls, (QStringList{"lock", "unlock"}));
    ExpectOperationEnded();
}

TEST_F(CalibrationOnSimulator, SpanAtATestWeight)
{
    options.instrument.calibrationMs = 200;
    options.instrument.initialLoadKg = 400;
    StartCalibration();
    AnswerDialog("EdtCalWeight", "400.0");
    Click("BTnSpan");

    EXPECT_EQ(seen.title, "Span Calibration");
    EXPECT_EQ(seen.signal, "") << "no signal field";
    EXPECT_EQ(seen.weight, "500.0") << "the span weight the instrument has";
    EXPECT_EQ(seen.units, "kg");
    EXPECT_EQ(Traffic(), QStringList({"11 0112:", "11 0019:", "12 0100:FA0", "10 0103:"}) +
                             StatusReadRequests() + ClosingSteps());
    EXPECT_EQ(SimValue(reg::SpanWeight), 4000);
    EXPECT_EQ(device->SpanWeight, 4000);
    EXPECT_EQ(device->SpanSignal, SimValue(reg::SpanSignal));
    EXPECT_EQ(Label("LblSpanCal"), calentry::SignalText(device->ReferenceSignal));
    EXPECT_EQ(controls.calls, (QStringList{"lock", "unlock"}));
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
    ExpectOperationEnded();
}

TEST_F(CalibrationOnSimulator, CancelledSpanDialogStillReadsTheFiguresBack)
{
    StartCalibration();
    AnswerDialog(nullptr, {}, "BtnCancel");
    Click("BTnSpan");
    EXPECT_EQ(Traffic(), QStringList{"11 0112:"} + ClosingSteps());
    EXPECT_TRUE(controls.calls.isEmpty());
    ExpectOperationEnded();
}

TEST_F(CalibrationOnSimulator, DirectZeroWritesTheSignalWithoutAWait)
{
    StartCalibration();
    const QString before = calentry::SignalText(SimValue(reg::ZeroSignal));
    Field<QCheckBox>("CBxDirectMVV")->setChecked(true);
    AnswerDialog("EdtAbsMV", "-0.5");
    Click("BtnZero");

    EXPECT_EQ(seen.title, "Absolute mV/V Calibration");
    EXPECT_EQ(seen.prompt, "Enter Zero Signal");
    EXPECT_EQ(seen.signal, before) << "the zero the model holds";
    EXPECT_EQ(seen.weight, "") << "no weight field";
    EXPECT_EQ(Traffic(), QStringList({"11 0019:", "10 0102:FFFFEC78"}) + ClosingSteps());
    EXPECT_EQ(SimValue(reg::ZeroSignal), -5000);
    EXPECT_EQ(Label("LblZeroCal"), "-0.5000");
    EXPECT_TRUE(controls.calls.isEmpty()) << "no wait, no lock";
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
    ExpectOperationEnded();
}

TEST_F(CalibrationOnSimulator, DirectSpanWritesTheSignalBesideTheReferenceWeight)
{
    StartCalibration();
    Field<QCheckBox>("CBxDirectMVV")->setChecked(true);
    AnswerDialog("EdtAbsMV", "1.5");
    Click("BTnSpan");

    EXPECT_EQ(seen.title, "Absolute mV/V Calibration");
    EXPECT_EQ(seen.prompt, "Enter Span Signal");
    EXPECT_EQ(seen.weight, "500.0");
    EXPECT_FALSE(seen.weightEnabled);
    // Setting the model's span signal reads the reference weight again to scale it.
    EXPECT_EQ(Traffic(), QStringList({"11 0019:", "10 0103:3A98", "11 002F:"}) + ClosingSteps());
    EXPECT_EQ(SimValue(reg::SpanSignal), 15000);
    EXPECT_EQ(Label("LblSpanCal"), "1.5000");
    EXPECT_TRUE(controls.calls.isEmpty());
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
    ExpectOperationEnded();
}

// The instrument refuses a zero of 2.5 mV/V with a value in its reply: the tab shows the
// zero it kept, without a message.
TEST_F(CalibrationOnSimulator, DirectSignalTheInstrumentRefusesLeavesItsOwnFigure)
{
    StartCalibration();
    const int32_t before = SimValue(reg::ZeroSignal);
    Field<QCheckBox>("CBxDirectMVV")->setChecked(true);
    AnswerDialog("EdtAbsMV", "2.5");
    Click("BtnZero");
    EXPECT_EQ(Traffic().mid(0, 2), QStringList({"11 0019:", "10 0102:61A8"}));
    EXPECT_EQ(Label("LblZeroCal"), calentry::SignalText(before));
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
}

// Nothing reaches the instrument when the passcode is refused; the figures are read back.
TEST_F(CalibrationOnSimulator, RefusedPasscodeStopsBeforeTheAction)
{
    StartCalibration();
    session->Lock();
    ClearLog();
    Click("BtnZero"); // the passcode prompt has no answer: cancelled
    EXPECT_EQ(Count(cmd::Execute, reg::ZeroCalibration), 0);
    EXPECT_EQ(Traffic().first(), "11 0019:");
    EXPECT_TRUE(controls.calls.isEmpty());
    ExpectOperationEnded();
}

TEST_F(CalibrationOnSimulator, TabWorksFromTheKeyboard)
{
    StartCalibration();
    calPage->show();
    calPage->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(calPage.get()));
    Field<QPushButton>("BtnZero")->setFocus();
    QStringList order;
    for (int i = 0; i < 6; ++i) {
        QWidget* focus = calPage->focusWidget();
        ASSERT_NE(focus, nullptr);
        order << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(order, (QStringList{"BtnZero", "BTnSpan", "CBxDirectMVV", "LBxLCal", "BtnLSet",
                                  "BtnLClear"}));
    QTest::keyClick(Field<QCheckBox>("CBxDirectMVV"), Qt::Key_Space);
    EXPECT_TRUE(Field<QCheckBox>("CBxDirectMVV")->isChecked());
    EXPECT_TRUE(mimicErrors.isEmpty()) << mimicErrors.join('|').toStdString();
}

// Every operation that changes the calibration asks once, naming what will happen; a "no"
// sends nothing to the instrument.
TEST_F(CalibrationOnSimulator, EachOperationAsksOnceAndANoSendsNothing)
{
    StartCalibration();
    const struct
    {
        const char* button;
        bool direct;
        const char* field;
        const char* text;
        QString question;
    } cases[] = {
        {"BtnZero", false, nullptr, "", calreport::ConfirmZero()},
        {"BtnZero", true, "EdtAbsMV", "-0.5", calreport::ConfirmDirectZero(-5000)},
        {"BTnSpan", false, "EdtCalWeight", "400.0", calreport::ConfirmSpan("400.0 kg")},
        {"BTnSpan", true, "EdtAbsMV", "1.5", calreport::ConfirmDirectSpan(15000, "500.0 kg")},
        {"BtnLSet", false, "EdtCalWeight", "100.0", calreport::ConfirmSetPoint(2, "100.0 kg")},
        {"BtnLClear", false, nullptr, "", calreport::ConfirmClearPoint(2)},
    };
    prompts.confirmAnswer = false;
    for (const auto& c : cases) {
        Field<QCheckBox>("CBxDirectMVV")->setChecked(c.direct);
        SelectPoint(1);
        if (c.field)
            AnswerDialog(c.field, QString::fromLatin1(c.text));
        prompts.messages.clear();
        ClearLog();
        Click(c.button);
        EXPECT_EQ(prompts.messages, QStringList{"confirm: " + c.question}) << c.button;
        const QStringList sent = Traffic();
        EXPECT_FALSE(sent.join(' ').contains(QRegularExpression("^1[02] |\\s1[02] ")))
            << c.button << ": " << sent.join(' ').toStdString();
        ExpectOperationEnded();
    }
}
