#pragma once

#include <QColor>

class QPalette;

// The colours a chart draws with, taken from the widget's palette so that the chart stays
// legible under a dark one as under a light one; paper (printing, export) is always light.
struct TChartColours
{
    QColor background;
    QColor text;
    QColor grid;
    QColor title;
};

namespace chartcolours {

// Base as the background, Text for axes and labels, the grid a quarter of the way from the
// background to the text (silver on white), the title blue made legible.
TChartColours FromPalette(const QPalette& palette);
// White paper, black text, a silver grid and a blue title.
TChartColours Paper();
// The contrast ratio of two colours by their relative luminance, 1 (same) to 21.
double Contrast(const QColor& a, const QColor& b);
// `colour` when its contrast with `background` is at least 3:1; otherwise the colour moved
// step by step towards white (on a dark background) or black (on a light one) until it is.
QColor Legible(const QColor& colour, const QColor& background);

} // namespace chartcolours
