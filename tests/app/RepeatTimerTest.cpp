#include "app/RepeatTimer.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace quillorn {
namespace {

TEST(RepeatTimerTest, StartsDisabledAndAnIntervalOfZeroNeverTicks) {
    RepeatTimer timer;
    EXPECT_FALSE(timer.Enabled());
    QSignalSpy ticks(&timer, &RepeatTimer::Tick);
    timer.SetEnabled(true);
    EXPECT_FALSE(timer.Counting());
    QTest::qWait(20);
    EXPECT_EQ(ticks.count(), 0);
    timer.SetInterval(1);  // an interval given later starts the countdown
    EXPECT_TRUE(timer.Counting());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ticks.count() >= 2; }));  // periodic until its owner stops it
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Counting());
}

TEST(RepeatTimerTest, ChangingTheIntervalRestartsTheCountdownButReEnablingDoesNot) {
    RepeatTimer timer;
    timer.SetInterval(600000);
    timer.SetEnabled(true);
    QTest::qWait(30);
    const int elapsedOnce = timer.RemainingMs();
    ASSERT_LT(elapsedOnce, 600000 - 20);
    timer.SetEnabled(true);  // the value it has: the countdown goes on
    EXPECT_LE(timer.RemainingMs(), elapsedOnce);
    timer.SetInterval(600000);  // same interval, still a restart
    EXPECT_GT(timer.RemainingMs(), elapsedOnce);
    timer.SetEnabled(false);
    timer.SetInterval(5000);
    EXPECT_FALSE(timer.Counting());  // a disabled timer only takes the value
    EXPECT_EQ(timer.Interval(), 5000);
}

}  // namespace
}  // namespace quillorn
