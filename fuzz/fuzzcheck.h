#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the run as a finding, naming the rule an input broke, when `holds` is false; libFuzzer
// keeps the input as it keeps a crash.
inline void FuzzCheck(bool holds, const char* rule)
{
    if (holds)
        return;
    std::fprintf(stderr, "==broken rule: %s\n", rule);
    std::abort();
}
