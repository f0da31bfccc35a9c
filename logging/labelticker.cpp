#include "labelticker.h"

#include <algorithm>

namespace {

constexpr int kMinorTicks = 4;

} // namespace

double TLabelTicker::getTickStep(const QCPRange& range)
{
    return std::max(QCPAxisTicker::getTickStep(range), m_minimumStep);
}

int TLabelTicker::getSubTickCount(double)
{
    return kMinorTicks;
}

QString TLabelTicker::getTickLabel(double tick, const QLocale&, QChar, int)
{
    return labelformat::FormatLabel(tick, m_format);
}
