#pragma once

#include <QImage>
#include <QString>

// The program's own artwork, drawn from geometry in code. Run `q900artgen <resources dir>`
// to regenerate the committed pictures; the build itself never runs it.
namespace artgen {

QImage DrawLogo();          // About box logo, 360 x 80
QImage DrawOpticalPrompt(); // optical link fitted to the instrument's front
QImage DrawFrontPanel();    // Q910 front panel, 2000 x 982 (1000 : 491)
QImage DrawAppIcon();       // desktop icon, 128 x 128

// Writes every picture under `resourcesDir`; false with a message on the first failure.
bool WriteAll(const QString& resourcesDir, QString* error);

} // namespace artgen
