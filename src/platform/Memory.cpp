#include "platform/Memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace Memory {

void PreferLargePages(void* block, qint64 bytes)
{
    constexpr uintptr_t LargePage = uintptr_t(2) << 20;
    const uintptr_t start = reinterpret_cast<uintptr_t>(block);
    const uintptr_t first = (start + LargePage - 1) & ~(LargePage - 1);
    const uintptr_t end = (start + uintptr_t(bytes)) & ~(LargePage - 1);
    // Only a hint: where it is refused, the pages are simply the small ones.
    if (bytes > 0 && end > first)
        ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

} // namespace Memory
