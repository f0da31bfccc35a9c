#include "chartheadings.h"

#include <qcustomplot.h>

namespace {

constexpr int kTitlePixels = 16;
constexpr double kSmallStretch = 0.001; // the legend row takes the room it needs

} // namespace

TChartHeadings::TChartHeadings(QCustomPlot* plot) : m_plot(plot) {}

void TChartHeadings::SetTitleLines(const QStringList& lines)
{
    m_lines = lines;
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
        m_title->setTextColor(m_titleColour);
        m_plot->plotLayout()->insertRow(0);
        m_plot->plotLayout()->addElement(0, 0, m_title);
    }
    m_title->setText(lines.join(u'\n'));
}

void TChartHeadings::SetLegendVisible(bool visible)
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
        SetColours(m_background, m_text, m_titleColour);
    } else {
        layout->remove(m_legend);
        layout->simplify();
        m_legend = nullptr;
    }
}

void TChartHeadings::UpdateLegend(const std::vector<QCPGraph*>& graphs)
{
    m_graphs = graphs;
    if (!m_legend)
        return;
    // Made again in trace order: a trace named later would otherwise come last.
    m_legend->clearItems();
    for (QCPGraph* graph : graphs)
        if (!graph->name().trimmed().isEmpty())
            graph->addToLegend(m_legend);
}

void TChartHeadings::SetColours(const QColor& background, const QColor& text, const QColor& title)
{
    m_background = background;
    m_text = text;
    m_titleColour = title;
    if (m_title)
        m_title->setTextColor(title);
    if (m_legend) {
        m_legend->setBrush(background);
        m_legend->setTextColor(text);
        UpdateLegend(m_graphs); // the items take the legend's colours when made
    }
}

void TChartHeadings::BeginPaper(const QStringList& lines, bool legend)
{
    m_screenLines = m_lines;
    m_screenLegend = LegendVisible();
    if (!lines.isEmpty())
        SetTitleLines(lines);
    SetLegendVisible(m_screenLegend || legend);
}

void TChartHeadings::EndPaper()
{
    SetTitleLines(m_screenLines);
    SetLegendVisible(m_screenLegend);
}
