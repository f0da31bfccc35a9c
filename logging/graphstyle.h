#pragma once

class QCPGraph;
class QColor;
enum class TTraceStyle;

// Gives a chart trace's graph the look of its style, in `colour`.
void StyleGraph(QCPGraph* graph, TTraceStyle style, const QColor& colour);
