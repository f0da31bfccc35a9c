#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>

// Start-up probe shared by the start-up benchmark's child programs: notes when a widget's
// paints end and, once the window has stayed unpainted for a while, reports the end of the
// last one with the process's resident memory.
namespace startupprobe {

// CLOCK_MONOTONIC in nanoseconds: the same clock in the parent and in its children.
[[nodiscard]] int64_t MonotonicNs();
// CPU time of the whole process (every thread, from its start) in nanoseconds.
[[nodiscard]] int64_t ProcessCpuNs();

// When a paint ended: by the clock, and in CPU time the process had used until then.
struct TPainted
{
    int64_t wallNs = 0;
    int64_t cpuNs = 0;
};
// A "Vm..." line of /proc/self/status in kB (VmRSS, VmHWM); 0 when unreadable.
[[nodiscard]] long StatusKb(const char* key);

// Watches one widget's paints; `settleMs` after the last one it calls `done` with the time
// that paint ended.
class TPaintWatch : public QObject
{
public:
    TPaintWatch(QWidget& target, int settleMs, std::function<void(TPainted painted)> done);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintEnded();
    void Check();

    QPointer<QWidget> m_target;
    int m_settleMs;
    std::function<void(TPainted)> m_done;
    TPainted m_painted;
    QElapsedTimer m_sincePaint;
};

// Prints the one line the driver reads: "painted NS cpu NS rss KB hwm KB size WxH".
void Report(TPainted painted, QSize windowSize);

} // namespace startupprobe
