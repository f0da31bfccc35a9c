#pragma once

#include "linkjob.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>

// The wait after a calibration action, as a job on the instrument link: reads the
// instrument's calibration status every half second until five readings in a row find it no
// longer busy, a result code appears, a read fails or the user cancels. How to read is given
// from outside, so the rule runs the same against the link and in a test.
class TStatusWait : public QObject, public ILinkJob
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
    // One status reading; none when the request failed.
    using Read = std::function<std::optional<uint32_t>()>;

    static constexpr int kQuietReadings = 5;
    static constexpr int kPauseTicks = 5;

    explicit TStatusWait(Read read, QObject* parent = nullptr);

    // One tick: a reading every fifth tick, a cancel at any. Done once the wait is over.
    TStep Step() override;
    [[nodiscard]] int PauseTicks() const override { return 1; }
    [[nodiscard]] TJobKind Kind() const override { return TJobKind::CalibrationWait; }
    [[nodiscard]] QString Progress() const override;
    void Ended(TJobEnd end) override;

    void Cancel() { m_cancelled = true; }
    [[nodiscard]] bool Cancelled() const { return m_cancelled; }
    [[nodiscard]] int Reads() const { return m_reads; }
    [[nodiscard]] uint32_t LastStatus() const { return m_status; }
    // Readings still needed without the busy bit before the wait ends.
    [[nodiscard]] int ReadingsLeft() const { return m_left; }
    // How the wait ended; none while it goes on.
    [[nodiscard]] std::optional<TEnd> End() const { return m_end; }

signals:
    // After every successful reading.
    void StatusRead(uint32_t status, bool busy, int readingsLeft);
    // The wait is over and the link free again.
    void Finished(TStatusWait::TEnd end);

private:
    TStep EndWith(TEnd end);

    Read m_read;
    bool m_cancelled = false;
    int m_ticks = 0;
    int m_reads = 0;
    int m_left = kQuietReadings;
    uint32_t m_status = 0;
    std::optional<TEnd> m_end;
};
