#pragma once

#include "logsampler.h"

#include <QDialog>

#include <array>
#include <memory>

class QComboBox;
namespace Ui {
class TFrmLogDialog;
}

// What the Logging dialog chooses: the sample rate list index (-1: none selected) and the
// channel list index of digital channels 1..4 (-1: none selected, logged as None).
struct TLogChoice
{
    int rate = -1;
    std::array<int, logchannels::DigitalCount> channels{-1, -1, -1, -1};

    bool operator==(const TLogChoice&) const = default;
};

// The Logging dialog: sample rate and digital channels of a run. Made once and reused, so its
// lists say what the last confirmed run used; a cancelled dialog goes back to what it showed
// when it opened, so that the choice never disagrees with the data on the chart.
class TFrmLogDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TFrmLogDialog(QWidget* parent = nullptr);
    ~TFrmLogDialog() override;

    void SetChoice(const TLogChoice& choice);
    [[nodiscard]] TLogChoice Choice() const;

    void done(int result) override;

private:
    [[nodiscard]] std::array<QComboBox*, logchannels::DigitalCount> ChannelLists() const;

    std::unique_ptr<Ui::TFrmLogDialog> ui;
    TLogChoice m_shown;
};
