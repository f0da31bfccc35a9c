#pragma once

#include <QString>

// How the Test tab shows link traffic: printable characters as they are, control and
// non-ASCII characters spelled out on request, a line break after ETX, EOT, LF and ";".
namespace terminalrender {

[[nodiscard]] QString Render(const QString& text, bool showControl);
// Every byte as two upper-case hexadecimal digits and a blank, the lines broken as Render
// breaks them, so a message is one line whichever view shows it.
[[nodiscard]] QString Hex(const QString& text);
// Control characters dropped: for the one-line status bar panels.
[[nodiscard]] QString Printable(const QString& text);

} // namespace terminalrender
