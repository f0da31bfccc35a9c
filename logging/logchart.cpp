#include "logchart.h"

#include "atomicfile.h"
#include "chartcursors.h"
#include "chartdrag.h"
#include "chartheadings.h"
#include "chartlanes.h"
#include "chartplot.h"
#include "chartranges.h"
#include "chartzoom.h"
#include "graphstyle.h"
#include "labelticker.h"
#include "logsampler.h"
#include "spanaxisrect.h"
#include "tracegraph.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPicture>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kMinimumSpan = 1e-10;
constexpr double kRelativeSpan = 1e-12;

// Exported charts are laid out for a screen of this resolution.
constexpr int kExportDpi = 96;
constexpr int kExportDotsPerMeter = 3780;

bool Written(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString reason = TAtomicFile::WriteFile(path, bytes);
    if (error)
        *error = reason;
    return reason.isEmpty();
}

} // namespace

TLogChart::TLogChart(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_plot = new TPlot(this);
    // All mouse handling is ours; the plot only draws.
    m_plot->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_plot);
    setFocusPolicy(Qt::StrongFocus);

    m_plot->setAutoAddPlottableToLegend(false);
    m_plot->plotLayout()->clear(); // the default plot area, replaced by one with spans
    m_rect = new TSpanAxisRect(m_plot);
    m_plot->plotLayout()->addElement(0, 0, m_rect);
    m_rect->setLayer(QStringLiteral("background"));
    // The right axis of the plot area stays hidden: the right axis is the lanes'.
    for (TChartAxis axis : {TChartAxis::Left, TChartAxis::Bottom}) {
        auto ticker = QSharedPointer<TLabelTicker>::create();
        m_tickers[size_t(axis)] = ticker.data();
        m_rect->axis(axis == TChartAxis::Left ? QCPAxis::atLeft : QCPAxis::atBottom)
            ->setTicker(ticker);
    }
    m_lanes = std::make_unique<TChartLanes>(m_plot, m_rect);
    m_headings = std::make_unique<TChartHeadings>(m_plot);
    m_axes = {m_rect->axis(QCPAxis::atLeft), m_lanes->ValueAxis(), m_rect->axis(QCPAxis::atBottom)};
    SetLabelFormat(TChartAxis::Bottom, labelformat::TimeLabelFormat());
    SetLabelFormat(TChartAxis::Left, labelformat::LabelFormatFor(0));
    SetGridVisible(true);

    m_zoom = std::make_unique<TChartZoom>(*this);
    m_drag = std::make_unique<TChartDrag>(
        *this,
        TChartDrag::TActions{[this](const QRect& rect) { ZoomTo(rect); }, [this] { UndoZoom(); },
                             [this](const QPoint& from, const QPoint& to) { PanBy(from, to); }});
    m_cursors = std::make_unique<TChartCursors>(m_plot);
    ApplyColours(chartcolours::FromPalette(palette()));
    connect(m_plot, &QCustomPlot::beforeReplot, this, &TLogChart::BeforeReplot);
    connect(m_plot, &QCustomPlot::afterReplot, this, &TLogChart::AfterReplot);
}

TLogChart::~TLogChart()
{
    // The plot is deleted with the children, after this object's members are gone.
    disconnect(m_plot, nullptr, this, nullptr);
}

void TLogChart::SetUpLogTraces()
{
    AddTrace(TTraceStyle::FastLine, QColor(255, 0, 0), TChartAxis::Left, QStringLiteral("Weight"));
    const std::array<QColor, logchannels::DigitalCount> digital = {
        QColor(0, 128, 0), QColor(0, 0, 255), QColor(128, 0, 0), QColor(128, 0, 128)};
    // Unnamed until a channel is chosen for them.
    for (int k = 1; k <= logchannels::DigitalCount; ++k)
        SetLane(AddTrace(TTraceStyle::Stairs, digital[size_t(k - 1)], TChartAxis::Right),
                logchannels::Baseline(k));
    SetAxisTitle(TChartAxis::Bottom, QStringLiteral("Time (secs)"));
    SetRange(TChartAxis::Right, -1, 6);
    SetAxisSpan(TChartAxis::Left, 2, 98);
    SetAxisSpan(TChartAxis::Bottom, 1, 99);
    SetRange(TChartAxis::Bottom, 0, 100);
    SetRange(TChartAxis::Left, -10, 526);
}

int TLogChart::AddTrace(TTraceStyle style, const QColor& colour, TChartAxis axis,
                        const QString& name)
{
    // The lanes' traces run along the lanes' own time axis, which follows the plot's.
    QCPAxis* time = axis == TChartAxis::Right ? m_lanes->TimeAxis() : Axis(TChartAxis::Bottom);
    const bool steps = style == TTraceStyle::Stairs;
    const int trace =
        m_points.AddTrace(steps ? TPackedTraces::TShape::Steps : TPackedTraces::TShape::Line);
    auto* graph = new TTraceGraph(time, Axis(axis), m_points, trace);
    graph->SetEveryPoint(style == TTraceStyle::Stars || style == TTraceStyle::Crosses);
    StyleGraph(graph, style, chartcolours::Legible(colour, m_colours.background));
    graph->setName(name);
    m_traces.push_back({graph, axis, style, colour, std::nullopt});
    UpdateLegend();
    return int(m_traces.size()) - 1;
}

void TLogChart::SetTraceName(int trace, const QString& name)
{
    if (trace < 0 || trace >= TraceCount())
        return;
    m_traces[size_t(trace)].graph->setName(name);
    UpdateLegend();
    UpdateLanes();
}

void TLogChart::SetLane(int trace, double baseline)
{
    if (trace < 0 || trace >= TraceCount() || m_traces[size_t(trace)].axis != TChartAxis::Right)
        return;
    m_traces[size_t(trace)].lane = baseline;
    UpdateLanes();
}

QColor TLogChart::TraceColour(int trace) const
{
    return trace >= 0 && trace < TraceCount() ? m_traces[size_t(trace)].graph->pen().color()
                                              : QColor();
}

QString TLogChart::TraceName(int trace) const
{
    return trace >= 0 && trace < TraceCount() ? m_traces[size_t(trace)].graph->name() : QString();
}

qsizetype TLogChart::PointCount(int trace) const
{
    return m_points.PointCount(trace);
}

TTracePoint TLogChart::Point(int trace, qsizetype i) const
{
    return m_points.Point(trace, i);
}

void TLogChart::ReadPoints(int trace, qsizetype first, std::span<TTracePoint> out) const
{
    m_points.ReadPoints(trace, first, out);
}

void TLogChart::ClearTraces()
{
    m_points.ClearTraces();
}

void TLogChart::BeginPoints(qsizetype rows)
{
    m_filling = true;
    m_points.BeginPoints(rows);
}

void TLogChart::EndPoints()
{
    if (!std::exchange(m_filling, false))
        return;
    m_points.EndPoints();
    for (int axis = 0; axis < kAxisCount; ++axis)
        if (m_autoScale[size_t(axis)])
            ApplyAutoScale(TChartAxis(axis));
}

void TLogChart::AddPoint(int trace, double time, double value)
{
    if (trace < 0 || trace >= TraceCount())
        return;
    m_points.AddPoint(trace, time, value);
    if (m_filling)
        return;
    const TChartAxis axis = m_traces[size_t(trace)].axis;
    if (m_autoScale[size_t(axis)])
        ApplyAutoScale(axis);
    if (m_autoScale[size_t(TChartAxis::Bottom)])
        ApplyAutoScale(TChartAxis::Bottom);
}

std::optional<TTraceExtent> TLogChart::Extent(int trace) const
{
    return m_points.Extent(trace);
}

void TLogChart::SetRange(TChartAxis axis, double min, double max)
{
    m_autoScale[size_t(axis)] = false;
    SetAxisRange(axis, min, max);
}

TAxisRange TLogChart::Range(TChartAxis axis) const
{
    const QCPRange range = Axis(axis)->range();
    return {range.lower, range.upper};
}

void TLogChart::SetAutoScale(TChartAxis axis, bool on)
{
    m_autoScale[size_t(axis)] = on;
    if (on)
        ApplyAutoScale(axis);
}

void TLogChart::SetDivision(TChartAxis axis, double division)
{
    m_divisions[size_t(axis)] = division;
    if (m_autoScale[size_t(axis)])
        ApplyAutoScale(axis);
}

void TLogChart::SetAxisTitle(TChartAxis axis, const QString& title)
{
    Axis(axis)->setLabel(title);
}

QString TLogChart::AxisTitle(TChartAxis axis) const
{
    return Axis(axis)->label();
}

void TLogChart::SetLabelFormat(TChartAxis axis, const TLabelFormat& format)
{
    if (TLabelTicker* ticker = Ticker(axis))
        ticker->SetFormat(format);
}

TLabelFormat TLogChart::LabelFormat(TChartAxis axis) const
{
    const TLabelTicker* ticker = Ticker(axis);
    return ticker ? ticker->Format() : TLabelFormat{};
}

void TLogChart::SetLabelStep(TChartAxis axis, double step)
{
    if (TLabelTicker* ticker = Ticker(axis))
        ticker->SetMinimumStep(step);
}

void TLogChart::SetAxisVisible(TChartAxis axis, bool visible)
{
    Axis(axis)->setVisible(visible);
}

void TLogChart::SetAxisSpan(TChartAxis axis, double startPercent, double endPercent)
{
    if (axis == TChartAxis::Bottom) {
        m_rect->SetHorizontalSpan(startPercent, endPercent);
        m_lanes->SetHorizontalSpan(startPercent, endPercent);
    } else {
        m_rect->SetVerticalSpan(startPercent, endPercent);
    }
}

void TLogChart::SetGridVisible(bool visible)
{
    for (TChartAxis axis : {TChartAxis::Left, TChartAxis::Bottom}) {
        Axis(axis)->grid()->setPen(QPen(m_colours.grid, 0, Qt::SolidLine));
        Axis(axis)->grid()->setVisible(visible);
    }
}

void TLogChart::SetTitleLines(const QStringList& lines)
{
    m_headings->SetTitleLines(lines);
}

void TLogChart::SetLegendVisible(bool visible)
{
    m_headings->SetLegendVisible(visible);
    UpdateLegend();
}

QRect TLogChart::PlotRect() const
{
    return m_rect->rect().translated(m_plot->pos());
}

QPointF TLogChart::PixelToValue(const QPointF& pixel, TChartAxis valueAxis) const
{
    const QPointF p = ToPlot(pixel);
    return {Axis(TChartAxis::Bottom)->pixelToCoord(p.x()), Axis(valueAxis)->pixelToCoord(p.y())};
}

QPointF TLogChart::ValueToPixel(double time, double value, TChartAxis valueAxis) const
{
    return QPointF(Axis(TChartAxis::Bottom)->coordToPixel(time),
                   Axis(valueAxis)->coordToPixel(value)) +
           QPointF(m_plot->pos());
}

void TLogChart::ShowCursor(int cursor, const QPoint& pixel, bool across)
{
    QRect area = m_rect->rect();
    if (m_lanes->Shown()) // the time line runs through the lanes too
        area.setTop(m_lanes->Rect()->rect().top());
    m_cursors->Show(cursor, ToPlot(pixel).toPoint(), area, across);
}

void TLogChart::HideCursor(int cursor)
{
    m_cursors->Hide(cursor);
}

bool TLogChart::CursorShown(int cursor) const
{
    return m_cursors->Shown(cursor);
}

void TLogChart::Redraw()
{
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}

void TLogChart::RedrawNow()
{
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
}

// For the length of drawing on paper or into a file: black on white, no cursors, the paper's
// heading and legend; then the screen's chart again, laid out for the screen.
struct TLogChart::TOnPaper
{
    explicit TOnPaper(TLogChart& chart) : chart(chart)
    {
        chart.m_cursors->SetPrintable(false);
        chart.ApplyColours(chartcolours::Paper());
        chart.m_headings->BeginPaper(chart.m_paper.heading, chart.m_paper.legend);
    }
    ~TOnPaper()
    {
        chart.m_headings->EndPaper();
        chart.ApplyColours(chartcolours::FromPalette(chart.palette()));
        chart.m_cursors->SetPrintable(true);
        chart.m_plot->Relayout();
    }
    TOnPaper(const TOnPaper&) = delete;
    TOnPaper& operator=(const TOnPaper&) = delete;

    TLogChart& chart;
};

bool TLogChart::Render(QPainter& painter, const QRect& target)
{
    if (!painter.isActive() || target.isEmpty())
        return false;
    QPicture picture;
    const double scaleX = double(painter.device()->logicalDpiX()) / picture.logicalDpiX();
    const double scaleY = double(painter.device()->logicalDpiY()) / picture.logicalDpiY();
    const int width = std::max(1, int(std::lround(target.width() / scaleX)));
    const int height = std::max(1, int(std::lround(target.height() / scaleY)));
    {
        const TOnPaper paper(*this);
        QCPPainter recorder(&picture);
        recorder.setMode(QCPPainter::pmVectorized);
        recorder.setMode(QCPPainter::pmNonCosmetic);
        m_plot->toPainter(&recorder, width, height);
    }
    painter.save();
    painter.setClipRect(target);
    painter.translate(target.topLeft());
    // Playing a picture scales it by the ratio of the two resolutions already; this only
    // makes up for the rounding of the size.
    painter.scale(target.width() / (width * scaleX), target.height() / (height * scaleY));
    painter.drawPicture(0, 0, picture);
    painter.restore();
    return true;
}

bool TLogChart::ExportPng(const QString& path, const QSize& size, QString* error)
{
    QImage picture;
    {
        const TOnPaper paper(*this);
        picture = m_plot->toPixmap(size.width(), size.height()).toImage();
    }
    picture.setDotsPerMeterX(kExportDotsPerMeter);
    picture.setDotsPerMeterY(kExportDotsPerMeter);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    return picture.save(&png, "PNG") && Written(path, png.data(), error);
}

bool TLogChart::ExportPdf(const QString& path, const QSize& size, QString* error)
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kExportDpi);
        const QSizeF points = QSizeF(size) * 72.0 / kExportDpi;
        writer.setPageLayout(
            QPageLayout(QPageSize(points, QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
        QPainter painter(&writer);
        if (!Render(painter, QRect(QPoint(0, 0), size)))
            return false;
    }
    return Written(path, pdf.data(), error);
}

void TLogChart::UndoZoom()
{
    m_zoom->Undo();
    Redraw();
    emit ZoomUndone();
}

void TLogChart::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit MouseDown(pos, event->button(), event->modifiers());
    if (!m_interactive || event->modifiers().testFlag(Qt::ShiftModifier) ||
        !PlotRect().contains(pos))
        m_drag->Cancel();
    else
        m_drag->Press(pos, event->button());
}

void TLogChart::mouseMoveEvent(QMouseEvent* event)
{
    m_drag->Move(event->position().toPoint());
}

void TLogChart::mouseReleaseEvent(QMouseEvent* event)
{
    m_drag->Release(event->position().toPoint());
}

QCPAxis* TLogChart::Axis(TChartAxis axis) const
{
    return m_axes[size_t(axis)];
}

TLabelTicker* TLogChart::Ticker(TChartAxis axis) const
{
    return m_tickers[size_t(axis)];
}

void TLogChart::SetAxisRange(TChartAxis axis, double min, double max)
{
    if (min > max)
        std::swap(min, max);
    const double span = std::max(kMinimumSpan, std::fabs(min) * kRelativeSpan);
    if (max - min < span)
        max = min + span;
    Axis(axis)->setRange(min, max);
}

void TLogChart::ApplyAutoScale(TChartAxis axis)
{
    const bool time = axis == TChartAxis::Bottom;
    std::optional<TAxisRange> span;
    for (int k = 0; k < TraceCount(); ++k) {
        const std::optional<TTraceExtent> extent = m_points.Extent(k);
        if (!extent || (!time && m_traces[size_t(k)].axis != axis))
            continue;
        const double low = time ? extent->minTime : extent->minValue;
        const double high = time ? extent->maxTime : extent->maxValue;
        span = span ? TAxisRange{std::min(span->min, low), std::max(span->max, high)}
                    : TAxisRange{low, high};
    }
    if (!span)
        return;
    const TAxisRange shown = chartranges::Readable(*span, m_divisions[size_t(axis)]);
    SetAxisRange(axis, shown.min, shown.max);
}

void TLogChart::BeforeReplot()
{
    // A redraw of the cursor layer alone may fall back to a full one; that must not wipe
    // the cursor being drawn.
    if (!m_cursors->Drawing())
        m_cursors->Forget();
}

void TLogChart::AfterReplot()
{
    if (!m_cursors->Drawing())
        emit AfterDraw();
}

void TLogChart::ZoomTo(const QRect& rect)
{
    m_zoom->ZoomTo(rect);
    Redraw();
    emit Zoomed();
}

void TLogChart::PanBy(const QPoint& from, const QPoint& to)
{
    m_zoom->PanBy(from, to);
    Redraw();
    emit Panned();
}

void TLogChart::UpdateLegend()
{
    std::vector<QCPGraph*> graphs;
    for (const TTrace& trace : m_traces)
        graphs.push_back(trace.graph);
    m_headings->UpdateLegend(graphs);
}

void TLogChart::UpdateLanes()
{
    std::vector<TChartLanes::TLane> lanes;
    for (const TTrace& trace : m_traces)
        if (trace.lane)
            lanes.push_back({*trace.lane, trace.graph->name()});
    m_lanes->SetLanes(lanes);
}

void TLogChart::ApplyColours(const TChartColours& colours)
{
    m_colours = colours;
    m_plot->setBackground(colours.background);
    m_rect->setBackground(colours.background);
    for (QCPAxis* axis : m_rect->axes())
        StyleAxis(axis, colours.text, colours.grid);
    m_lanes->SetColours(colours.background, colours.text, colours.grid);
    m_headings->SetColours(colours.background, colours.text, colours.title);
    for (const TTrace& trace : m_traces)
        StyleGraph(trace.graph, trace.style,
                   chartcolours::Legible(trace.colour, colours.background));
    m_cursors->SetBackground(colours.background);
}

void TLogChart::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_plot->SetFocusFrame(true);
}

void TLogChart::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_plot->SetFocusFrame(false);
}

void TLogChart::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_cursors) { // not while being made
        ApplyColours(chartcolours::FromPalette(palette()));
        Redraw();
    }
}

QPointF TLogChart::ToPlot(const QPointF& pixel) const
{
    return pixel - QPointF(m_plot->pos());
}
