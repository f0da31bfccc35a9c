#pragma once

#include <cstddef>
#include <cstdint>

// Each fuzz target defines FuzzOne, its check of one input; the libFuzzer entry point here
// runs it under the time bar of the readers (100 ms of processor time): an input that
// takes longer ends the run as a finding, with the input saved by libFuzzer like a crash.
// Processor time of this thread, so a busy machine does not make an input slow. A virtual
// machine's host can still stop the processor under the thread and have that time charged
// to it, so an input over the bar is run again, and is slow only when every run of it is.
// FUZZ_SLOW_MS sets another bar; 0 turns the check off.
int FuzzOne(const uint8_t* data, size_t size);
