#pragma once

#include <memory>

namespace platform {

namespace detail {
// The part of a signal's slot that a Connection can reach: whether it is still connected.
struct SlotLink {
    virtual ~SlotLink() = default;
    bool connected = true;
};
}  // namespace detail

// The tie between a Signal and one of its slots; disconnects when destroyed. Safe to outlive
// its Signal.
class Connection {
public:
    // A connection to nothing.
    Connection() = default;
    // Ties to a slot of a signal (used by Signal::connect).
    explicit Connection(std::weak_ptr<detail::SlotLink> link) : link_(std::move(link)) {}
    ~Connection() { disconnect(); }
    Connection(Connection&& other) noexcept = default;
    // Disconnects the slot held so far, then takes over other's.
    Connection& operator=(Connection&& other) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Stops delivery to the slot, also in a delivery under way; repeating it does nothing.
    void disconnect();
    // Whether the slot is still delivered to (false once its Signal is gone).
    bool connected() const;

private:
    std::weak_ptr<detail::SlotLink> link_;
};

}  // namespace platform
