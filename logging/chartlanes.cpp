#include "chartlanes.h"

#include "graphstyle.h"
#include "spanaxisrect.h"

#include <qcustomplot.h>

#include <cmath>

namespace {

constexpr double kStretch = 0.001; // the strip keeps its own height
constexpr double kTopPercent = 2;  // room above the strip, as above the plot area
constexpr double kMiddle = 0.5;    // a lane's name stands halfway between its 0 and 1
constexpr double kMargin = 0.25;   // below the lowest lane and above the highest
// Lanes lie half a unit apart, so the "1" of one and the "0" of the next are that close: a
// unit is two label heights.
constexpr int kLabelsPerUnit = 2;
constexpr double kLabelScale = 0.9;

// Whether `element` sits in `layout`, and in which row.
int RowOf(QCPLayoutGrid* layout, QCPLayoutElement* element)
{
    for (int row = 0; row < layout->rowCount(); ++row)
        if (layout->element(row, 0) == element)
            return row;
    return -1;
}

} // namespace

TChartLanes::TChartLanes(QCustomPlot* plot, QCPAxisRect* plotRect)
    : m_plot(plot), m_plotRect(plotRect), m_rect(new TSpanAxisRect(plot)),
      m_group(new QCPMarginGroup(plot))
{
    m_rect->setLayer(QStringLiteral("background"));
    m_rect->SetVerticalSpan(kTopPercent, 100);
    m_rect->setVisible(false);
    QCPAxis* names = m_rect->axis(QCPAxis::atLeft);
    QCPAxis* states = m_rect->axis(QCPAxis::atRight);
    QCPAxis* time = m_rect->axis(QCPAxis::atBottom);
    QFont font = plot->font();
    font.setPointSizeF(font.pointSizeF() * kLabelScale);
    for (QCPAxis* axis : {names, states}) {
        axis->setTickLabelFont(font);
        axis->setTicker(QSharedPointer<QCPAxisTickerText>::create());
        axis->setVisible(true);
        axis->grid()->setVisible(false);
        axis->setSubTicks(false);
    }
    names->setTickLength(0, 0);
    states->grid()->setVisible(true);
    time->setTicker(plotRect->axis(QCPAxis::atBottom)->ticker());
    time->setTickLabels(false);
    // The time axis follows the plot's, the names follow the lanes.
    const auto changed = QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged);
    QObject::connect(plotRect->axis(QCPAxis::atBottom), changed, time,
                     QOverload<const QCPRange&>::of(&QCPAxis::setRange));
    QObject::connect(states, changed, names, QOverload<const QCPRange&>::of(&QCPAxis::setRange));
}

TChartLanes::~TChartLanes()
{
    // Out of the layout, nothing else deletes the strip.
    if (!m_rect->layout())
        delete m_rect;
}

QCPAxis* TChartLanes::ValueAxis() const
{
    return m_rect->axis(QCPAxis::atRight);
}

QCPAxis* TChartLanes::TimeAxis() const
{
    return m_rect->axis(QCPAxis::atBottom);
}

QCPAxisRect* TChartLanes::Rect() const
{
    return m_rect;
}

void TChartLanes::SetLanes(const std::vector<TLane>& lanes)
{
    QMap<double, QString> names;
    QMap<double, QString> states;
    for (const TLane& lane : lanes) {
        if (lane.name.trimmed().isEmpty())
            continue;
        names.insert(lane.baseline + kMiddle, lane.name);
        states.insert(lane.baseline, QStringLiteral("0"));
        states.insert(lane.baseline + 1, QStringLiteral("1"));
    }
    qSharedPointerCast<QCPAxisTickerText>(m_rect->axis(QCPAxis::atLeft)->ticker())->setTicks(names);
    qSharedPointerCast<QCPAxisTickerText>(ValueAxis()->ticker())->setTicks(states);
    if (!states.isEmpty()) {
        // The named lanes only, each as tall as its labels need.
        const double low = states.firstKey() - kMargin;
        const double high = states.lastKey() + kMargin;
        ValueAxis()->setRange(low, high);
        const int unit = kLabelsPerUnit * QFontMetrics(ValueAxis()->tickLabelFont()).height();
        const int height = int(std::lround((high - low) * unit));
        m_rect->setMinimumSize(0, height);
        m_rect->setMaximumSize(QWIDGETSIZE_MAX, height);
    }
    Show(!names.isEmpty());
}

void TChartLanes::SetHorizontalSpan(double startPercent, double endPercent)
{
    m_rect->SetHorizontalSpan(startPercent, endPercent);
}

void TChartLanes::SetColours(const QColor& background, const QColor& text, const QColor& grid)
{
    m_rect->setBackground(background);
    for (QCPAxis* axis : m_rect->axes())
        StyleAxis(axis, text, grid);
    // The levels of 0 and 1 lighter than the time grid.
    ValueAxis()->grid()->setPen(QPen(grid, 0, Qt::DotLine));
}

// The strip goes into the layout just above the plot area, and out again when it has no
// lanes; the margin group lines its edges up with the plot area's.
void TChartLanes::Show(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    QCPLayoutGrid* layout = m_plot->plotLayout();
    const QCP::MarginSides sides = QCP::msLeft | QCP::msRight;
    if (shown) {
        const int row = std::max(RowOf(layout, m_plotRect), 0);
        layout->insertRow(row);
        layout->addElement(row, 0, m_rect);
        layout->setRowStretchFactor(row, kStretch);
        m_rect->setMarginGroup(sides, m_group);
        m_plotRect->setMarginGroup(sides, m_group);
    } else {
        layout->take(m_rect);
        layout->simplify();
        m_rect->setMarginGroup(sides, nullptr);
        m_plotRect->setMarginGroup(sides, nullptr);
    }
    m_rect->setVisible(shown);
}
