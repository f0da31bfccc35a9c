#include "graphstyle.h"

#include "logchart.h"

#include <qcustomplot.h>

namespace {

constexpr int kMarkSize = 5; // a 2 x 2 pixel mark drawn around its centre pixel

} // namespace

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

void StyleAxis(QCPAxis* axis, const QColor& text, const QColor& grid)
{
    axis->setBasePen(QPen(text));
    axis->setTickPen(QPen(text));
    axis->setSubTickPen(QPen(text));
    axis->setTickLabelColor(text);
    axis->setLabelColor(text);
    axis->grid()->setPen(QPen(grid, 0, Qt::SolidLine));
}
