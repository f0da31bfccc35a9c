#include "factoryrecord.h"

#include "tools.h"

#include <algorithm>
#include <array>

namespace factoryrecord {

namespace {

constexpr int kMinimumLength = 20; // shorter ones are no record at all
constexpr int kFormat = 1;
constexpr int kKind = 3;
constexpr int kMarker = 0xA5;
constexpr int kFirstPoint = 10; // bytes 10..18
constexpr int kBlockA = 19;     // temperature, an unused byte, nine errors
constexpr int kBlockB = 30;
constexpr int kErrorOffset = 2; // from a block's temperature to its first error
constexpr double kScaleStep = 0.0004;
constexpr double kMicrovoltsPerDivision = 0.7;
constexpr double kRangeMargin = 1.1;

// The trade limits in divisions: (load, +error) up to each load, drawn as stairs.
constexpr std::array<std::pair<double, double>, 5> kTradeLimits{
    {{0, 0.25}, {500, 0.25}, {1000, 0.5}, {2000, 0.75}, {10000, 0.75}}};

// Byte n (from 1) of the record; a pair that is not two hexadecimal digits, or lies beyond
// the end of the record, reads as 0.
int Byte(const QString& record, int n)
{
    const qsizetype at = qsizetype(n - 1) * 2;
    if (at + 2 > record.size())
        return 0;
    const int high = tools::HexDigitValue(record.at(at));
    const int low = tools::HexDigitValue(record.at(at + 1));
    return high < 0 || low < 0 ? 0 : high * 16 + low;
}

int SignedByte(const QString& record, int n)
{
    const int value = Byte(record, n);
    return value > 127 ? value - 256 : value;
}

void AddEnvelope(TFactoryChart& chart)
{
    for (const auto& [load, error] : kTradeLimits) {
        chart.upperLimits.emplace_back(load, error);
        chart.lowerLimits.emplace_back(load, -error);
    }
}

// Smallest and largest error of every series, the envelope included, with a margin.
TValueRange ErrorRange(const TFactoryChart& chart)
{
    double lo = 0.0;
    double hi = 0.0;
    bool first = true;
    for (const auto* series :
         {&chart.upperLimits, &chart.lowerLimits, &chart.pointsA, &chart.pointsB}) {
        for (const QPointF& p : *series) {
            lo = first ? p.y() : std::min(lo, p.y());
            hi = first ? p.y() : std::max(hi, p.y());
            first = false;
        }
    }
    return {std::min(lo, hi) * kRangeMargin, std::max(lo, hi) * kRangeMargin};
}

QString DegreesTitle(int temperature)
{
    return QStringLiteral("%1 Degrees C").arg(temperature);
}

// The texts that do not depend on the measured values.
void AddTexts(TFactoryChart& chart, const QString& record, const QString& serial)
{
    const int year = 2000 + Byte(record, 2);
    chart.titleLines = {QStringLiteral("Test Results for Serial #%1").arg(serial),
                        QStringLiteral("%1/%2/%3")
                            .arg(Byte(record, 4), 2)
                            .arg(Byte(record, 3), 2, 10, QChar(u'0'))
                            .arg(year)};
    const QString perDivision = QString::number(kMicrovoltsPerDivision, 'f', 2);
    chart.errorAxisTitle = QStringLiteral(" Error (%1 uV per division)").arg(perDivision);
    chart.divisionsAxisTitle = QStringLiteral(" Divisions (%1 uV per division)").arg(perDivision);
    // How the zero drift follows from the record is not known; it is shown as none.
    chart.zeroDriftText = QStringLiteral("Maximum Zero Drift = %1 microvolts/degree celcius")
                              .arg(QString::number(0.0, 'f', 2));
}

} // namespace

TFactoryChart Decode(const QString& record, const QString& serial)
{
    TFactoryChart chart;
    AddEnvelope(chart);
    if (record.size() < kMinimumLength)
        return chart;
    if (Byte(record, 1) != kFormat || Byte(record, 7) != kMarker || Byte(record, 5) != kKind ||
        record.size() != kRecordLength) {
        chart.status = TStatus::Refused;
        chart.message = QStringLiteral("Test Results not available for this Instrument");
        return chart;
    }
    chart.status = TStatus::Accepted;
    const int errorScale = Byte(record, 8);
    const int loadScale = Byte(record, 9);
    // The record holds nine points per temperature; a larger count has nothing behind it.
    const int count = std::min(Byte(record, 6), kMaxPoints);
    chart.pointsA.emplace_back(0.0, 0.0);
    chart.pointsB.emplace_back(0.0, 0.0);
    for (int i = 0; i < count; ++i) {
        const double x =
            Byte(record, kFirstPoint + i) * loadScale * kScaleStep / kMicrovoltsPerDivision;
        const int a = SignedByte(record, kBlockA + kErrorOffset + i);
        const int b = SignedByte(record, kBlockB + kErrorOffset + i);
        chart.pointsA.emplace_back(x, a * errorScale * kScaleStep);
        chart.pointsB.emplace_back(x, b * errorScale * kScaleStep);
    }
    chart.titleA = DegreesTitle(Byte(record, kBlockA));
    chart.titleB = DegreesTitle(Byte(record, kBlockB));
    chart.errorRange = ErrorRange(chart);
    AddTexts(chart, record, serial);
    return chart;
}

} // namespace factoryrecord
