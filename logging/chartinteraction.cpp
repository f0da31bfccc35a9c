#include "chartinteraction.h"

#include "chartranges.h"
#include "chartsetuprules.h"
#include "logchart.h"
#include "logsampler.h"
#include "tracereading.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

#include <cmath>

namespace {

constexpr double kArrowShare = 10.0; // an arrow key moves an axis by a tenth of its width
constexpr double kOnAbove = 0.5;     // a digital trace above its baseline by this is on

} // namespace

TChartInteraction::TChartInteraction(TLogChart& chart, QLabel& readout, QWidget& page,
                                     std::function<void()> resetAxes,
                                     std::function<QString()> units)
    : QObject(&page), m_chart(chart), m_readout(readout), m_page(page),
      m_resetAxes(std::move(resetAxes)), m_units(std::move(units))
{
    connect(&chart, &TLogChart::Zoomed, this, &TChartInteraction::Zoomed);
    connect(&chart, &TLogChart::ZoomUndone, this, &TChartInteraction::ZoomUndone);
    connect(&chart, &TLogChart::Panned, this, &TChartInteraction::Panned);
    connect(&chart, &TLogChart::MouseDown, this, &TChartInteraction::ChartMouseDown);
    connect(&chart, &TLogChart::AfterDraw, this, &TChartInteraction::ChartAfterDraw);
    // The keys are seen before the widget with the focus gets them, as the window's own
    // key preview would, and are passed on.
    qApp->installEventFilter(this);
}

TChartInteraction::~TChartInteraction()
{
    qApp->removeEventFilter(this);
}

void TChartInteraction::Zoomed()
{
    m_userZoomed = true;
    m_resetAxes();
    m_chart.Redraw();
}

void TChartInteraction::ZoomUndone()
{
    m_userZoomed = false;
    m_resetAxes();
    m_chart.Redraw();
}

void TChartInteraction::Panned()
{
    m_userZoomed = true;
    m_resetAxes();
}

std::optional<cursorreadout::TChartValue> TChartInteraction::Present(int cursor) const
{
    if (!m_chart.CursorShown(cursor))
        return std::nullopt;
    return m_values[size_t(cursor)];
}

void TChartInteraction::ChartMouseDown(const QPoint& pos, Qt::MouseButton button,
                                       Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    for (int cursor : {0, 1}) {
        if (cursor == 0 && shift && button == Qt::RightButton)
            continue; // Shift + right keeps the first cursor
        m_chart.HideCursor(cursor);
        m_values[size_t(cursor)].reset();
    }
    const bool placing = button == Qt::LeftButton || button == Qt::RightButton;
    if (shift && placing && m_chart.PlotRect().contains(pos)) {
        // A click within a pixel of the trace's ends reads the end point.
        const double pixelTime =
            std::fabs(m_chart.PixelToValue(pos + QPoint(1, 0)).x() - m_chart.PixelToValue(pos).x());
        PlaceCursor(button == Qt::LeftButton ? 0 : 1, m_chart.PixelToValue(pos).x(), pixelTime);
    }
    ShowReadout();
}

void TChartInteraction::PlaceCursor(int cursor, double time, double tolerance)
{
    cursorreadout::TChartValue value{time,
                                     tracereading::ValueAt(m_chart, traces::Weight, time,
                                                           tracereading::TShape::Line, tolerance)};
    const QPointF pixel = m_chart.ValueToPixel(time, value.weight.value_or(0.0));
    const QRect plot = m_chart.PlotRect();
    // No horizontal line where the trace has no value or its value is off the plot.
    const bool across = value.weight && pixel.y() >= plot.top() && pixel.y() <= plot.bottom();
    m_chart.ShowCursor(cursor, pixel.toPoint(), across);
    m_values[size_t(cursor)] = value;
}

void TChartInteraction::ShowReadout()
{
    const std::optional<cursorreadout::TChartValue> first = Present(0);
    const cursorreadout::TReadoutFormat format{m_units(),
                                               m_chart.LabelFormat(TChartAxis::Left).minDecimals,
                                               m_chart.LabelFormat(TChartAxis::Bottom)};
    m_readout.setText(cursorreadout::Readout(first, Present(1), format,
                                             first ? States(first->time)
                                                   : std::vector<cursorreadout::TChannelState>{}));
}

std::vector<cursorreadout::TChannelState> TChartInteraction::States(double time) const
{
    std::vector<cursorreadout::TChannelState> states;
    for (int k = 1; k <= logchannels::DigitalCount && k < m_chart.TraceCount(); ++k) {
        const QString name = m_chart.TraceName(k).trimmed();
        const std::optional<double> value =
            tracereading::ValueAt(m_chart, k, time, tracereading::TShape::Steps);
        if (!name.isEmpty() && value)
            states.push_back({name, *value - logchannels::Baseline(k) > kOnAbove});
    }
    return states;
}

void TChartInteraction::ChartAfterDraw()
{
    for (auto& value : m_values)
        value.reset();
}

void TChartInteraction::ClearCursors()
{
    for (int cursor : {0, 1})
        m_chart.HideCursor(cursor);
    ChartAfterDraw();
    m_readout.clear();
}

bool TChartInteraction::ArrowKey(int key)
{
    TChartAxis axis = TChartAxis::Bottom;
    double direction = 1.0;
    switch (key) {
    case Qt::Key_Left:
        direction = -1.0;
        break;
    case Qt::Key_Right:
        break;
    case Qt::Key_Up:
        axis = TChartAxis::Left;
        break;
    case Qt::Key_Down:
        axis = TChartAxis::Left;
        direction = -1.0;
        break;
    default:
        return false;
    }
    const TAxisRange range = m_chart.Range(axis);
    const double step = direction * (range.max - range.min) / kArrowShare;
    m_chart.SetRange(axis, range.min + step, range.max + step);
    m_chart.Redraw();
    m_chart.setFocus();
    return true;
}

bool TChartInteraction::CursorKey(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const Qt::KeyboardModifiers ctrlShift = Qt::ShiftModifier | Qt::ControlModifier;
    modifiers &= ~Qt::KeypadModifier;
    if ((key == Qt::Key_Left || key == Qt::Key_Right) &&
        (modifiers == shift || modifiers == ctrlShift)) {
        MoveCursor(modifiers == shift ? 0 : 1, key == Qt::Key_Left ? -1 : 1);
        return true;
    }
    if (modifiers != Qt::NoModifier)
        return false;
    if (key == Qt::Key_Escape)
        ClearCursors();
    else if (key == Qt::Key_Home)
        Fit();
    else
        return false;
    return true;
}

void TChartInteraction::MoveCursor(int cursor, int steps)
{
    if (!Present(0))
        cursor = 0; // the second cursor needs a first one
    double from = 0.0;
    if (const auto present = Present(cursor)) {
        from = present->time;
    } else if (const auto first = Present(0)) {
        from = first->time;
    } else {
        const TAxisRange view = m_chart.Range(TChartAxis::Bottom);
        from = (view.min + view.max) / 2;
        steps = 0;
    }
    const std::optional<double> time = tracereading::StepTime(m_chart, traces::Weight, from, steps);
    if (!time)
        return;
    BringIntoView(*time);
    PlaceCursor(cursor, *time);
    ShowReadout();
}

// Scrolls the time axis until `time` is in view; the redraw that takes wipes the crosshairs,
// which are put back.
void TChartInteraction::BringIntoView(double time)
{
    const TAxisRange view = m_chart.Range(TChartAxis::Bottom);
    if (time >= view.min && time <= view.max)
        return;
    const double margin = (view.max - view.min) / kArrowShare;
    const double shift = time < view.min ? time - margin - view.min : time + margin - view.max;
    const auto kept = m_values;
    const std::array<bool, 2> shown = {m_chart.CursorShown(0), m_chart.CursorShown(1)};
    m_chart.SetRange(TChartAxis::Bottom, view.min + shift, view.max + shift);
    m_chart.RedrawNow();
    for (int cursor : {0, 1})
        if (shown[size_t(cursor)] && kept[size_t(cursor)])
            PlaceCursor(cursor, kept[size_t(cursor)]->time);
}

void TChartInteraction::Fit()
{
    const auto extent = m_chart.Extent(traces::Weight);
    const TAxisRange time = chartsetuprules::FitTimeRange(extent);
    const TAxisRange weight = chartranges::Readable(chartsetuprules::FitWeightRange(extent),
                                                    m_chart.Division(TChartAxis::Left));
    m_chart.SetRange(TChartAxis::Bottom, time.min, time.max);
    m_chart.SetRange(TChartAxis::Left, weight.min, weight.max);
    m_chart.Redraw();
}

// Only the first delivery of a key counts (a key passed on to the parents comes by again),
// and only in the page's own window while the page is shown.
bool TChartInteraction::InFront(const QObject* receiver) const
{
    if (!m_page.isVisible() || !receiver->isWidgetType())
        return false;
    const auto* widget = static_cast<const QWidget*>(receiver);
    if (widget->window() != m_page.window())
        return false;
    const QWidget* focus = QApplication::focusWidget();
    return focus ? widget == focus : widget == m_page.window();
}

bool TChartInteraction::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !InFront(watched))
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // The cursor keys belong to the chart; the arrow keys scroll from anywhere on the page.
    if (watched == &m_chart && CursorKey(key->key(), key->modifiers()))
        return true;
    ArrowKey(key->key());
    return false; // the key itself goes on
}
