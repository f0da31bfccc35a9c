#include "logchart.h"

#include "chartcursors.h"
#include "labelticker.h"
#include "spanaxisrect.h"

#include <QMouseEvent>
#include <QPicture>
#include <QRubberBand>
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
constexpr int kMarkSize = 5; // a 2 x 2 pixel mark drawn around its centre pixel
constexpr int kMinimumDrag = 4;
constexpr double kMinimumSpan = 1e-10;
constexpr double kRelativeSpan = 1e-12;
constexpr double kSmallStretch = 0.001;

enum class TDragResult
{
    None,
    Zoom,
    Undo
};

// Towards the lower right zooms, towards the upper left undoes; short drags are clicks.
TDragResult ClassifyDrag(const QPoint& start, const QPoint& end)
{
    const QPoint d = end - start;
    if (d.x() >= kMinimumDrag && d.y() >= kMinimumDrag)
        return TDragResult::Zoom;
    if (d.x() <= -kMinimumDrag && d.y() <= -kMinimumDrag)
        return TDragResult::Undo;
    return TDragResult::None;
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

void StyleGraph(QCPGraph* graph, TTraceStyle style, const QColor& colour)
{
    graph->setPen(QPen(colour));
    switch (style) {
    case TTraceStyle::FastLine:
        graph->setAdaptiveSampling(true);
        graph->setAntialiased(false);
        break;
    case TTraceStyle::Line:
        break;
    case TTraceStyle::Stairs:
        graph->setLineStyle(QCPGraph::lsStepLeft);
        break;
    case TTraceStyle::Stars:
    case TTraceStyle::Crosses:
        graph->setLineStyle(QCPGraph::lsNone);
        graph->setScatterStyle(QCPScatterStyle(
            style == TTraceStyle::Stars ? QCPScatterStyle::ssStar : QCPScatterStyle::ssCross,
            colour, kMarkSize));
        break;
    }
}

} // namespace

TLogChart::TLogChart(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    mPlot = new TPlot(this);
    // All mouse handling is ours; the plot only draws.
    mPlot->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(mPlot);
    setFocusPolicy(Qt::StrongFocus);

    mPlot->setAutoAddPlottableToLegend(false);
    mPlot->setBackground(kBackground);
    mPlot->plotLayout()->clear(); // the default plot area, replaced by one with spans
    mRect = new TSpanAxisRect(mPlot);
    mPlot->plotLayout()->addElement(0, 0, mRect);
    mRect->setLayer(QStringLiteral("background"));
    mRect->setBackground(kBackground);
    mAxes = {mRect->axis(QCPAxis::atLeft), mRect->axis(QCPAxis::atRight),
             mRect->axis(QCPAxis::atBottom)};
    for (int i = 0; i < kAxisCount; ++i) {
        auto ticker = QSharedPointer<TLabelTicker>::create();
        mTickers[size_t(i)] = ticker.data();
        mAxes[size_t(i)]->setTicker(ticker);
    }
    SetLabelFormat(TChartAxis::Bottom, labelformat::TimeLabelFormat());
    SetLabelFormat(TChartAxis::Left, labelformat::LabelFormatFor(0));
    mAxes[size_t(TChartAxis::Right)]->grid()->setVisible(false);
    SetGridVisible(true);
    SetAxisVisible(TChartAxis::Right, false);

    mRubberBand = new QRubberBand(QRubberBand::Rectangle, this);
    mCursors = std::make_unique<TChartCursors>(mPlot);
    connect(mPlot, &QCustomPlot::beforeReplot, this, &TLogChart::BeforeReplot);
    connect(mPlot, &QCustomPlot::afterReplot, this, &TLogChart::AfterReplot);
}

TLogChart::~TLogChart()
{
    // The plot is deleted with the children, after this object's members are gone.
    disconnect(mPlot, nullptr, this, nullptr);
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
    mTraces.push_back({graph, axis, std::nullopt});
    UpdateLegend();
    return int(mTraces.size()) - 1;
}

void TLogChart::SetTraceName(int trace, const QString& name)
{
    if (trace < 0 || trace >= TraceCount())
        return;
    mTraces[size_t(trace)].graph->setName(name);
    UpdateLegend();
}

qsizetype TLogChart::PointCount(int trace) const
{
    if (trace < 0 || trace >= TraceCount())
        return 0;
    return mTraces[size_t(trace)].graph->data()->size();
}

TTracePoint TLogChart::Point(int trace, qsizetype i) const
{
    if (i < 0 || i >= PointCount(trace))
        return {};
    const auto it = mTraces[size_t(trace)].graph->data()->at(int(i));
    return {it->key, it->value};
}

void TLogChart::ClearTraces()
{
    for (TTrace& trace : mTraces) {
        trace.graph->data()->clear();
        trace.extent.reset();
    }
}

void TLogChart::AddPoint(int trace, double time, double value)
{
    if (trace < 0 || trace >= TraceCount())
        return;
    TTrace& t = mTraces[size_t(trace)];
    t.graph->data()->add(QCPGraphData(time, value));
    Extend(t.extent, time, value);
    if (mAutoScale[size_t(t.axis)])
        ApplyAutoScale(t.axis);
    if (mAutoScale[size_t(TChartAxis::Bottom)])
        ApplyAutoScale(TChartAxis::Bottom);
}

std::optional<TTraceExtent> TLogChart::Extent(int trace) const
{
    if (trace < 0 || trace >= TraceCount())
        return std::nullopt;
    return mTraces[size_t(trace)].extent;
}

void TLogChart::SetRange(TChartAxis axis, double min, double max)
{
    mAutoScale[size_t(axis)] = false;
    SetAxisRange(axis, min, max);
}

TAxisRange TLogChart::Range(TChartAxis axis) const
{
    const QCPRange range = Axis(axis)->range();
    return {range.lower, range.upper};
}

void TLogChart::SetAutoScale(TChartAxis axis, bool on)
{
    mAutoScale[size_t(axis)] = on;
    if (on)
        ApplyAutoScale(axis);
}

bool TLogChart::AutoScale(TChartAxis axis) const
{
    return mAutoScale[size_t(axis)];
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
        mRect->SetHorizontalSpan(startPercent, endPercent);
    else
        mRect->SetVerticalSpan(startPercent, endPercent);
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
        if (mTitle) {
            mPlot->plotLayout()->remove(mTitle);
            mPlot->plotLayout()->simplify();
            mTitle = nullptr;
        }
        return;
    }
    if (!mTitle) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(kTitlePixels);
        font.setBold(true);
        mTitle = new QCPTextElement(mPlot, QString(), font);
        mTitle->setTextColor(kTitle);
        mPlot->plotLayout()->insertRow(0);
        mPlot->plotLayout()->addElement(0, 0, mTitle);
    }
    mTitle->setText(lines.join(u'\n'));
}

void TLogChart::SetLegendVisible(bool visible)
{
    if (visible == (mLegend != nullptr))
        return;
    QCPLayoutGrid* layout = mPlot->plotLayout();
    if (visible) {
        mLegend = new QCPLegend;
        const int row = layout->rowCount();
        layout->addElement(row, 0, mLegend);
        layout->setRowStretchFactor(row, kSmallStretch);
        mLegend->setLayer(QStringLiteral("legend"));
        mLegend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
        mLegend->setBorderPen(Qt::NoPen);
        UpdateLegend();
    } else {
        layout->remove(mLegend);
        layout->simplify();
        mLegend = nullptr;
    }
}

QRect TLogChart::PlotRect() const
{
    return mRect->rect().translated(mPlot->pos());
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
           QPointF(mPlot->pos());
}

void TLogChart::ShowCursor(int cursor, const QPoint& pixel)
{
    mCursors->Show(cursor, ToPlot(pixel).toPoint(), mRect->rect());
}

void TLogChart::HideCursor(int cursor)
{
    mCursors->Hide(cursor);
}

bool TLogChart::CursorShown(int cursor) const
{
    return mCursors->Shown(cursor);
}

void TLogChart::Redraw()
{
    mPlot->replot(QCustomPlot::rpQueuedReplot);
}

void TLogChart::RedrawNow()
{
    mPlot->replot(QCustomPlot::rpImmediateRefresh);
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
    mCursors->SetPrintable(false);
    {
        QCPPainter recorder(&picture);
        recorder.setMode(QCPPainter::pmVectorized);
        recorder.setMode(QCPPainter::pmNonCosmetic);
        mPlot->toPainter(&recorder, width, height);
    }
    mCursors->SetPrintable(true);
    mPlot->Relayout();
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

bool TLogChart::ExportPng(const QString& path, const QSize& size)
{
    mCursors->SetPrintable(false);
    const bool ok = mPlot->savePng(path, size.width(), size.height());
    mCursors->SetPrintable(true);
    mPlot->Relayout();
    return ok;
}

bool TLogChart::ExportPdf(const QString& path, const QSize& size)
{
    mCursors->SetPrintable(false);
    const bool ok = mPlot->savePdf(path, size.width(), size.height());
    mCursors->SetPrintable(true);
    mPlot->Relayout();
    return ok;
}

void TLogChart::UndoZoom()
{
    if (mBeforeZoom) {
        for (int i = 0; i < kAxisCount; ++i) {
            const TAxisState& state = (*mBeforeZoom)[size_t(i)];
            const auto axis = TChartAxis(i);
            SetAxisRange(axis, state.range.min, state.range.max);
            SetAutoScale(axis, state.autoScale);
        }
        mBeforeZoom.reset();
    }
    Redraw();
    emit ZoomUndone();
}

void TLogChart::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit MouseDown(pos, event->button(), event->modifiers());
    mDrag = TDrag::None;
    if (!mInteractive || event->modifiers().testFlag(Qt::ShiftModifier) ||
        !PlotRect().contains(pos))
        return;
    mDragStart = mDragLast = pos;
    if (event->button() == Qt::LeftButton) {
        mDrag = TDrag::Zoom;
        mRubberBand->setGeometry(QRect(pos, QSize()));
        mRubberBand->show();
    } else if (event->button() == Qt::RightButton) {
        mDrag = TDrag::Pan;
    }
}

void TLogChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (mDrag == TDrag::Zoom)
        mRubberBand->setGeometry(QRect(mDragStart, pos).normalized());
    else if (mDrag == TDrag::Pan && pos != mDragLast)
        PanBy(mDragLast, pos);
    mDragLast = pos;
}

void TLogChart::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const TDrag drag = std::exchange(mDrag, TDrag::None);
    if (drag == TDrag::Pan && pos != mDragLast)
        PanBy(mDragLast, pos);
    if (drag != TDrag::Zoom)
        return;
    mRubberBand->hide();
    switch (ClassifyDrag(mDragStart, pos)) {
    case TDragResult::Zoom:
        ZoomTo(QRect(mDragStart, pos).normalized());
        break;
    case TDragResult::Undo:
        UndoZoom();
        break;
    case TDragResult::None:
        break;
    }
}

QCPAxis* TLogChart::Axis(TChartAxis axis) const
{
    return mAxes[size_t(axis)];
}

TLabelTicker* TLogChart::Ticker(TChartAxis axis) const
{
    return mTickers[size_t(axis)];
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
    for (const TTrace& trace : mTraces) {
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
    if (!mCursors->Drawing())
        mCursors->Forget();
}

void TLogChart::AfterReplot()
{
    if (!mCursors->Drawing())
        emit AfterDraw();
}

void TLogChart::KeepZoomState()
{
    if (mBeforeZoom)
        return;
    std::array<TAxisState, kAxisCount> state;
    for (int i = 0; i < kAxisCount; ++i)
        state[size_t(i)] = {Range(TChartAxis(i)), mAutoScale[size_t(i)]};
    mBeforeZoom = state;
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
    if (!mLegend)
        return;
    for (const TTrace& trace : mTraces) {
        if (trace.graph->name().trimmed().isEmpty())
            trace.graph->removeFromLegend(mLegend);
        else if (!mLegend->hasItemWithPlottable(trace.graph))
            trace.graph->addToLegend(mLegend);
    }
}

QPointF TLogChart::ToPlot(const QPointF& pixel) const
{
    return pixel - QPointF(mPlot->pos());
}
