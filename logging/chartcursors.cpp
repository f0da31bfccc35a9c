#include "chartcursors.h"

namespace {

const QString kLayer = QStringLiteral("cursors");

QColor CrosshairColour(const QColor& background)
{
    const QColor yellow(255, 255, 0);
    return QColor(yellow.red() ^ background.red(), yellow.green() ^ background.green(),
                  yellow.blue() ^ background.blue());
}

bool Valid(int cursor)
{
    return cursor >= 0 && cursor < TChartCursors::Count;
}

} // namespace

TChartCursors::TChartCursors(QCustomPlot* plot) : m_plot(plot)
{
    m_plot->addLayer(kLayer, m_plot->layer(QStringLiteral("overlay")), QCustomPlot::limAbove);
    m_layer = m_plot->layer(kLayer);
    m_layer->setMode(QCPLayer::lmBuffered);
    for (QCPItemLine*& line : m_lines) {
        line = new QCPItemLine(m_plot);
        line->setLayer(m_layer);
        line->setSelectable(false);
        line->setClipToAxisRect(false);
        line->start->setType(QCPItemPosition::ptAbsolute);
        line->end->setType(QCPItemPosition::ptAbsolute);
        line->setVisible(false);
    }
    SetBackground(Qt::white);
}

void TChartCursors::Show(int cursor, const QPoint& pixel, const QRect& area, bool across)
{
    if (!Valid(cursor))
        return;
    QCPItemLine* vertical = m_lines[size_t(cursor * 2)];
    QCPItemLine* horizontal = m_lines[size_t(cursor * 2 + 1)];
    vertical->start->setCoords(pixel.x(), area.top());
    vertical->end->setCoords(pixel.x(), area.bottom());
    horizontal->start->setCoords(area.left(), pixel.y());
    horizontal->end->setCoords(area.right(), pixel.y());
    vertical->setVisible(true);
    horizontal->setVisible(across);
    m_shown[size_t(cursor)] = true;
    Refresh();
}

void TChartCursors::Hide(int cursor)
{
    if (!Shown(cursor))
        return;
    m_shown[size_t(cursor)] = false;
    m_lines[size_t(cursor * 2)]->setVisible(false);
    m_lines[size_t(cursor * 2 + 1)]->setVisible(false);
    Refresh();
}

bool TChartCursors::Shown(int cursor) const
{
    return Valid(cursor) && m_shown[size_t(cursor)];
}

void TChartCursors::Forget()
{
    for (QCPItemLine* line : m_lines)
        line->setVisible(false);
    m_shown.fill(false);
}

void TChartCursors::SetPrintable(bool printable)
{
    m_layer->setVisible(printable);
}

void TChartCursors::Refresh()
{
    m_drawing = true;
    m_layer->replot();
    m_drawing = false;
}

void TChartCursors::SetBackground(const QColor& background)
{
    // The horizontal line lies on the trace it reads: dotted, so that the trace shows through.
    for (size_t i = 0; i < m_lines.size(); ++i)
        m_lines[i]->setPen(
            QPen(CrosshairColour(background), 1, i % 2 == 0 ? Qt::SolidLine : Qt::DotLine));
}
