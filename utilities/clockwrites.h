#pragma once

#include <QDateTime>
#include <QString>

#include <array>

// What sets the instrument's clock: one register write per field of the date and time.
namespace clockwrites {

struct TClockWrite
{
    int reg = 0;
    QString data; // upper-case hexadecimal without leading zeros
};

// The writes for `time`: year (four digits), month, day, hour and minute, in that order,
// which is the order they must be sent in. Seconds are not sent.
[[nodiscard]] std::array<TClockWrite, 5> For(const QDateTime& time);

} // namespace clockwrites
