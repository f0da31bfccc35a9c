#pragma once

#include <cstddef>

// Asks the system to hand out the whole 2 MB pages inside `bytes` at `data` as such. Tens of
// megabytes of points are written once from start to end: in pages of 2 MB the system takes
// far fewer faults to hand them out (a few dozen instead of thousands of 4 kB pages). A hint
// only; where the system has no such pages it does nothing.
void PreferLargePages(void* data, size_t bytes);
