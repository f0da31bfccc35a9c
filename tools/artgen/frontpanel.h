#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>
#include <QString>

// Pieces of the Q910 front panel picture shared by its drawing files. Coordinates are
// pixels of the 1000 x 491 picture.
namespace artgen::frontpanel {

constexpr qreal kWidth = 1000;
constexpr qreal kHeight = 491;

// A per-mille rectangle of the mimic as picture pixels.
QRectF PerMille(int left, int top, int right, int bottom);
QRectF LcdWindow();
QFont PanelFont(qreal pixelSize, bool bold = true);

// The five keys along the bottom and the small key at the far left, at the mimic's key
// regions, with their legends.
void DrawKeys(QPainter& p);

} // namespace artgen::frontpanel
