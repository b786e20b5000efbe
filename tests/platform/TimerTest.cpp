#include "platform/ControlArray.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/ManualClock.h"
#include "platform/Timer.h"
#include "vb/ComError.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace platform;

namespace {

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loop.clear();
        loop.setClock(clock);
        timer.setEnabled(false);
        timer.onTimer = [this] { ticks.push_back(clock->now()); };
    }
    void TearDown() override
    {
        loop.clear();
        loop.setClock(nullptr);
    }

    EventLoop& loop = EventLoop::current();
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    Timer timer;
    std::vector<std::int64_t> ticks;
};

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

TEST_F(TimerTest, DisablingStopsAndReEnablingStartsAFullInterval)
{
    timer.setInterval(25);
    timer.setEnabled(true);
    loop.advanceBy(30);
    ASSERT_EQ(ticks.size(), 1u);

    timer.setEnabled(false);
    EXPECT_FALSE(timer.isRunning());
    loop.advanceBy(100);
    EXPECT_EQ(ticks.size(), 1u);

    timer.setEnabled(true);  // at 130
    loop.advanceBy(24);
    EXPECT_EQ(ticks.size(), 1u);
    loop.advanceBy(1);
    EXPECT_EQ(ticks.back(), 155);
}

TEST_F(TimerTest, ANewIntervalRestartsTheCount)
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
}

TEST_F(TimerTest, IntervalZeroNeverFiresAndOutOfRangeIsRefused)
{
    timer.setEnabled(true);
    loop.advanceBy(1000);
    EXPECT_TRUE(ticks.empty());
    EXPECT_FALSE(timer.isRunning());
    EXPECT_THROW(timer.setInterval(65536), vb::ComError);
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
