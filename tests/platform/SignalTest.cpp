#include "platform/Signal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

using namespace platform;

namespace {

TEST(Signal, DeliversInConnectionOrderAndPassesReferences)
{
    Signal<std::int32_t&, std::int32_t&> resize;
    std::string order;
    auto first = resize.connect([&](std::int32_t& left, std::int32_t&) {
        order += "1";
        left += 10;
    });
    auto second = resize.connect([&](std::int32_t& left, std::int32_t& top) {
        order += "2";
        top = left * 2;
    });
    std::int32_t left = 5;
    std::int32_t top = 0;

    resize.emit(left, top);

    EXPECT_EQ(order, "12");
    EXPECT_EQ(left, 15);
    EXPECT_EQ(top, 30);
}

TEST(Signal, AConnectionDisconnectsWhenDestroyedOrToldAndMayOutliveTheSignal)
{
    auto signal = std::make_unique<Signal<>>();
    int calls = 0;
    Connection kept = signal->connect([&] { ++calls; });
    {
        auto scoped = signal->connect([&] { calls += 100; });
        EXPECT_EQ(signal->slotCount(), 2u);
    }
    Connection moved = std::move(kept);
    signal->emit();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(moved.connected());
    EXPECT_FALSE(kept.connected());

    auto other = signal->connect([&] { calls += 10; });
    other = std::move(moved);  // drops the slot it held
    signal->emit();
    EXPECT_EQ(calls, 2);

    auto survivor = signal->connect([] {});
    other.disconnect();
    other.disconnect();
    EXPECT_EQ(signal->slotCount(), 1u);
    signal.reset();
    EXPECT_FALSE(survivor.connected());
    survivor.disconnect();
}

TEST(Signal, SlotsMayDisconnectOrConnectDuringDelivery)
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

TEST(Signal, ASlotMayDestroyTheSignalItIsDeliveredBy)
{
    auto signal = std::make_unique<Signal<>>();
    int later = 0;
    auto killer = signal->connect([&] { signal.reset(); });
    auto survivor = signal->connect([&] { ++later; });

    signal->emit();

    EXPECT_EQ(signal, nullptr);
    EXPECT_EQ(later, 1);  // the delivery under way finishes on its own copy
}

}  // namespace
