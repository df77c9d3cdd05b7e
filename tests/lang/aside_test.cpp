#include "platform/aside.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <chrono>
#include <optional>
#include <thread>

namespace parlavo {
namespace {

TEST(Aside, GivesTheWorksResultFromAnotherThread) {
    Aside work([] { return std::this_thread::get_id(); });
    EXPECT_NE(work.get(), std::this_thread::get_id());
}

// The thread starts away from its caller's processor, and may then use every processor the caller may.
TEST(Aside, LeavesTheWorkEveryProcessorOfItsCaller) {
    cpu_set_t callers;
    ASSERT_EQ(sched_getaffinity(0, sizeof callers, &callers), 0);
    Aside work([] {
        cpu_set_t own;
        return sched_getaffinity(0, sizeof own, &own) == 0 ? std::optional(own) : std::nullopt;
    });
    const std::optional<cpu_set_t> own = work.get();
    ASSERT_TRUE(own);
    EXPECT_TRUE(CPU_EQUAL(&*own, &callers));
}

// What the work refers to may go with the caller's scope: the work is over by then.
TEST(Aside, IsDoneWhenItGoesUngot) {
    int done = 0;
    {
        Aside<void> work([&done] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20)); // long after the scope's end
            done = 1;
        });
    }
    EXPECT_EQ(done, 1);
}

} // namespace
} // namespace parlavo
