#include "chartzoom.h"

#include "logchart.h"

namespace {

constexpr std::array<TChartAxis, 2> kAxes = {TChartAxis::Bottom, TChartAxis::Left};

} // namespace

void TChartZoom::ZoomTo(const QRect& rect)
{
    Keep();
    const QPointF topLeft = m_chart.PixelToValue(rect.topLeft());
    const QPointF bottomRight = m_chart.PixelToValue(rect.bottomRight());
    m_chart.SetRange(TChartAxis::Bottom, topLeft.x(), bottomRight.x());
    m_chart.SetRange(TChartAxis::Left, bottomRight.y(), topLeft.y());
}

void TChartZoom::PanBy(const QPoint& from, const QPoint& to)
{
    Keep();
    const QPointF a = m_chart.PixelToValue(from);
    const QPointF b = m_chart.PixelToValue(to);
    const TAxisRange time = m_chart.Range(TChartAxis::Bottom);
    const TAxisRange weight = m_chart.Range(TChartAxis::Left);
    m_chart.SetRange(TChartAxis::Bottom, time.min + a.x() - b.x(), time.max + a.x() - b.x());
    m_chart.SetRange(TChartAxis::Left, weight.min + a.y() - b.y(), weight.max + a.y() - b.y());
}

void TChartZoom::Undo()
{
    if (!m_before)
        return;
    for (size_t i = 0; i < kAxes.size(); ++i) {
        const TAxisState& state = (*m_before)[i];
        m_chart.SetRange(kAxes[i], state.range.min, state.range.max);
        m_chart.SetAutoScale(kAxes[i], state.autoScale);
    }
    m_before.reset();
}

void TChartZoom::Keep()
{
    if (m_before)
        return;
    std::array<TAxisState, 2> state;
    for (size_t i = 0; i < kAxes.size(); ++i)
        state[i] = {m_chart.Range(kAxes[i]), m_chart.AutoScale(kAxes[i])};
    m_before = state;
}
