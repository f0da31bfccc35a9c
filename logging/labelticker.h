#pragma once

#include "labelformat.h"

#include <qcustomplot.h>

// Axis ticks of the charts: labels written by our label formats ("at least N, at most M
// decimals"), four minor ticks between labels, and a smallest label step (the increment).
// Only the chart's own files see the plotting library.
class TLabelTicker : public QCPAxisTicker
{
public:
    TLabelTicker() = default;

    TLabelFormat Format() const { return m_format; }
    void SetFormat(const TLabelFormat& format) { m_format = format; }
    double MinimumStep() const { return m_minimumStep; }
    // 0 lets the ticker choose freely.
    void SetMinimumStep(double step) { m_minimumStep = step; }

protected:
    double getTickStep(const QCPRange& range) override;
    int getSubTickCount(double tickStep) override;
    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override;

private:
    TLabelFormat m_format;
    double m_minimumStep = 0.0;
};
