#pragma once

#include "buttonregion.h"
#include "zellcd.h"

#include <QString>

#include <array>

// The Q910 front panel as the mimic draws it: its LCD's segment table, colours and map
// size, the LCD rectangle and the six key regions, all fixed by the panel's artwork.
namespace q910panel {

constexpr uint32_t kOffColour = 51400; // 0x00C8C8: red 200, green 200, blue 0
constexpr uint32_t kOnColour = 0;
constexpr int kMapWidth = 1036;
constexpr int kMapHeight = 287;
inline const QString kLcdName = QStringLiteral("Q910LCD");

// The LCD rectangle in per mille of the control's width (left, width) and height.
constexpr int kLcdLeft = 154;
constexpr int kLcdTop = 223;
constexpr int kLcdWidth = 540;
constexpr int kLcdHeight = 350;

// The panel picture's aspect, width : height.
constexpr int kAspectWidth = 1000;
constexpr int kAspectHeight = 491;

constexpr int kKeyCount = 6;

[[nodiscard]] const TSegmentsDefinition& SegmentTable();
// Index 0 is the small key at the far left, 1..5 the keys along the bottom, left to right.
[[nodiscard]] const std::array<TButtonRegion, kKeyCount>& KeyRegions();
// Colours, map size, segment table and cache name; the pictures come from files.
void ConfigureLcd(TZelLCD& lcd);

} // namespace q910panel
