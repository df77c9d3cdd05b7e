#include "platform/process.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace parlavo {
namespace {

void* volatile lastBlock = nullptr; // so that no block is optimised away

void* touched(std::size_t bytes) {
    void* block = std::malloc(bytes);
    std::memset(block, 1, bytes);
    lastBlock = block;
    return block;
}

// A large block freed must not make the next, smaller large blocks come from memory the library
// keeps: each is still mapped on its own, and so given back when freed.
TEST(Process, LargeBlocksStayMappedOnTheirOwnAfterALargerOneIsFreed) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's allocator stands in for the C library's";
#endif
    returnLargeBlocksWhenFreed();
    std::free(touched(8 << 20));
    const auto mappedBefore = mallinfo2().hblks;
    void* block = touched(2 << 20);
    EXPECT_EQ(mallinfo2().hblks, mappedBefore + 1);
    std::free(block);
}

} // namespace
} // namespace parlavo
