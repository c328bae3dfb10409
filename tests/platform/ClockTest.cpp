#include "platform/Clock.h"
#include "standin/TestClock.h"

#include <gtest/gtest.h>

namespace quillorn {
namespace {

TEST(ClockTest, TestClockSleepsInVirtualTimeAndWraps) {
    standin::TestClock clock(0xFFFFFF00u);
    std::uint32_t seen = 0;
    clock.OnSleep = [&](std::uint32_t ms) { seen += ms; };
    clock.Sleep(0x200);
    EXPECT_EQ(clock.Tick(), 0x100u);
    EXPECT_EQ(clock.TotalSlept(), 0x200u);
    EXPECT_EQ(clock.SleepCount(), 1u);
    EXPECT_EQ(seen, 0x200u);
}

TEST(ClockTest, SystemClockAdvancesWhileSleeping) {
    SystemClock clock;
    const std::uint32_t before = clock.Tick();
    clock.Sleep(20);
    const std::uint32_t elapsed = clock.Tick() - before;
    EXPECT_GE(elapsed, 20u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace quillorn
