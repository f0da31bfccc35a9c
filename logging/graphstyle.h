#pragma once

class QCPAxis;
class QCPGraph;
class QColor;
enum class TTraceStyle;

// Gives a chart trace's graph the look of its style, in `colour`.
void StyleGraph(QCPGraph* graph, TTraceStyle style, const QColor& colour);
// Gives an axis, its ticks, labels and title the text colour, and its grid the grid colour.
void StyleAxis(QCPAxis* axis, const QColor& text, const QColor& grid);
