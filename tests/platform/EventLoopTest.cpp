#include "platform/EventLoop.h"
#include "platform/ManualClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace platform;

namespace {

class EventLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loop.clear();
        loop.setClock(clock);
    }
    void TearDown() override
    {
        loop.clear();
        loop.setClock(nullptr);
    }

    EventLoop& loop = EventLoop::current();
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
};

TEST_F(EventLoopTest, PostedTasksRunInOrderOnlyWhenTheLoopRuns)
{
    std::string order;
    loop.post([&] {
        order += "a";
        loop.post([&] { order += "c"; });
    });
    loop.post([&] { order += "b"; });
    EXPECT_EQ(order, "");
    EXPECT_EQ(loop.pendingTasks(), 2u);

    loop.runUntilIdle();

    EXPECT_EQ(order, "abc");
    EXPECT_EQ(loop.pendingTasks(), 0u);
}


TEST_F(EventLoopTest, AdvancingFarDeliversEveryTickAtItsOwnTime)
{
    std::vector<std::int64_t> fast;
    std::vector<std::int64_t> slow;
    loop.startTimer(25, [&] { fast.push_back(loop.now()); });
    loop.startTimer(40, [&] { slow.push_back(loop.now()); });

    loop.advanceBy(100);

    EXPECT_EQ(fast, (std::vector<std::int64_t>{25, 50, 75, 100}));
    EXPECT_EQ(slow, (std::vector<std::int64_t>{40, 80}));
    EXPECT_EQ(clock->now(), 100);
}

TEST_F(EventLoopTest, RunUntilIdleDeliversOnlyTicksAlreadyDue)
{
    int ticks = 0;
    loop.startTimer(10, [&] { ++ticks; });
    clock->advanceBy(35);

    loop.runUntilIdle();
    EXPECT_EQ(ticks, 1);  // missed ticks are not delivered in a burst
    clock->advanceBy(4);
    loop.runUntilIdle();
    EXPECT_EQ(ticks, 1);
    clock->advanceBy(1);
    loop.runUntilIdle();
    EXPECT_EQ(ticks, 2);
}

TEST_F(EventLoopTest, StoppingATimerFromATickEndsItsTicks)
{
    int own = 0;
    int other = 0;
    EventLoop::TimerId otherId = 0;
    EventLoop::TimerId ownId = 0;
    ownId = loop.startTimer(10, [&] {
        ++own;
        loop.stopTimer(ownId);
        loop.stopTimer(otherId);
    });
    otherId = loop.startTimer(10, [&] { ++other; });

    loop.advanceBy(50);

    EXPECT_EQ(own, 1);
    EXPECT_EQ(other, 0);  // stopped by the earlier timer due at the same time
    EXPECT_FALSE(loop.isTimerActive(ownId));
    EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST_F(EventLoopTest, ANewClockKeepsTheRemainingTimeOfRunningTimers)
{
    std::vector<std::int64_t> ticks;
    loop.startTimer(100, [&] { ticks.push_back(loop.now()); });
    loop.advanceBy(40);
    auto later = std::make_shared<ManualClock>(1000);

    loop.setClock(later);
    loop.advanceBy(59);
    EXPECT_TRUE(ticks.empty());
    loop.advanceBy(1);

    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1060}));
}



}  // namespace
