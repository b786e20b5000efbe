#include "PlatformTesting.h"

#include "platform/Form.h"
#include "platform/Timer.h"

using namespace platform;

namespace {

using EventLoopTest = platform_testing::LoopTest;

class TimerTest : public platform_testing::LoopTest {
protected:
    void SetUp() override
    {
        LoopTest::SetUp();
        timer.setEnabled(false);
        timer.onTimer = [this] { ticks.push_back(clock->now()); };
    }

    Timer timer;
    std::vector<std::int64_t> ticks;
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
    const std::pair<std::int64_t, int> steps[] = {{35, 1}, {4, 1}, {1, 2}};  // missed ticks come not in a burst
    for (const auto& [advance, expected] : steps) {
        clock->advanceBy(advance);
        loop.runUntilIdle();
        EXPECT_EQ(ticks, expected) << clock->now();
    }
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
    EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST_F(EventLoopTest, ANewClockKeepsTheRemainingTimeOfRunningTimers)
{
    std::vector<std::int64_t> ticks;
    loop.startTimer(100, [&] { ticks.push_back(loop.now()); });
    loop.advanceBy(40);

    loop.setClock(std::make_shared<ManualClock>(1000));
    loop.advanceBy(59);
    EXPECT_TRUE(ticks.empty());
    loop.advanceBy(1);

    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1060}));
}

TEST_F(TimerTest, FiresAtExactlyItsIntervalAndRepeatedly)
{
    for (std::int32_t interval : {25, 1000}) {
        SCOPED_TRACE(interval);
        ticks.clear();
        timer.setEnabled(false);
        timer.setInterval(interval);
        const auto start = clock->now();
        timer.setEnabled(true);

        loop.advanceBy(interval - 1);
        EXPECT_TRUE(ticks.empty());
        loop.advanceBy(1);
        EXPECT_EQ(ticks, (std::vector<std::int64_t>{start + interval}));
        loop.advanceBy(2 * interval - 1);
        EXPECT_EQ(ticks.size(), 2u);
        loop.advanceBy(1);
        EXPECT_EQ(ticks.size(), 3u);
    }
}

TEST_F(TimerTest, ANewIntervalOrReEnablingStartsAFullInterval)
{
    timer.setInterval(100);
    timer.setEnabled(true);
    loop.advanceBy(60);
    timer.setInterval(50);
    timer.setInterval(50);
    loop.advanceBy(49);
    EXPECT_TRUE(ticks.empty());
    loop.advanceBy(1);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{110}));

    timer.setEnabled(false);
    EXPECT_FALSE(timer.isRunning());
    loop.advanceBy(100);
    timer.setEnabled(true);  // at 210
    loop.advanceBy(49);
    EXPECT_EQ(ticks.size(), 1u);
    loop.advanceBy(1);
    EXPECT_EQ(ticks.back(), 260);
}

TEST_F(TimerTest, IntervalZeroNeverFiresAndOutOfRangeIsRefused)
{
    timer.setEnabled(true);
    loop.advanceBy(1000);
    EXPECT_TRUE(ticks.empty());
    EXPECT_FALSE(timer.isRunning());
    EXPECT_EQ(platform_testing::errorNumber([&] { timer.setInterval(65536); }), 380);
    EXPECT_EQ(timer.Interval(), 0);
}

TEST_F(TimerTest, ATickMayDestroyTheFormHoldingItsTimer)
{
    auto form = std::make_unique<Form>("frmTest");
    auto& owned = form->add<Timer>("tmflash");
    owned.setInterval(25);
    int fired = 0;
    owned.onTimer = [&] {
        ++fired;
        form.reset();
    };

    loop.advanceBy(100);

    EXPECT_EQ(fired, 1);
    EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST_F(TimerTest, UnloadingTheFormStopsItsTimers)
{
    Form form("frmTest");
    auto& owned = form.add<Timer>("tmflash");
    form.Load();
    owned.setInterval(25);
    int fired = 0;
    owned.onTimer = [&] { ++fired; };

    form.Unload();
    loop.advanceBy(100);

    EXPECT_EQ(fired, 0);
    EXPECT_FALSE(owned.Enabled());
    form.Load();
    owned.setEnabled(true);
    loop.advanceBy(25);
    EXPECT_EQ(fired, 1);
}

}  // namespace
