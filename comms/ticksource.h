#pragma once

#include <QObject>
#include <QTimer>

// The 100 ms tick that times the link: time-outs, retries, polls and the session keep-alive
// are counted in it. The program's runs from a timer; a test's is stepped by hand.
class TTickSource : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 100;

    using QObject::QObject;

    [[nodiscard]] quint64 Ticks() const { return m_ticks; }

signals:
    void Tick();

protected:
    void Advance()
    {
        ++m_ticks;
        emit Tick();
    }

private:
    quint64 m_ticks = 0;
};

// Ticks from a timer, every 100 ms for the life of the object.
class TTimerTicks : public TTickSource
{
public:
    explicit TTimerTicks(QObject* parent = nullptr) : TTickSource(parent)
    {
        m_timer.setInterval(kTickMs);
        connect(&m_timer, &QTimer::timeout, this, &TTimerTicks::Advance);
        m_timer.start();
    }

private:
    QTimer m_timer;
};
