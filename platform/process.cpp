#include "platform/process.h"

#include <cstdlib> // defines __GLIBC__ with the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace parlavo {

void returnLargeBlocksWhenFreed() {
#if defined(__GLIBC__)
    constexpr int kLargeBlockBytes = 128 * 1024; // the library's own first threshold, kept fixed
    mallopt(M_MMAP_THRESHOLD, kLargeBlockBytes);
#endif
}

} // namespace parlavo
