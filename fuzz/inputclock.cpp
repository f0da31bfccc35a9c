#include "inputclock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// The first inputs pay for one-time set-up (static tables, the scratch folder).
constexpr int kWarmUpInputs = 16;
constexpr int64_t kDefaultBarMs = 100;

int64_t ThreadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return int64_t(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

int64_t BarNs()
{
    static const int64_t bar = [] {
        const char* text = std::getenv("FUZZ_SLOW_MS");
        return (text ? std::atoll(text) : kDefaultBarMs) * 1'000'000;
    }();
    return bar;
}

int g_inputs = 0;

} // namespace

TInputClock::TInputClock() : m_start(ThreadCpuNs()) {}

TInputClock::~TInputClock()
{
    const int64_t spent = ThreadCpuNs() - m_start;
    if (++g_inputs <= kWarmUpInputs || BarNs() <= 0 || spent <= BarNs())
        return;
    std::fprintf(stderr, "==slow input: %lld ms of processor time (bar %lld ms)\n",
                 static_cast<long long>(spent / 1'000'000),
                 static_cast<long long>(BarNs() / 1'000'000));
    std::abort();
}
