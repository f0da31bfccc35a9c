#pragma once

#include <QDateTime>
#include <QString>

#include <cstdint>

// The instrument's real-time clock: runs from the moment the instrument starts and is set
// field by field over registers 0x0152..0x0156, as the viewer's clock dialog does.
class TSimClock
{
public:
    enum Field
    {
        Day = 0x0152,
        Month,
        Year,
        Hour,
        Minute
    };
    enum Order
    {
        DayMonthYear,
        MonthDayYear,
        YearMonthDay
    };

    TSimClock(const QDateTime& start, qint64 atMs);

    [[nodiscard]] QDateTime Now(qint64 nowMs) const;
    // "DD/MM/YY HH:MM:SS" with the date fields in the order the instrument is set to.
    [[nodiscard]] QString Text(qint64 nowMs, int order) const;
    // 0 or the protocol's Over Range / Under Range bits.
    uint32_t Set(Field field, int value, qint64 nowMs);

    // How far the instrument's clock is from the host's, kept across runs.
    [[nodiscard]] qint64 OffsetFromHostMs(qint64 nowMs) const;
    void SetOffsetFromHostMs(qint64 offsetMs, qint64 nowMs);

private:
    [[nodiscard]] static uint32_t CheckRange(int value, int low, int high);

    QDateTime m_start;
    qint64 m_startMs;
    qint64 m_offsetMs = 0;
};
