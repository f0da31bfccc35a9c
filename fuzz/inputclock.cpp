#include "inputclock.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// The first inputs pay for one-time set-up (static tables, the scratch folder).
constexpr int kWarmUpInputs = 16;
constexpr int64_t kDefaultBarMs = 100;
constexpr int kAttempts = 3;

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const bool warmUp = ++g_inputs <= kWarmUpInputs;
    int64_t spent = 0;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int64_t start = ThreadCpuNs();
        const int result = FuzzOne(data, size);
        spent = ThreadCpuNs() - start;
        if (warmUp || BarNs() <= 0 || spent <= BarNs())
            return result;
    }
    std::fprintf(stderr, "==slow input: %lld ms of processor time, over %lld ms in %d runs\n",
                 static_cast<long long>(spent / 1'000'000),
                 static_cast<long long>(BarNs() / 1'000'000), kAttempts);
    std::abort();
}
