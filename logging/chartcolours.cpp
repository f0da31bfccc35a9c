#include "chartcolours.h"

#include <QPalette>

#include <cmath>

namespace chartcolours {

namespace {

constexpr double kLegibleContrast = 3.0;  // the least for lines and large text
constexpr double kGridShare = 63.0 / 255; // 192 grey, silver, between white and black
constexpr int kSteps = 10;
// Below it white stands out more than black does.
constexpr double kMidLuminance = 0.179;
const QColor kTitle(0, 0, 255);

double Linear(double channel)
{
    return channel <= 0.03928 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour)
{
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
           0.0722 * Linear(colour.blueF());
}

QColor Mix(const QColor& from, const QColor& to, double share)
{
    const auto channel = [share](int a, int b) { return int(std::lround(a + (b - a) * share)); };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

} // namespace

TChartColours FromPalette(const QPalette& palette)
{
    const QColor background = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    return {background, text, Mix(background, text, kGridShare), Legible(kTitle, background)};
}

TChartColours Paper()
{
    return {Qt::white, Qt::black, Mix(Qt::white, Qt::black, kGridShare), kTitle};
}

double Contrast(const QColor& a, const QColor& b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Legible(const QColor& colour, const QColor& background)
{
    const QColor towards =
        Luminance(background) < kMidLuminance ? QColor(Qt::white) : QColor(Qt::black);
    for (int step = 0; step < kSteps; ++step) {
        const QColor mixed = Mix(colour, towards, double(step) / kSteps);
        if (Contrast(mixed, background) >= kLegibleContrast)
            return mixed;
    }
    return towards;
}

} // namespace chartcolours
