#pragma once

#include "lcdframe.h"
#include "weighingchannel.h"

#include <QString>

// What the instrument's LCD shows: the weight or a short message in the digits, and the
// annunciators for units, zero, motion, net/gross, the setpoint outputs and editing.
class TSimDisplay
{
public:
    struct TState
    {
        TWeighingChannel::TReading reading;
        int decimals = 0;
        int units = 0; // 0 none, then kg, lb, t, g as the UNITS setting lists them
        bool editing = false;
        bool calibrating = false;
        bool highResolution = false;
    };

    // Shows a message in the digits instead of the weight until the given time.
    void Flash(const QString& text, qint64 untilMs);
    [[nodiscard]] TLcdFrame Render(const TState& state, qint64 nowMs) const;
    // The digits as the weight occupies them, or the overload and underload marks.
    [[nodiscard]] static QString WeightDigits(const TState& state);

private:
    static void SetAnnunciators(TLcdFrame& frame, const TState& state, qint64 nowMs);

    QString m_message;
    qint64 m_messageUntil = 0;
};
