#include "simclock.h"

#include "protocol.h"

#include <algorithm>

namespace {

QDate WithDay(int year, int month, int day)
{
    const int last = QDate(year, month, 1).daysInMonth();
    return QDate(year, month, std::min(day, last));
}

} // namespace

TSimClock::TSimClock(const QDateTime& start, qint64 atMs) : m_start(start), m_startMs(atMs) {}

QDateTime TSimClock::Now(qint64 nowMs) const
{
    return m_start.addMSecs(nowMs - m_startMs + m_offsetMs);
}

QString TSimClock::Text(qint64 nowMs, int order) const
{
    const QDateTime now = Now(nowMs);
    QString date;
    switch (order) {
    case MonthDayYear:
        date = now.toString(QStringLiteral("MM/dd/yy"));
        break;
    case YearMonthDay:
        date = now.toString(QStringLiteral("yy/MM/dd"));
        break;
    default:
        date = now.toString(QStringLiteral("dd/MM/yy"));
    }
    return date + u' ' + now.toString(QStringLiteral("HH:mm:ss"));
}

uint32_t TSimClock::CheckRange(int value, int low, int high)
{
    if (value < low)
        return protocol::err::UnderRange;
    return value > high ? protocol::err::OverRange : 0;
}

uint32_t TSimClock::Set(Field field, int value, qint64 nowMs)
{
    const QDateTime now = Now(nowMs);
    const QDate date = now.date();
    QDate newDate = date;
    QTime newTime = now.time();
    uint32_t result = 0;
    switch (field) {
    case Day:
        result = CheckRange(value, 1, date.daysInMonth());
        newDate = QDate(date.year(), date.month(), value);
        break;
    case Month:
        result = CheckRange(value, 1, 12);
        newDate = result ? date : WithDay(date.year(), value, date.day());
        break;
    case Year:
        result = CheckRange(value, 2000, 2099);
        newDate = result ? date : WithDay(value, date.month(), date.day());
        break;
    case Hour:
        result = CheckRange(value, 0, 23);
        newTime = QTime(value, newTime.minute(), newTime.second());
        break;
    case Minute:
        // The seconds restart with the minute, as they do when the instrument's clock is set.
        result = CheckRange(value, 0, 59);
        newTime = QTime(newTime.hour(), value, 0);
        break;
    }
    if (result == 0)
        m_offsetMs += now.msecsTo(QDateTime(newDate, newTime, now.timeSpec()));
    return result;
}

qint64 TSimClock::OffsetFromHostMs(qint64 nowMs) const
{
    return QDateTime::currentDateTime().msecsTo(Now(nowMs));
}

void TSimClock::SetOffsetFromHostMs(qint64 offsetMs, qint64 nowMs)
{
    m_offsetMs = 0;
    m_offsetMs = Now(nowMs).msecsTo(QDateTime::currentDateTime().addMSecs(offsetMs));
}
