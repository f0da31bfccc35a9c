#pragma once

#include "traces.h"

// Ranges the chart chooses by itself (automatic scaling, fitting to the data) that a reader can
// use: a weight that hardly moves gets an axis a few display divisions tall whose labels differ,
// instead of a span so narrow that every label reads the same and the trace lies on the edge.
namespace chartranges {

// How many display divisions the axis of a flat trace spans, at the least.
inline constexpr int FlatDivisions = 6;

// The display division of a weight shown with `decimals` decimals (0..6): 1, 0.1, 0.01...
double DivisionFor(int decimals);

// `range` itself when it spans FlatDivisions divisions or more, or when `division` is not
// positive. A narrower range is widened to whole divisions, at least FlatDivisions of them,
// with at least one whole division free above and below the trace.
TAxisRange Readable(const TAxisRange& range, double division);

} // namespace chartranges
