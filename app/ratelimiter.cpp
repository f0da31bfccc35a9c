#include "ratelimiter.h"

TRateLimiter::TRateLimiter(int intervalMs, std::function<void()> action, QObject* parent)
    : QObject(parent), m_intervalMs(intervalMs), m_action(std::move(action))
{
    m_due.setSingleShot(true);
    connect(&m_due, &QTimer::timeout, this, &TRateLimiter::Run);
}

void TRateLimiter::Request()
{
    if (m_due.isActive())
        return;
    const qint64 since = m_sinceRun.isValid() ? m_sinceRun.elapsed() : m_intervalMs;
    if (since >= m_intervalMs)
        Run();
    else
        m_due.start(static_cast<int>(m_intervalMs - since));
}

void TRateLimiter::Run()
{
    m_sinceRun.start();
    m_action();
}
