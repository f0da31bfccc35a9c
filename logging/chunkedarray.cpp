#include "chunkedarray.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace chunkmemory {

void Prefault(void* chunk, size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_POPULATE_WRITE)
    // Only whole pages can be asked for; a kernel before 5.14 refuses, and the pages come as
    // they are touched, as elsewhere.
    static const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    const auto start = (uintptr_t(chunk) + page - 1) & ~(page - 1);
    const auto end = (uintptr_t(chunk) + bytes) & ~(page - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)chunk;
    (void)bytes;
#endif
}

} // namespace chunkmemory
