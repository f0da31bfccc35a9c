#pragma once

#include <QRect>
#include <QSize>

// The window's size rules, kept apart from the widgets so they can be checked directly. The
// window's height is free: the front-panel picture keeps its proportions inside whatever room
// the Display tab has, centred in it.
namespace resizerule {

constexpr int kMinWidth = 580;
constexpr int kMinHeight = 450;

// Where the picture goes in `room`: as large as fits at the panel's proportions, centred.
[[nodiscard]] QRect FitPanel(QSize room);

} // namespace resizerule
