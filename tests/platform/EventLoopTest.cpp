#include "PlatformTesting.h"

#include "platform/Form.h"
#include "platform/Signal.h"
#include "platform/Timer.h"

#include <functional>
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
    EXPECT_EQ((std::pair{fast, slow}), (std::pair{Ticks{25, 50, 75, 100}, Ticks{40, 80}}));

    // At 175 the fast timer missed three ticks and the slow one two: each gets one, then its next
    // tick falls due at 200.
    for (const auto& [advance, fastTicks, slowTicks] : {std::tuple{75, 5u, 3u}, {24, 5u, 3u}, {1, 6u, 4u}}) {
        clock->advanceBy(advance);
        loop.runUntilIdle();
        EXPECT_EQ((std::pair{fast.size(), slow.size()}), (std::pair<std::size_t, std::size_t>{fastTicks, slowTicks}))
            << clock->now();
    }
}

TEST_F(EventLoopTest, ATimerFiresAtExactlyItsIntervalNeverAtZeroAndRestartsOnANewIntervalOrReEnabling)
{
    Timer timer;
    Ticks ticks;
    timer.onTimer = [&] { ticks.push_back(clock->now()); };
    const auto refused = [&](std::int32_t ms) { return platform_testing::errorNumber([&] { timer.setInterval(ms); }); };
    EXPECT_EQ((std::vector{refused(65536), timer.Interval(), refused(65535), timer.Interval(), refused(0)}),
              (std::vector{380, 0, 0, 65535, 0}));
    const auto interval = [&](std::int32_t ms) { return [&timer, ms] { timer.setInterval(ms); }; };
    const auto enabled = [&](bool on) { return [&timer, on] { timer.setEnabled(on); }; };
    // What changes, how far the clock then moves, the ticks so far and whether the timer runs.
    // clang-format off
    const std::tuple<std::function<void()>, std::int64_t, Ticks, bool> steps[] = {
        {[] {}, 1000, {}, false},  // interval 0 never fires
        {interval(1000), 999, {}, true}, {[] {}, 1, {2000}, true}, {[] {}, 999, {2000}, true},
        {[] {}, 1, {2000, 3000}, true}, {[] {}, 600, {2000, 3000}, true},
        {interval(50), 20, {2000, 3000}, true},
        {interval(50), 29, {2000, 3000}, true},  // the same interval again does not restart it
        {[] {}, 1, {2000, 3000, 3650}, true},
        {enabled(false), 100, {2000, 3000, 3650}, false}, {enabled(true), 49, {2000, 3000, 3650}, true},
        {[] {}, 1, {2000, 3000, 3650, 3800}, true},
    };
    // clang-format on
    for (const auto& [change, ms, expected, running] : steps) {
        change();
        loop.advanceBy(ms);
        EXPECT_EQ((std::pair{ticks, timer.isRunning()}), (std::pair{expected, running})) << clock->now();
    }
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
    // Slot 1 acts, slot 2 is the victim or the witness, slot 3 the new slot; the slots each of two
    // deliveries reach.
    const std::pair<std::string, std::string> cases[] = {{"itself", "12|2"}, {"later", "1|1"}, {"connect", "12|123"}};
    for (const auto& [action, reached] : cases) {
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
        calls += "|";
        signal.emit();
        EXPECT_EQ(calls, reached);
    }
}

}  // namespace
