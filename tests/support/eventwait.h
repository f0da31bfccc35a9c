#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QString>
#include <QTimer>

#include <functional>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Runs the event loop until the condition holds or the time is up; true when it held.
inline bool RunUntil(const std::function<bool()>& done, int timeoutMs = 2000)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

inline void RunFor(int ms)
{
    RunUntil([] { return false; }, ms);
}
