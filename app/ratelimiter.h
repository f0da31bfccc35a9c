#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Runs an action at most once an interval, as a serial terminal repaints its screen: at once
// when the last run is that long past, else once when the interval is over, however often it
// was asked for meanwhile. What streams in at a hundred lines a second then costs the window
// a repaint and a flush every interval, not one for each line.
class TRateLimiter : public QObject
{
public:
    TRateLimiter(int intervalMs, std::function<void()> action, QObject* parent = nullptr);

    void Request();
    // A run that was due is not needed any more.
    void Cancel() { m_due.stop(); }

private:
    void Run();

    int m_intervalMs;
    std::function<void()> m_action;
    QElapsedTimer m_sinceRun;
    QTimer m_due;
};
