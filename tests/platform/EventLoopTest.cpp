#include "PlatformTesting.h"

#include "platform/Form.h"
#include "platform/Signal.h"
#include "platform/Timer.h"

#include <optional>
#include <tuple>

using namespace platform;

namespace {

using EventLoopTest = platform_testing::LoopTest;
using Ticks = std::vector<std::int64_t>;

TEST_F(EventLoopTest, PostedTasksRunInOrderOnlyWhenTheLoopRuns)
{
    std::string order;
    loop.post([&] {
        order += "a";
        loop.post([&] { order += "c"; });
    });
    loop.post([&] { order += "b"; });
    EXPECT_EQ((std::pair{order, loop.pendingTasks()}), (std::pair{std::string(), std::size_t{2}}));
    loop.runUntilIdle();
    EXPECT_EQ(order, "abc");
}

TEST_F(EventLoopTest, AdvancingDeliversEveryTickAtItsOwnTimeRunningDeliversOnlyTicksDue)
{
    Ticks fast;
    Ticks slow;
    loop.startTimer(25, [&] { fast.push_back(loop.now()); });
    loop.startTimer(40, [&] { slow.push_back(loop.now()); });
    loop.advanceBy(100);
    EXPECT_EQ(fast, (Ticks{25, 50, 75, 100}));
    EXPECT_EQ(slow, (Ticks{40, 80}));

    // At 175 the fast timer missed three ticks and the slow one two: each gets one, then its next
    // tick falls due at 200.
    for (const auto& [advance, fastTicks, slowTicks] : {std::tuple{75, 5u, 3u}, {24, 5u, 3u}, {1, 6u, 4u}}) {
        clock->advanceBy(advance);
        loop.runUntilIdle();
        EXPECT_EQ(fast.size(), fastTicks) << clock->now();
        EXPECT_EQ(slow.size(), slowTicks) << clock->now();
    }
}

TEST_F(EventLoopTest, ATimerFiresAtExactlyItsIntervalNeverAtZeroAndRestartsOnANewIntervalOrReEnabling)
{
    Timer timer;
    Ticks ticks;
    timer.onTimer = [&] { ticks.push_back(clock->now()); };
    const auto advance = [&](std::int64_t ms) {
        loop.advanceBy(ms);
        return ticks;
    };
    EXPECT_EQ((std::pair{advance(1000), timer.isRunning()}), (std::pair{Ticks{}, false}));  // interval 0 never fires
    EXPECT_EQ((std::pair{platform_testing::errorNumber([&] { timer.setInterval(65536); }), timer.Interval()}),
              (std::pair{380, 0}));
    timer.setInterval(1000);
    EXPECT_EQ(advance(999), Ticks{});
    EXPECT_EQ(advance(1), Ticks{2000});
    EXPECT_EQ(advance(999), Ticks{2000});
    EXPECT_EQ(advance(1), (Ticks{2000, 3000}));

    advance(600);
    timer.setInterval(50);
    timer.setInterval(50);  // the same interval again changes nothing
    EXPECT_EQ(advance(49).size(), 2u);
    EXPECT_EQ(advance(1).back(), 3650);
    timer.setEnabled(false);
    EXPECT_FALSE(timer.isRunning());
    advance(100);
    timer.setEnabled(true);
    EXPECT_EQ(advance(49).size(), 3u);
    EXPECT_EQ(advance(1).back(), 3800);
}

TEST_F(EventLoopTest, UnloadingTheFormStopsItsTimersAndATickMayDestroyTheFormWithATimerDueToo)
{
    auto form = std::make_unique<Form>("frmTest");
    auto& timer = form->add<Timer>("tmflash");
    auto& other = form->add<Timer>("tmother");
    form->Load();
    int fired = 0;
    timer.onTimer = [&] {
        ++fired;
        form.reset();
    };
    other.onTimer = [&] { fired += 100; };
    timer.setInterval(25);
    form->Unload();
    loop.advanceBy(100);
    EXPECT_EQ((std::pair{fired, timer.Enabled()}), (std::pair{0, false}));

    form->Load();
    timer.setEnabled(true);
    other.setEnabled(true);
    other.setInterval(25);  // due together with tmflash, which destroys it first
    loop.advanceBy(100);
    EXPECT_EQ((std::pair{fired, loop.activeTimers()}), (std::pair{1, std::size_t{0}}));
}

TEST(Signal, ConnectionsLastUntilDestroyedOrToldAndOutliveASignalThatASlotDestroys)
{
    auto signal = std::make_unique<Signal<int&>>();
    int calls = 0;
    Connection kept = signal->connect([](int& count) { ++count; });
    {
        auto scoped = signal->connect([](int& count) { count += 100; });
        EXPECT_EQ(signal->slotCount(), 2u);
    }
    Connection moved = std::move(kept);
    auto other = signal->connect([](int& count) { count += 10; });
    other = std::move(moved);  // drops the slot it held
    EXPECT_FALSE(kept.connected());
    auto killer = signal->connect([&](int&) { signal.reset(); });
    auto survivor = signal->connect([](int& count) { count += 1000; });
    auto dropped = signal->connect([](int& count) { count += 10000; });
    dropped.disconnect();
    dropped.disconnect();
    EXPECT_EQ(signal->slotCount(), 3u);

    signal->emit(calls);

    // the delivery under way finishes on its own copy
    EXPECT_EQ((std::tuple{signal == nullptr, calls, survivor.connected()}), (std::tuple{true, 1001, false}));
    survivor.disconnect();
}

TEST(Signal, SlotsMayDisconnectOrConnectDuringDeliveryWhichRunsInConnectionOrder)
{
    // Slot 1 acts, slot 2 is the victim or the witness, slot 3 the new slot.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"itself", "12", "2"},
        {"later", "1", "1"},
        {"connect", "12", "123"},
    };
    for (const auto& [action, firstEmit, secondEmit] : cases) {
        SCOPED_TRACE(action);
        Signal<> signal;
        std::string calls;
        Connection first;
        Connection second;
        std::optional<Connection> added;
        first = signal.connect([&] {
            calls += "1";
            if (action == "itself")
                first.disconnect();
            else if (action == "later")
                second.disconnect();
            else if (!added)
                added = signal.connect([&] { calls += "3"; });
        });
        second = signal.connect([&] { calls += "2"; });

        signal.emit();
        EXPECT_EQ(calls, firstEmit);
        calls.clear();
        signal.emit();
        EXPECT_EQ(calls, secondEmit);
    }
}

}  // namespace
