#include "chartinteraction.h"

#include "chartranges.h"
#include "chartsetuprules.h"
#include "logchart.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

namespace {

constexpr double kArrowShare = 10.0; // an arrow key moves an axis by a tenth of its width

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
    return cursor == 0 ? m_first : m_second;
}

void TChartInteraction::ChartMouseDown(const QPoint& pos, Qt::MouseButton button,
                                       Qt::KeyboardModifiers modifiers)
{
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    if (!(shift && button == Qt::RightButton)) {
        m_chart.HideCursor(0);
        m_first.reset();
    }
    m_chart.HideCursor(1);
    m_second.reset();
    if (shift && m_chart.PlotRect().contains(pos)) {
        const QPointF value = m_chart.PixelToValue(pos, TChartAxis::Left);
        const cursorreadout::TChartValue at{value.x(), value.y()};
        if (button == Qt::LeftButton) {
            m_chart.ShowCursor(0, pos);
            m_first = at;
        } else if (button == Qt::RightButton) {
            m_chart.ShowCursor(1, pos);
            m_second = at;
        }
    }
    m_readout.setText(cursorreadout::Readout(Present(0), Present(1), m_units(),
                                             m_chart.LabelFormat(TChartAxis::Left),
                                             m_chart.LabelFormat(TChartAxis::Bottom)));
}

void TChartInteraction::ChartAfterDraw()
{
    m_first.reset();
    m_second.reset();
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
    if (event->type() == QEvent::KeyPress && InFront(watched))
        ArrowKey(static_cast<QKeyEvent*>(event)->key());
    return false; // the key itself goes on
}
