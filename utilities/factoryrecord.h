#pragma once

#include <QPointF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A factory test record decoded into what the Factory Test Results chart draws: the
// trade-limit envelope, the error at each test point at two temperatures, the axis range and
// the texts around the chart.
namespace factoryrecord {

inline constexpr int kRecordLength = 122; // characters: 61 bytes as hexadecimal pairs
inline constexpr int kMaxPoints = 9;      // test points per temperature

enum class TStatus
{
    TooShort, // 19 characters or fewer: refused without a word
    Refused,  // not a record of the known layout: refused with `message`
    Accepted
};

struct TValueRange
{
    double min = 0.0;
    double max = 0.0;
};

struct TFactoryChart
{
    TStatus status = TStatus::TooShort;
    QString message;                  // for the user when refused
    std::vector<QPointF> upperLimits; // stairs: +0.25, +0.5, +0.75 divisions
    std::vector<QPointF> lowerLimits; // the same negated
    std::vector<QPointF> pointsA;     // (divisions, error) at temperature A, from (0, 0)
    std::vector<QPointF> pointsB;     // at temperature B
    QString titleA = QStringLiteral("Data1");
    QString titleB = QStringLiteral("Data2");
    std::optional<TValueRange> errorRange; // none: the error axis scales itself
    QStringList titleLines;                // none: no title
    QString errorAxisTitle;
    QString divisionsAxisTitle;
    QString zeroDriftText;

    [[nodiscard]] bool Accepted() const { return status == TStatus::Accepted; }
};

// Validates and decodes `record` (hexadecimal pairs; a pair with another character reads as
// 0) for the instrument with that serial number. A refused record still gives the envelope.
[[nodiscard]] TFactoryChart Decode(const QString& record, const QString& serial);

} // namespace factoryrecord
