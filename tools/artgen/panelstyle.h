#pragma once

#include <QColor>

// Colours shared by the pictures so the logo, prompt and panel look like one product.
namespace panelstyle {

inline const QColor Accent(0x1F, 0x4E, 0x8C);
inline const QColor AccentLight(0x3C, 0x7C, 0xC9);
inline const QColor Bezel(0x2B, 0x2F, 0x36);
inline const QColor BezelLight(0x4A, 0x50, 0x5A);
inline const QColor LcdGlass(0xC9, 0xD3, 0xB8);

} // namespace panelstyle
