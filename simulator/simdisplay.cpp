#include "simdisplay.h"

#include "tools.h"

#include <cmath>

namespace {

constexpr qint64 kFlashHalfPeriodMs = 500;

} // namespace

void TSimDisplay::Flash(const QString& text, qint64 untilMs)
{
    m_message = text;
    m_messageUntil = untilMs;
}

QString TSimDisplay::WeightDigits(const TState& state)
{
    const TWeighingChannel::TReading& r = state.reading;
    if (r.overload)
        return QStringLiteral("-OL-");
    if (r.underload)
        return QStringLiteral("-UL-");
    QString text = tools::IntToFixed(r.shown, state.decimals);
    if (state.highResolution) {
        // One more decimal, unrounded by the count-by: the technician's view of the signal.
        const double raw = r.netMode ? r.rawGross - r.tare : r.rawGross;
        text = tools::IntToFixed(static_cast<int32_t>(std::lround(raw * 10)), state.decimals + 1);
    }
    if (QString(text).remove(u'.').size() > TLcdFrame::kDigits)
        return r.shown < 0 ? QStringLiteral("-UL-") : QStringLiteral("-OL-");
    return text;
}

TLcdFrame TSimDisplay::Render(const TState& state, qint64 nowMs) const
{
    TLcdFrame frame;
    if (state.calibrating)
        frame.SetText(QStringLiteral("-CAL-"));
    else if (nowMs < m_messageUntil)
        frame.SetText(m_message);
    else
        frame.SetText(WeightDigits(state));
    frame.SetSmallDigit(state.highResolution ? u'H' : u' ', false);
    SetAnnunciators(frame, state, nowMs);
    return frame;
}

void TSimDisplay::SetAnnunciators(TLcdFrame& frame, const TState& state, qint64 nowMs)
{
    const TWeighingChannel::TReading& r = state.reading;
    frame.SetAnnunciator(TLcdFrame::Kilograms, state.units == 1);
    frame.SetAnnunciator(TLcdFrame::Pounds, state.units == 2);
    frame.SetAnnunciator(TLcdFrame::Tonnes, state.units == 3);
    frame.SetAnnunciator(TLcdFrame::Grams, state.units == 4);
    const bool flashOn = (nowMs / kFlashHalfPeriodMs) % 2 == 0;
    frame.SetAnnunciator(TLcdFrame::EditBar, state.editing && flashOn);
    frame.SetAnnunciator(TLcdFrame::Zero, r.zero && !r.netMode);
    frame.SetAnnunciator(TLcdFrame::CentreOfZero, r.centreOfZero && !r.netMode);
    frame.SetAnnunciator(TLcdFrame::Motion, r.motion);
    frame.SetAnnunciator(TLcdFrame::Net, r.netMode);
    frame.SetAnnunciator(TLcdFrame::Gross, !r.netMode);
    frame.SetAnnunciator(TLcdFrame::Output1, r.outputs[0]);
    frame.SetAnnunciator(TLcdFrame::Output2, r.outputs[1]);
}
