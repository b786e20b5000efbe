#pragma once

#include "platform/Connection.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

// A notification with several listeners, delivered synchronously in connection order. A slot
// may disconnect itself or any other slot, connect new slots (delivered from the next emit on),
// or destroy the Signal during delivery.
template <class... Args>
class Signal {
public:
    using Slot = std::function<void(Args...)>;

    Signal() = default;
    Signal(const Signal&) = delete;
    Signal& operator=(const Signal&) = delete;

    // Adds slot after the existing ones; it is delivered to until the Connection lets go.
    [[nodiscard]] Connection connect(Slot slot)
    {
        prune();
        auto entry = std::make_shared<Entry>();
        entry->slot = std::move(slot);
        slots_.push_back(entry);
        return Connection(entry);
    }

    // Calls every connected slot with args, in connection order.
    void emit(Args... args) const
    {
        const auto snapshot = slots_;
        for (const auto& entry : snapshot) {
            if (entry->connected && entry->slot)
                entry->slot(args...);
        }
    }

    // Number of slots still connected.
    std::size_t slotCount() const
    {
        return static_cast<std::size_t>(
            std::count_if(slots_.begin(), slots_.end(), [](const auto& entry) { return entry->connected; }));
    }

private:
    struct Entry : detail::SlotLink {
        Slot slot;
    };

    void prune()
    {
        std::erase_if(slots_, [](const auto& entry) { return !entry->connected; });
    }

    std::vector<std::shared_ptr<Entry>> slots_;
};

}  // namespace platform
