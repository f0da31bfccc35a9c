#pragma once

#include <cstdint>

// Holds every input to the time bar of the readers (100 ms of processor time): an input
// that takes longer ends the run as a finding, with the input saved by libFuzzer like a
// crash. Processor time of this thread, so a busy machine does not make an input slow.
// FUZZ_SLOW_MS sets another bar; 0 turns the check off.
class TInputClock
{
public:
    TInputClock();
    ~TInputClock();
    TInputClock(const TInputClock&) = delete;
    TInputClock& operator=(const TInputClock&) = delete;

private:
    int64_t m_start = 0;
};
