#pragma once

#include <qcustomplot.h>

#include <array>

// The two crosshair cursors of the charts, drawn on a layer of their own above the plot so
// that showing or hiding one redraws that layer alone. A full redraw of the chart wipes
// them (Forget), as the cursors of a chart always were.
class TChartCursors
{
public:
    static constexpr int Count = 2;

    explicit TChartCursors(QCustomPlot* plot);

    // Crosshair through a pixel of the plot widget, across `area` (the plot area); without
    // `across`, its vertical line alone.
    void Show(int cursor, const QPoint& pixel, const QRect& area, bool across = true);
    void Hide(int cursor);
    bool Shown(int cursor) const;
    // Marks both absent without drawing: for the start of a full redraw.
    void Forget();
    // True while the cursor layer is being redrawn (which may fall back to a full redraw
    // that is no redraw of the chart's contents).
    bool Drawing() const { return m_drawing; }
    // Left out of printed and exported pictures.
    void SetPrintable(bool printable);
    // The crosshairs are yellow drawn by XOR, as they always were: their colour is yellow
    // XOR the background.
    void SetBackground(const QColor& background);

private:
    void Refresh();

    QCustomPlot* m_plot;
    QCPLayer* m_layer = nullptr;
    std::array<QCPItemLine*, 2 * Count> m_lines{}; // vertical, horizontal of each cursor
    std::array<bool, Count> m_shown{};
    bool m_drawing = false;
};
