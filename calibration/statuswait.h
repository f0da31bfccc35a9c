#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

// The wait after a calibration action: reads the instrument's calibration status every half
// second until five readings in a row find it no longer busy, a result code appears, a read
// fails or the user cancels. How to pause and how to read are given from outside, so the
// rule runs the same against the link and in a test.
class TStatusWait : public QObject
{
    Q_OBJECT
public:
    enum class TEnd
    {
        Finished,   // five quiet readings without a result code
        ResultCode, // LastStatus() holds the instrument's result code
        ReadFailed, // the request failed; whoever sent it has reported why
        Cancelled
    };
    // Pauses that many 100 ms ticks while events go on.
    using Pause = std::function<void(int ticks)>;
    // One status reading; none when the request failed.
    using Read = std::function<std::optional<uint32_t>()>;

    static constexpr int kQuietReadings = 5;
    static constexpr int kPauseTicks = 5;

    TStatusWait(Pause pause, Read read, QObject* parent = nullptr);

    // Runs the wait to its end. Cancel() may be called from events handled meanwhile.
    TEnd Run();
    void Cancel() { m_cancelled = true; }

    [[nodiscard]] bool Cancelled() const { return m_cancelled; }
    [[nodiscard]] int Reads() const { return m_reads; }
    [[nodiscard]] uint32_t LastStatus() const { return m_status; }
    // Readings still needed without the busy bit before the wait ends.
    [[nodiscard]] int ReadingsLeft() const { return m_left; }

signals:
    // After every successful reading.
    void StatusRead(uint32_t status, bool busy, int readingsLeft);

private:
    bool PauseUnlessCancelled();

    Pause m_pause;
    Read m_read;
    bool m_cancelled = false;
    int m_reads = 0;
    int m_left = kQuietReadings;
    uint32_t m_status = 0;
};
