#include "net/MemoryAdvice.h"

#include <sys/mman.h>

#include <cstdint>

namespace quillorn {

// A body of many megabytes is written once from front to back: huge pages save the kernel most
// of the page faults of first touching it (a large share of a fast download's time).
void AdviseLargeRegion(char* begin, qsizetype size) {
#ifdef MADV_HUGEPAGE
    constexpr qsizetype kLarge = 8 * 1024 * 1024;
    if (size < kLarge)
        return;
    const auto page = static_cast<std::uintptr_t>(2 * 1024 * 1024);
    const auto from = (reinterpret_cast<std::uintptr_t>(begin) + page - 1) & ~(page - 1);
    const auto to =
        (reinterpret_cast<std::uintptr_t>(begin) + static_cast<std::uintptr_t>(size)) & ~(page - 1);
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)size;
#endif
}

}  // namespace quillorn
