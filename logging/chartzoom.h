#pragma once

#include "traces.h"

#include <QPoint>
#include <QRect>

#include <array>
#include <optional>

class TLogChart;

// Zoom and pan of the chart by mouse, on its time and weight axes (the lanes' axis is the
// lanes' own): the ranges and automatic scaling from before the first zoom or pan are kept
// until undo-zoom brings them back.
class TChartZoom
{
public:
    explicit TChartZoom(TLogChart& chart) : m_chart(chart) {}

    // To the values under a rectangle of pixels.
    void ZoomTo(const QRect& rect);
    // So that the values under `from` come under `to`.
    void PanBy(const QPoint& from, const QPoint& to);
    // Back to the ranges before the first zoom or pan, if any.
    void Undo();

private:
    struct TAxisState
    {
        TAxisRange range;
        bool autoScale = false;
    };

    void Keep();

    TLogChart& m_chart;
    std::optional<std::array<TAxisState, 2>> m_before; // time, weight
};
