#pragma once

#include <QColor>
#include <QStringList>

#include <vector>

class QCPGraph;
class QCPLegend;
class QCPTextElement;
class QCustomPlot;

// The rows of a chart's layout that say what it shows: title lines above everything (bold,
// in the title colour) and a legend of the named traces below.
class TChartHeadings
{
public:
    explicit TChartHeadings(QCustomPlot* plot);

    // None removes the title row.
    void SetTitleLines(const QStringList& lines);
    QStringList TitleLines() const { return m_lines; }
    void SetLegendVisible(bool visible);
    bool LegendVisible() const { return m_legend != nullptr; }
    // The legend lists the graphs with a non-blank name, in this order.
    void UpdateLegend(const std::vector<QCPGraph*>& graphs);
    void SetColours(const QColor& background, const QColor& text, const QColor& title);
    // For the length of a print or an export: `lines` as the title (none: the screen's) and
    // the legend when `legend` is set; EndPaper() puts back the screen's.
    void BeginPaper(const QStringList& lines, bool legend);
    void EndPaper();

private:
    QCustomPlot* m_plot;
    QCPTextElement* m_title = nullptr;
    QCPLegend* m_legend = nullptr;
    QStringList m_lines;
    QStringList m_screenLines; // while on paper
    bool m_screenLegend = false;
    std::vector<QCPGraph*> m_graphs;
    QColor m_background = Qt::white;
    QColor m_text = Qt::black;
    QColor m_titleColour = QColor(0, 0, 255);
};
