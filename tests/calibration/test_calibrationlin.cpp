// Linearisation on the Calibration tab against the simulated instrument: setting and clearing
// points, the list with unset points, and an instrument without linearisation.
#include "calibrationfixture.h"

#include "simcalibration.h"

using namespace protocol;

namespace {

// The simulated instrument's calibration with points at the given weights (0: unset), each
// at the signal its weight has on the present span.
QString BlockWithPoints(const QString& block, const std::vector<int32_t>& weights)
{
    TSimCalibration calibration(0, 1, 1);
    EXPECT_TRUE(calibration.SetBlock(block));
    const double zero = calibration.ZeroRegister() / 1e4;
    const double span = calibration.SpanRegister() / 1e4;
    for (size_t k = 0; k < weights.size(); ++k) {
        if (weights[k] != 0) {
            const double signal = zero + span * weights[k] / calibration.SpanWeight();
            EXPECT_EQ(calibration.SetPoint(static_cast<int>(k), signal, weights[k], 5000), 0);
        }
    }
    return calibration.Block();
}

} // namespace

class Linearisation : public CalibrationOnSimulator
{
protected:
    // Gives the simulated instrument these points and starts the session that reads them.
    void StartWithPoints(const std::vector<int32_t>& weights)
    {
        StartCalibration();
        if (HasFatalFailure())
            return;
        TSimInstrument& instrument = sim->Instrument(1);
        QJsonObject state = instrument.SaveState();
        state.insert("calibration",
                     BlockWithPoints(state.value("calibration").toString(), weights));
        instrument.LoadState(state);
        ASSERT_TRUE(StartSession(true));
        ClearLog();
    }
};

TEST_F(Linearisation, ListShowsUnsetPointsAsTheirNumberOnly)
{
    StartWithPoints({1000, 0, 3000});
    EXPECT_EQ(ListLines(), (QStringList{" 1: 100.0", " 2:", " 3: 300.0",
                                        " 4:", " 5:", " 6:", " 7:", " 8:", " 9:", "10:"}));
    EXPECT_TRUE(Field<QListWidget>("LBxLCal")->isEnabled());
}

// The model's count decides how many lines there are, not the points that are set.
TEST_F(Linearisation, ListHasAsManyLinesAsTheCountOfPoints)
{
    StartCalibration();
    device->LinPoints = {1000, 0, 3000, 4000};
    device->LinPointCount = 3;
    calPage->ShowCalibration();
    EXPECT_EQ(ListLines(), (QStringList{" 1: 100.0", " 2:", " 3: 300.0"}));
    device->LinPointCount = 0;
    calPage->ShowCalibration();
    EXPECT_TRUE(ListLines().isEmpty());
    EXPECT_FALSE(Field<QPushButton>("BtnLSet")->isEnabled());
    EXPECT_FALSE(Field<QPushButton>("BtnLClear")->isEnabled());
    EXPECT_FALSE(Field<QListWidget>("LBxLCal")->isEnabled());
}

TEST_F(Linearisation, SetPointThreeAtATestWeight)
{
    options.instrument.calibrationMs = 200;
    options.instrument.initialLoadKg = 300;
    StartCalibration();
    SelectPoint(2);
    AnswerDialog("EdtCalWeight", "300.0");
    Click("BtnLSet");

    EXPECT_EQ(seen.title, "Linearisation");
    EXPECT_EQ(seen.weight, "") << "the weight starts empty";
    EXPECT_EQ(seen.signal, "");
    EXPECT_EQ(seen.units, "kg");
    EXPECT_EQ(Traffic(), QStringList({"11 0019:", "12 0100:BB8", "10 0106:"}) +
                             StatusReadRequests() + ClosingSteps());
    EXPECT_EQ(SimValue(reg::LinWeightFirst + 2), 3000);
    EXPECT_EQ(ListLines().at(2), " 3: 300.0");
    EXPECT_EQ(controls.calls, (QStringList{"lock", "unlock"}));
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
    ExpectOperationEnded();
}

TEST_F(Linearisation, ClearingPointFourSetsItAtWeightZero)
{
    options.instrument.calibrationMs = 200;
    StartWithPoints({0, 0, 0, 4000});
    ASSERT_EQ(ListLines().at(3), " 4: 400.0");
    SelectPoint(3);
    Click("BtnLClear");

    const QStringList clear = {"11 0019:", "12 0100:0", "10 0107:"};
    EXPECT_EQ(Traffic(), clear + StatusReadRequests() + ClosingSteps());
    EXPECT_EQ(SimValue(reg::LinWeightFirst + 3), 0);
    EXPECT_EQ(ListLines().at(3), " 4:");
    EXPECT_EQ(controls.calls, (QStringList{"lock", "unlock"}));
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
    ExpectOperationEnded();
}

// The instrument reports a point it does not have with a result code.
TEST_F(Linearisation, ClearingAnUnsetPointShowsTheInstrumentsResult)
{
    options.instrument.calibrationMs = 200;
    StartCalibration();
    SelectPoint(5);
    Click("BtnLClear");
    EXPECT_EQ(Reports(), QStringList{"Error: 6 - Linearisation point not present"});
    EXPECT_EQ(prompts.warnings, Reports()) << "with the warning icon";
    ExpectOperationEnded();
}

TEST_F(Linearisation, SetAndClearDoNothingWithoutASelectedLine)
{
    StartCalibration();
    ASSERT_TRUE(Field<QListWidget>("LBxLCal")->selectedItems().isEmpty());
    Click("BtnLSet");
    Click("BtnLClear");
    EXPECT_TRUE(Traffic().isEmpty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Linearisation, CancelledDialogLeavesThePointsAlone)
{
    StartCalibration();
    SelectPoint(0);
    AnswerDialog("EdtCalWeight", "100.0", "BtnCancel");
    Click("BtnLSet");
    EXPECT_TRUE(Traffic().isEmpty()) << Traffic().join(' ').toStdString();
    EXPECT_TRUE(controls.calls.isEmpty());
    ExpectOperationEnded();
}

// Point 1 and its weight answer with errors: the list and its buttons are disabled, without
// a message, until the next session starts.
TEST_F(Linearisation, InstrumentWithoutLinearisationDisablesItsControls)
{
    options.instrument.noLinearisation = true;
    StartCalibration();
    EXPECT_TRUE(ListLines().isEmpty());
    EXPECT_FALSE(Field<QPushButton>("BtnLSet")->isEnabled());
    EXPECT_FALSE(Field<QPushButton>("BtnLClear")->isEnabled());
    EXPECT_FALSE(Field<QListWidget>("LBxLCal")->isEnabled());
    EXPECT_EQ(device->LinPointCount, 0);
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();

    emit session->SessionStarting();
    EXPECT_TRUE(Field<QPushButton>("BtnLSet")->isEnabled()) << "a new session tries again";
    EXPECT_FALSE(engine->SendCommand(TRequest::Execute(reg::LinPointFirst).Reporting()).Ok());
    EXPECT_FALSE(Field<QPushButton>("BtnLSet")->isEnabled()) << "setting point 1 is refused";
    EXPECT_FALSE(Field<QListWidget>("LBxLCal")->isEnabled());
    RunFor(50);
    EXPECT_TRUE(Reports().isEmpty()) << Reports().join('|').toStdString();
}
