#include "logchart.h"

#include "atomicfile.h"
#include "chartcursors.h"
#include "chartdrag.h"
#include "graphstyle.h"
#include "labelticker.h"
#include "largepages.h"
#include "spanaxisrect.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPdfWriter>
#include <QPicture>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

// The plotting widget with its layout pass reachable, so that the chart can lay itself out
// again for the screen after drawing at another size (printing, export).
class TPlot : public QCustomPlot
{
public:
    using QCustomPlot::QCustomPlot;
    void Relayout() { updateLayout(); }
};

namespace {

const QColor kBackground = Qt::white;
const QColor kGrid(192, 192, 192);
const QColor kTitle(0, 0, 255);
constexpr int kTitlePixels = 16;
constexpr double kMinimumSpan = 1e-10;
constexpr double kRelativeSpan = 1e-12;
constexpr double kSmallStretch = 0.001;

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

void Extend(std::optional<TTraceExtent>& extent, double time, double value)
{
    if (!extent) {
        extent = TTraceExtent{time, time, value, value};
        return;
    }
    extent->minTime = std::min(extent->minTime, time);
    extent->maxTime = std::max(extent->maxTime, time);
    extent->minValue = std::min(extent->minValue, value);
    extent->maxValue = std::max(extent->maxValue, value);
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
    m_plot->setBackground(kBackground);
    m_plot->plotLayout()->clear(); // the default plot area, replaced by one with spans
    m_rect = new TSpanAxisRect(m_plot);
    m_plot->plotLayout()->addElement(0, 0, m_rect);
    m_rect->setLayer(QStringLiteral("background"));
    m_rect->setBackground(kBackground);
    m_axes = {m_rect->axis(QCPAxis::atLeft), m_rect->axis(QCPAxis::atRight),
              m_rect->axis(QCPAxis::atBottom)};
    for (int i = 0; i < kAxisCount; ++i) {
        auto ticker = QSharedPointer<TLabelTicker>::create();
        m_tickers[size_t(i)] = ticker.data();
        m_axes[size_t(i)]->setTicker(ticker);
    }
    SetLabelFormat(TChartAxis::Bottom, labelformat::TimeLabelFormat());
    SetLabelFormat(TChartAxis::Left, labelformat::LabelFormatFor(0));
    m_axes[size_t(TChartAxis::Right)]->grid()->setVisible(false);
    SetGridVisible(true);
    SetAxisVisible(TChartAxis::Right, false);

    m_drag = std::make_unique<TChartDrag>(
        *this,
        TChartDrag::TActions{[this](const QRect& rect) { ZoomTo(rect); }, [this] { UndoZoom(); },
                             [this](const QPoint& from, const QPoint& to) { PanBy(from, to); }});
    m_cursors = std::make_unique<TChartCursors>(m_plot);
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
    AddTrace(TTraceStyle::FastLine, QColor(255, 0, 0), TChartAxis::Left,
             QStringLiteral("SeriesWeight"));
    const std::array<QColor, 4> digital = {QColor(0, 128, 0), QColor(0, 0, 255), QColor(128, 0, 0),
                                           QColor(128, 0, 128)};
    for (size_t k = 0; k < digital.size(); ++k)
        AddTrace(TTraceStyle::Stairs, digital[k], TChartAxis::Right,
                 QStringLiteral("SeriesDig%1").arg(k + 1));
    SetAxisTitle(TChartAxis::Bottom, QStringLiteral("Time (secs)"));
    SetAxisVisible(TChartAxis::Right, false);
    SetRange(TChartAxis::Right, -1, 6);
    SetLabelStep(TChartAxis::Right, 1);
    SetAxisSpan(TChartAxis::Left, 2, 98);
    SetAxisSpan(TChartAxis::Bottom, 1, 99);
    SetRange(TChartAxis::Bottom, 0, 100);
    SetRange(TChartAxis::Left, -10, 526);
}

int TLogChart::AddTrace(TTraceStyle style, const QColor& colour, TChartAxis axis,
                        const QString& name)
{
    auto* graph = new QCPGraph(Axis(TChartAxis::Bottom), Axis(axis));
    StyleGraph(graph, style, colour);
    graph->setName(name);
    m_traces.push_back({graph, axis, std::nullopt});
    UpdateLegend();
    return int(m_traces.size()) - 1;
}

void TLogChart::SetTraceName(int trace, const QString& name)
{
    if (trace < 0 || trace >= TraceCount())
        return;
    m_traces[size_t(trace)].graph->setName(name);
    UpdateLegend();
}

qsizetype TLogChart::PointCount(int trace) const
{
    if (trace < 0 || trace >= TraceCount())
        return 0;
    return m_traces[size_t(trace)].graph->data()->size();
}

TTracePoint TLogChart::Point(int trace, qsizetype i) const
{
    if (i < 0 || i >= PointCount(trace))
        return {};
    const auto it = m_traces[size_t(trace)].graph->data()->at(int(i));
    return {it->key, it->value};
}

// Each trace's points as a file gives them, and whether they came in time order.
struct TLogChart::TGathered
{
    std::vector<QVector<QCPGraphData>> points;
    std::vector<bool> sorted;
};

void TLogChart::ClearTraces()
{
    for (TTrace& trace : m_traces) {
        trace.graph->data()->clear();
        trace.extent.reset();
    }
    if (m_gathered) {
        for (auto& points : m_gathered->points)
            points.clear();
        m_gathered->sorted.assign(m_traces.size(), true);
    }
}

void TLogChart::BeginPoints(qsizetype rows)
{
    m_gathered = std::make_unique<TGathered>();
    m_gathered->points.resize(m_traces.size());
    m_gathered->sorted.assign(m_traces.size(), true);
    for (auto& points : m_gathered->points) {
        points.reserve(rows);
        PreferLargePages(points.data(), size_t(points.capacity()) * sizeof(QCPGraphData));
    }
}

void TLogChart::EndPoints()
{
    if (!m_gathered)
        return;
    const std::unique_ptr<TGathered> gathered = std::move(m_gathered);
    for (size_t k = 0; k < m_traces.size(); ++k) {
        QVector<QCPGraphData>& points = gathered->points[k];
        if (points.isEmpty())
            continue;
        const auto data = m_traces[k].graph->data();
        if (gathered->sorted[k] && data->isEmpty()) {
            data->set(points, true); // shares the gathered points, no copy
        } else {
            // Times out of order (a file edited by hand): one by one, for the same order.
            for (const QCPGraphData& point : std::as_const(points))
                data->add(point);
        }
    }
    for (int axis = 0; axis < kAxisCount; ++axis)
        if (m_autoScale[size_t(axis)])
            ApplyAutoScale(TChartAxis(axis));
}

void TLogChart::AddPoint(int trace, double time, double value)
{
    if (trace < 0 || trace >= TraceCount())
        return;
    TTrace& t = m_traces[size_t(trace)];
    if (m_gathered && size_t(trace) < m_gathered->points.size()) {
        QVector<QCPGraphData>& points = m_gathered->points[size_t(trace)];
        if (!points.isEmpty() && time < points.constLast().key)
            m_gathered->sorted[size_t(trace)] = false;
        points.append(QCPGraphData(time, value));
        Extend(t.extent, time, value);
        return;
    }
    t.graph->data()->add(QCPGraphData(time, value));
    Extend(t.extent, time, value);
    if (m_autoScale[size_t(t.axis)])
        ApplyAutoScale(t.axis);
    if (m_autoScale[size_t(TChartAxis::Bottom)])
        ApplyAutoScale(TChartAxis::Bottom);
}

std::optional<TTraceExtent> TLogChart::Extent(int trace) const
{
    if (trace < 0 || trace >= TraceCount())
        return std::nullopt;
    return m_traces[size_t(trace)].extent;
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

bool TLogChart::AutoScale(TChartAxis axis) const
{
    return m_autoScale[size_t(axis)];
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
    Ticker(axis)->SetFormat(format);
}

TLabelFormat TLogChart::LabelFormat(TChartAxis axis) const
{
    return Ticker(axis)->Format();
}

void TLogChart::SetLabelStep(TChartAxis axis, double step)
{
    Ticker(axis)->SetMinimumStep(step);
}

void TLogChart::SetAxisVisible(TChartAxis axis, bool visible)
{
    Axis(axis)->setVisible(visible);
}

void TLogChart::SetAxisSpan(TChartAxis axis, double startPercent, double endPercent)
{
    if (axis == TChartAxis::Bottom)
        m_rect->SetHorizontalSpan(startPercent, endPercent);
    else
        m_rect->SetVerticalSpan(startPercent, endPercent);
}

void TLogChart::SetGridVisible(bool visible)
{
    for (TChartAxis axis : {TChartAxis::Left, TChartAxis::Bottom}) {
        Axis(axis)->grid()->setPen(QPen(kGrid, 0, Qt::SolidLine));
        Axis(axis)->grid()->setVisible(visible);
    }
}

void TLogChart::SetTitleLines(const QStringList& lines)
{
    if (lines.isEmpty()) {
        if (m_title) {
            m_plot->plotLayout()->remove(m_title);
            m_plot->plotLayout()->simplify();
            m_title = nullptr;
        }
        return;
    }
    if (!m_title) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(kTitlePixels);
        font.setBold(true);
        m_title = new QCPTextElement(m_plot, QString(), font);
        m_title->setTextColor(kTitle);
        m_plot->plotLayout()->insertRow(0);
        m_plot->plotLayout()->addElement(0, 0, m_title);
    }
    m_title->setText(lines.join(u'\n'));
}

void TLogChart::SetLegendVisible(bool visible)
{
    if (visible == (m_legend != nullptr))
        return;
    QCPLayoutGrid* layout = m_plot->plotLayout();
    if (visible) {
        m_legend = new QCPLegend;
        const int row = layout->rowCount();
        layout->addElement(row, 0, m_legend);
        layout->setRowStretchFactor(row, kSmallStretch);
        m_legend->setLayer(QStringLiteral("legend"));
        m_legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
        m_legend->setBorderPen(Qt::NoPen);
        UpdateLegend();
    } else {
        layout->remove(m_legend);
        layout->simplify();
        m_legend = nullptr;
    }
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

void TLogChart::ShowCursor(int cursor, const QPoint& pixel)
{
    m_cursors->Show(cursor, ToPlot(pixel).toPoint(), m_rect->rect());
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

bool TLogChart::Render(QPainter& painter, const QRect& target)
{
    if (!painter.isActive() || target.isEmpty())
        return false;
    QPicture picture;
    const double scaleX = double(painter.device()->logicalDpiX()) / picture.logicalDpiX();
    const double scaleY = double(painter.device()->logicalDpiY()) / picture.logicalDpiY();
    const int width = std::max(1, int(std::lround(target.width() / scaleX)));
    const int height = std::max(1, int(std::lround(target.height() / scaleY)));
    m_cursors->SetPrintable(false);
    {
        QCPPainter recorder(&picture);
        recorder.setMode(QCPPainter::pmVectorized);
        recorder.setMode(QCPPainter::pmNonCosmetic);
        m_plot->toPainter(&recorder, width, height);
    }
    m_cursors->SetPrintable(true);
    m_plot->Relayout();
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
    m_cursors->SetPrintable(false);
    QImage picture = m_plot->toPixmap(size.width(), size.height()).toImage();
    m_cursors->SetPrintable(true);
    m_plot->Relayout();
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
    if (m_beforeZoom) {
        for (int i = 0; i < kAxisCount; ++i) {
            const TAxisState& state = (*m_beforeZoom)[size_t(i)];
            const auto axis = TChartAxis(i);
            SetAxisRange(axis, state.range.min, state.range.max);
            SetAutoScale(axis, state.autoScale);
        }
        m_beforeZoom.reset();
    }
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
    for (const TTrace& trace : m_traces) {
        if (!trace.extent || (!time && trace.axis != axis))
            continue;
        const double low = time ? trace.extent->minTime : trace.extent->minValue;
        const double high = time ? trace.extent->maxTime : trace.extent->maxValue;
        span = span ? TAxisRange{std::min(span->min, low), std::max(span->max, high)}
                    : TAxisRange{low, high};
    }
    if (span)
        SetAxisRange(axis, span->min, span->max);
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

void TLogChart::KeepZoomState()
{
    if (m_beforeZoom)
        return;
    std::array<TAxisState, kAxisCount> state;
    for (int i = 0; i < kAxisCount; ++i)
        state[size_t(i)] = {Range(TChartAxis(i)), m_autoScale[size_t(i)]};
    m_beforeZoom = state;
}

void TLogChart::ZoomTo(const QRect& rect)
{
    KeepZoomState();
    const QPointF topLeft = PixelToValue(rect.topLeft());
    const QPointF bottomRight = PixelToValue(rect.bottomRight());
    SetRange(TChartAxis::Bottom, topLeft.x(), bottomRight.x());
    SetRange(TChartAxis::Left, bottomRight.y(), topLeft.y());
    Redraw();
    emit Zoomed();
}

void TLogChart::PanBy(const QPoint& from, const QPoint& to)
{
    KeepZoomState();
    const QPointF a = PixelToValue(from);
    const QPointF b = PixelToValue(to);
    const TAxisRange time = Range(TChartAxis::Bottom);
    const TAxisRange weight = Range(TChartAxis::Left);
    SetRange(TChartAxis::Bottom, time.min + a.x() - b.x(), time.max + a.x() - b.x());
    SetRange(TChartAxis::Left, weight.min + a.y() - b.y(), weight.max + a.y() - b.y());
    Redraw();
    emit Panned();
}

void TLogChart::UpdateLegend()
{
    if (!m_legend)
        return;
    for (const TTrace& trace : m_traces) {
        if (trace.graph->name().trimmed().isEmpty())
            trace.graph->removeFromLegend(m_legend);
        else if (!m_legend->hasItemWithPlottable(trace.graph))
            trace.graph->addToLegend(m_legend);
    }
}

QPointF TLogChart::ToPlot(const QPointF& pixel) const
{
    return pixel - QPointF(m_plot->pos());
}
