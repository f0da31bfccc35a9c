#pragma once

// The Calibration tab in a Full setup session against the simulated instrument over a
// pseudo-terminal, wired as the program wires it, with the window's controls recorded and
// the page's modal windows answered as a user would.
#include "abscal.h"
#include "calentry.h"
#include "calibrationpage.h"
#include "calwait.h"
#include "mimictestdata.h"
#include "modaldriver.h"
#include "sessionfixture.h"
#include "tools.h"

#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <functional>

// The window's commands as the link's jobs lock and unlock them.
class RecordingControls
{
public:
    QStringList calls;
    bool locked = false;

    void Follow(TInstrumentLink& link)
    {
        QObject::connect(&link, &TInstrumentLink::JobChanged, [this, &link] {
            if (link.JobRunning() == locked)
                return;
            locked = link.JobRunning();
            calls << (locked ? "lock" : "unlock");
        });
    }
};

// What an entry dialog showed when it came up.
struct DialogSeen
{
    QString title;
    QString prompt;
    QString signal; // empty when hidden
    QString weight; // empty when hidden
    QString units;
    bool weightEnabled = false;
};

class CalibrationOnSimulator : public SessionOnSimulator
{
protected:
    void StartCalibration()
    {
        calPage.reset();
        Start();
        if (HasFatalFailure())
            return;
        controls.Follow(*simLink.link);
        calPage = std::make_unique<TCalibrationPage>(
            dir.Picture(), dir.Path(), *simLink.link, *session, prompts,
            [this](const QString& error) { mimicErrors << error; });
        ASSERT_TRUE(StartSession(true));
        ClearLog();
    }

    // The requests of the operation, without display polls and keep-alives, as
    // "command register:data".
    QStringList Traffic()
    {
        using namespace protocol;
        QStringList seen;
        for (const Tcommsobj& r : Requests()) {
            if (r.Register != reg::Display && r.Register != reg::SessionControl)
                seen << QStringLiteral("%1 %2:%3")
                            .arg(tools::HexText(r.Command, 2), tools::HexText(r.Register, 4),
                                 r.Data);
        }
        return seen;
    }
    // The instrument stores its settings, keeping the session's passcodes, and the figures
    // are read back.
    static QStringList ClosingSteps()
    {
        QStringList steps = {"11 00D0:", "11 00D1:",    "10 0010:",    "11 0005:", "11 0005:",
                             "11 0005:", "12 001A:457", "12 0019:8AE", "11 0112:", "05 0025:",
                             "11 002F:", "11 00F0:",    "11 0111:",    "11 0113:", "11 002F:"};
        for (int reg = protocol::reg::LinWeightFirst; reg <= protocol::reg::LinWeightLast; ++reg)
            steps << QStringLiteral("11 %1:").arg(tools::HexText(reg, 4));
        return steps;
    }
    // What the page told the user, but for the question before an operation and the report
    // of the figures after it.
    QStringList Reports() const
    {
        QStringList reports;
        for (const QString& m : prompts.messages)
            if (!m.startsWith("confirm: ") && !m.startsWith("Calibration done."))
                reports << m;
        return reports;
    }
    int StatusReads() { return Count(protocol::cmd::ReadValue, protocol::reg::CalibrationStatus); }
    QStringList StatusReadRequests() { return QStringList(StatusReads(), "11 0021:"); }
    // The status readings the instrument gave, in order.
    std::vector<uint32_t> StatusReplies()
    {
        std::vector<uint32_t> values;
        for (const auto& e : sim->Line().Log().Entries()) {
            Tcommsobj reply;
            if (e.direction == TTrafficLog::Sent && reply.Parse(e.text.trimmed()) &&
                reply.Register == protocol::reg::CalibrationStatus)
                values.push_back(reply.Value);
        }
        return values;
    }
    // A register of the simulated instrument read behind the link's back.
    int32_t SimValue(int reg)
    {
        Tcommsobj request;
        request.RequestBit = true;
        request.Address = 1;
        request.Command = protocol::cmd::ReadValue;
        request.Register = reg;
        return static_cast<int32_t>(tools::HexToInt(sim->Instrument(1).Respond(request).Data));
    }

    template <class T> T* Field(const char* name) { return Child<T>(calPage.get(), name); }
    QString Label(const char* name) { return Field<QLabel>(name)->text(); }
    QStringList ListLines()
    {
        QStringList lines;
        for (int i = 0; i < Field<QListWidget>("LBxLCal")->count(); ++i)
            lines << Field<QListWidget>("LBxLCal")->item(i)->text();
        return lines;
    }
    // Presses a button; the operation it starts runs to its end, its status wait included.
    void Click(const char* button)
    {
        Field<QPushButton>(button)->click();
        WaitForJob();
    }
    void SelectPoint(int row) { Field<QListWidget>("LBxLCal")->setCurrentRow(row); }

    // Answers the next entry dialog: records what it shows, types into a field, presses a
    // button.
    void AnswerDialog(const char* field, const QString& text, const char* button = "BtnOk")
    {
        WhenShown<TFrmAbsCal>([this, field, text, button](TFrmAbsCal& dialog) {
            seen = Seen(dialog);
            if (field)
                Child<QLineEdit>(&dialog, field)->setText(text);
            Child<QPushButton>(&dialog, button)->click();
        });
    }
    static DialogSeen Seen(TFrmAbsCal& dialog)
    {
        const auto* signal = Child<QLineEdit>(&dialog, "EdtAbsMV");
        const auto* weight = Child<QLineEdit>(&dialog, "EdtCalWeight");
        return {dialog.windowTitle(),
                Child<QLabel>(&dialog, "lblAbsPrompt")->text(),
                signal->isVisible() ? signal->text() : QString(),
                weight->isVisible() ? weight->text() : QString(),
                Child<QLabel>(&dialog, "lblCalWeightUnits")->text(),
                weight->isEnabled()};
    }
    // After every operation: the hourglass is gone, the window usable and no line selected.
    void ExpectOperationEnded()
    {
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(controls.locked);
        EXPECT_TRUE(Field<QListWidget>("LBxLCal")->selectedItems().isEmpty());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }

    ProgramDir dir;
    RecordingControls controls;
    std::unique_ptr<TCalibrationPage> calPage;
    QStringList mimicErrors;
    DialogSeen seen;
};
