#pragma once

#include "chartcolours.h"
#include "labelformat.h"
#include "packedtraces.h"
#include "traces.h"

#include <QColor>
#include <QPointF>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class QCPAxis;
class QPainter;
class TChartCursors;
class TChartDrag;
class TChartHeadings;
class TChartLanes;
class TChartZoom;
class TLabelTicker;
class TPlot;
class TSpanAxisRect;
class TTraceGraph;

enum class TChartAxis
{
    Left,  // weight
    Right, // digital channels, in lanes above the plot
    Bottom // time
};

enum class TTraceStyle
{
    FastLine, // many points, thinned to what the pixels can show
    Line,
    Stairs, // a value holds until the next point
    Stars,
    Crosses
};

// The chart of the Log page and of the Factory Test Results window: traces against time on
// a left and a bottom axis, and on a right axis in a strip of 0/1 lanes above the plot, with
// zoom, undo-zoom and pan by mouse, crosshair cursors, printing and export, in the colours of
// its palette (on paper: black on white). It holds the only copy of the points, packed (a
// week at 10 Hz in tens of megabytes), read and filled by the log file through ITraceSource
// and ITraceSink; each redraw draws only what the view shows.
//
// Mouse: a left-button drag to the lower right zooms into its rectangle, one to the upper
// left undoes the zoom, a right-button drag pans; with Shift held a press only reports
// MouseDown (cursor placement). A full redraw wipes the cursors, then emits AfterDraw.
class TLogChart : public QWidget, public ITraceSource, public ITraceSink
{
    Q_OBJECT

public:
    explicit TLogChart(QWidget* parent = nullptr);
    ~TLogChart() override;

    // The Log page's set-up: weight (red fast line, left axis) and digital channels 1..4
    // (green, blue, maroon, purple stairs in lanes on the right axis, fixed at -1..6), the
    // time axis titled "Time (secs)", axis spans and starting ranges.
    void SetUpLogTraces();
    // A trace drawn against the bottom axis and `axis`; returns its index.
    int AddTrace(TTraceStyle style, const QColor& colour, TChartAxis axis,
                 const QString& name = {});
    int TraceCount() const { return int(m_traces.size()); }
    // The legend text and the name of its lane; a blank name keeps the trace out of the
    // legend and its lane unnamed.
    void SetTraceName(int trace, const QString& name);
    QString TraceName(int trace) const;
    // A trace of the right axis drawn in the lane from `baseline` (0) to baseline + 1. The
    // lanes' strip shows while one of its traces has a name.
    void SetLane(int trace, double baseline);
    // The colour a trace is drawn in, made legible on the chart's background.
    QColor TraceColour(int trace) const;

    qsizetype PointCount(int trace) const override;
    TTracePoint Point(int trace, qsizetype i) const override;
    void ReadPoints(int trace, qsizetype first, std::span<TTracePoint> out) const override;
    void ClearTraces() override;
    // An axis on automatic scaling follows at once.
    void AddPoint(int trace, double time, double value) override;
    // A file's points: room for them first, and the axes follow once, at EndPoints().
    void BeginPoints(qsizetype rows) override;
    void EndPoints() override;
    // Kept up to date as points are added, never by rescanning; nothing for an empty trace.
    std::optional<TTraceExtent> Extent(int trace) const;

    // Turns automatic scaling off; reversed bounds are swapped, and a span narrower than
    // 1e-10 is widened to 1e-10.
    void SetRange(TChartAxis axis, double min, double max);
    TAxisRange Range(TChartAxis axis) const;
    // While on, the axis spans the smallest to the largest value of its traces.
    void SetAutoScale(TChartAxis axis, bool on);
    bool AutoScale(TChartAxis axis) const { return m_autoScale[size_t(axis)]; }
    // The display division of a value axis's values: a range the chart chooses by itself
    // (automatic scaling) is never narrower than a few divisions. 0, the default: no rule.
    void SetDivision(TChartAxis axis, double division);
    double Division(TChartAxis axis) const { return m_divisions[size_t(axis)]; }
    void SetAxisTitle(TChartAxis axis, const QString& title);
    QString AxisTitle(TChartAxis axis) const;
    void SetLabelFormat(TChartAxis axis, const TLabelFormat& format);
    TLabelFormat LabelFormat(TChartAxis axis) const;
    // The smallest step between two labels.
    void SetLabelStep(TChartAxis axis, double step);
    void SetAxisVisible(TChartAxis axis, bool visible);
    // Part of the chart's width (bottom axis) or height (left and right axes) the axis
    // covers, in percent, e.g. 2 to 98.
    void SetAxisSpan(TChartAxis axis, double startPercent, double endPercent);
    void SetGridVisible(bool visible);

    // Lines of a title above the plot (blue, bold); none removes it.
    void SetTitleLines(const QStringList& lines);
    // A legend below the plot naming the traces with a non-blank name.
    void SetLegendVisible(bool visible);
    // What a printed page or an exported picture carries that the screen does not: heading
    // lines above the chart (none: the screen's title) and the legend.
    struct TPaperTexts
    {
        QStringList heading;
        bool legend = false;
    };
    void SetPaperTexts(const TPaperTexts& texts) { m_paper = texts; }
    // Off: no zoom, undo-zoom or pan by mouse (MouseDown is still reported).
    void SetInteractive(bool on) { m_interactive = on; }
    bool Interactive() const { return m_interactive; }

    // The plot area in this widget's coordinates, as last laid out.
    QRect PlotRect() const;
    // (time, value) at a pixel, with the bottom axis and `valueAxis`.
    QPointF PixelToValue(const QPointF& pixel, TChartAxis valueAxis = TChartAxis::Left) const;
    QPointF ValueToPixel(double time, double value, TChartAxis valueAxis = TChartAxis::Left) const;

    // Crosshair 0 or 1 through a pixel, across the plot area, on a layer of its own; without
    // `across`, the vertical line alone.
    void ShowCursor(int cursor, const QPoint& pixel, bool across = true);
    void HideCursor(int cursor);
    bool CursorShown(int cursor) const;

    // Full redraw at the next turn of the event loop (many requests make one redraw).
    void Redraw();
    void RedrawNow();
    // The whole chart (without cursors) drawn into `target` of a painter, e.g. on a QPrinter,
    // laid out as it would be on a screen of the target's physical size.
    bool Render(QPainter& painter, const QRect& target);
    // The chart (without cursors) as a PNG picture or a one-page PDF document of `size`
    // pixels, made in memory and then written whole or not at all; false with the reason in
    // `error`.
    bool ExportPng(const QString& path, const QSize& size, QString* error = nullptr);
    bool ExportPdf(const QString& path, const QSize& size, QString* error = nullptr);

public slots:
    // Back to the ranges before the first zoom or pan (with their automatic scaling).
    void UndoZoom();

signals:
    void Zoomed();
    void ZoomUndone();
    void Panned();
    void AfterDraw();
    void MouseDown(const QPoint& pos, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct TTrace
    {
        TTraceGraph* graph = nullptr;
        TChartAxis axis = TChartAxis::Left;
        TTraceStyle style = TTraceStyle::Line;
        QColor colour;
        std::optional<double> lane; // its baseline
    };
    struct TOnPaper;
    static constexpr int kAxisCount = 3;

    QCPAxis* Axis(TChartAxis axis) const;
    TLabelTicker* Ticker(TChartAxis axis) const;
    void SetAxisRange(TChartAxis axis, double min, double max);
    void ApplyAutoScale(TChartAxis axis);
    void BeforeReplot();
    void AfterReplot();
    void ZoomTo(const QRect& rect);
    void PanBy(const QPoint& from, const QPoint& to);
    void UpdateLegend();
    void UpdateLanes();
    void ApplyColours(const TChartColours& colours);
    QPointF ToPlot(const QPointF& pixel) const;

    TPlot* m_plot = nullptr;
    TSpanAxisRect* m_rect = nullptr;
    std::array<QCPAxis*, kAxisCount> m_axes{};
    std::array<TLabelTicker*, kAxisCount> m_tickers{};
    std::array<bool, kAxisCount> m_autoScale{};
    std::array<double, kAxisCount> m_divisions{};
    std::vector<TTrace> m_traces;
    TPackedTraces m_points;
    bool m_filling = false; // between BeginPoints() and EndPoints()
    std::unique_ptr<TChartCursors> m_cursors;
    std::unique_ptr<TChartHeadings> m_headings;
    std::unique_ptr<TChartLanes> m_lanes;
    TChartColours m_colours;
    TPaperTexts m_paper;
    bool m_interactive = true;
    std::unique_ptr<TChartDrag> m_drag;
    std::unique_ptr<TChartZoom> m_zoom;
};
