#pragma once

#include "page.h"

#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

class TCommsEngine;
class TMimicFeed;
class TQ910LCD;
namespace Ui {
class TCalibrationPage;
}

// The Calibration tab of a Full setup session: the calibration controls above a small live
// front panel, polled while the tab is in front.
class TCalibrationPage : public QWidget, public IPage
{
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(const QString& message)>;

    TCalibrationPage(const QString& picture, const QString& programDir, TCommsEngine& engine,
                     ErrorHandler onError, QWidget* parent = nullptr);
    ~TCalibrationPage() override;

    // Place of the mimic: centred, as tall as the tab leaves below the controls, at the
    // picture's proportions.
    [[nodiscard]] static QRect FitMimic(int tabWidth, int tabHeight, int controlsHeight,
                                        int mimicTop);

    QWidget* Widget() override { return this; }
    const char* Caption() const override { return "Calibration"; }
    IActivity* Activity() override;
    bool ShownIn(const TLinkState& state) const override { return state.session && state.full; }
    void LinkChanged(const TLinkState& state) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<Ui::TCalibrationPage> ui;
    TQ910LCD* m_mimic = nullptr;
    std::unique_ptr<TMimicFeed> m_feed;
};
