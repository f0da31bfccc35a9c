#include "startupprobe.h"

#include <QEvent>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace startupprobe {

int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int64_t ProcessCpuNs()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return int64_t(used.tv_sec) * 1000000000 + used.tv_nsec;
}

long StatusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

TPaintWatch::TPaintWatch(QWidget& target, int settleMs, std::function<void(TPainted)> done)
    : m_target(&target), m_settleMs(settleMs), m_done(std::move(done))
{
    target.installEventFilter(this);
}

bool TPaintWatch::eventFilter(QObject* watched, QEvent* event)
{
    // The paint itself runs after the filter: a zero timer fires once it, and the flush of
    // the window that follows it, are done.
    if (watched == m_target && event->type() == QEvent::Paint)
        QTimer::singleShot(0, this, &TPaintWatch::PaintEnded);
    return false;
}

void TPaintWatch::PaintEnded()
{
    const bool first = m_painted.wallNs == 0;
    m_painted = {MonotonicNs(), ProcessCpuNs()};
    m_sincePaint.start();
    if (first)
        Check();
}

void TPaintWatch::Check()
{
    if (m_sincePaint.elapsed() < m_settleMs) {
        QTimer::singleShot(20, this, &TPaintWatch::Check);
        return;
    }
    m_target->removeEventFilter(this);
    m_done(m_painted);
}

void Report(TPainted painted, QSize windowSize)
{
    std::printf("painted %lld cpu %lld rss %ld hwm %ld size %dx%d\n",
                static_cast<long long>(painted.wallNs), static_cast<long long>(painted.cpuNs),
                StatusKb("VmRSS"), StatusKb("VmHWM"), windowSize.width(), windowSize.height());
    std::fflush(stdout);
}

} // namespace startupprobe
