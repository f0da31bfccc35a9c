#pragma once

#include "calreport.h"
#include "page.h"
#include "request.h"

#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class IUserPrompts;
class TDevice;
class TFrmAbsCal;
class TFrmCalWait;
class TInstrumentLink;
class TMimicFeed;
class TQ910LCD;
class TSessionController;
class Tcommsobj;
namespace Ui {
class TCalibrationPage;
}

// The Calibration tab of a Full setup session: zero, span, direct mV/V and linearisation
// points, each started on the instrument and followed through its calibration status, above
// a small live front panel polled while the tab is in front.
class TCalibrationPage : public QWidget, public IPage
{
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(const QString& message)>;

    // `picture`: the front-panel picture; `programDir`: where the segment pictures are.
    TCalibrationPage(const QString& picture, const QString& programDir, TInstrumentLink& link,
                     TSessionController& session, IUserPrompts& prompts, ErrorHandler onError,
                     QWidget* parent = nullptr);
    ~TCalibrationPage() override;

    // Place of the mimic: centred below the controls with a gap above and below, as large as
    // the tab leaves it at the picture's proportions.
    [[nodiscard]] static QRect FitMimic(int tabWidth, int tabHeight, int controlsHeight, int gap);

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return "Calibration"; }
    IActivity* Activity() override;
    bool ShownIn(const TLinkState& state) const override { return state.session && state.full; }
    // Not while an operation runs: it ends with the instrument's figures read back.
    bool CanLeave() const override { return !m_running; }
    bool CanClose() override { return !m_running; }
    void LinkChanged(const TLinkState& state) override;

    // The instrument model's calibration figures and linearisation points on the tab.
    void ShowCalibration();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // How an operation's first part went: over, or waiting for the instrument to calibrate
    // (the wait's end finishes the operation).
    enum class TFlow
    {
        Over,
        Waiting
    };

    void BtnZeroClick();
    void BTnSpanClick();
    void BtnLSetClick();
    void BtnLClearClick();
    TFlow ZeroClick();
    TFlow DirectZeroClick();
    TFlow SpanClick();
    TFlow DirectSpanClick();
    TFlow SetPoint(int point);
    TFlow ClearPoint(int point);
    void LinearisationReply(const Tcommsobj& reply, bool errorsReported);
    void SetLinearisationEnabled(bool enabled);

    // Runs an operation: one at a time, finished at once or when its wait ends.
    void Operate(const std::function<TFlow()>& operation);
    void EndOperation();
    [[nodiscard]] calreport::TFigures Figures() const;
    // A weight as the instrument shows it, with its units ("400.0 kg").
    [[nodiscard]] QString WeightShown(int32_t weight) const;
    [[nodiscard]] int SelectedPoint() const;
    [[nodiscard]] std::unique_ptr<TFrmAbsCal> NewDialog();
    TReply Execute(int reg, const QString& data = {});
    bool WriteWeight(int32_t weight);
    TFlow StatusWait();
    void WaitEnded(int end, uint32_t status);
    void ClosingSteps();

    std::unique_ptr<Ui::TCalibrationPage> ui;
    TInstrumentLink& m_link;
    TDevice& m_device;
    TSessionController& m_session;
    IUserPrompts& m_prompts;
    TQ910LCD* m_mimic = nullptr;
    std::unique_ptr<TMimicFeed> m_feed;
    std::unique_ptr<TFrmCalWait> m_waitWindow;
    bool m_running = false;
    bool m_succeeded = false;     // the operation changed the instrument's calibration
    calreport::TFigures m_before; // the figures as it began
};
