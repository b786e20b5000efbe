#pragma once

#include "platform/Control.h"
#include "platform/EventLoop.h"

#include <cstdint>
#include <functional>

namespace platform {

// A timer on the thread's event loop: while Enabled and Interval > 0 it raises Timer every
// Interval milliseconds, first Interval after it was enabled (or its interval last set).
// Disabling cancels; re-enabling starts a full interval again; unloading its form disables it.
// It takes no focus.
class Timer final : public Control {
public:
    Timer() = default;
    ~Timer() override;

    std::string_view kind() const override { return "Timer"; }

    // The period in milliseconds; 0 stops the timer.
    std::int32_t Interval() const { return interval_; }
    // Sets the period and restarts the count when running; error 380 "Invalid property value"
    // outside 0 to 65535.
    void setInterval(std::int32_t interval);
    // Whether ticks are scheduled now (Enabled and Interval > 0).
    bool isRunning() const { return timer_ != 0; }

    void copyPropertiesFrom(const Control& source) override;

    // Raised on every tick.
    std::function<void()> onTimer;

protected:
    bool takesFocus() const override { return false; }
    void enabledChanged() override { restart(); }
    void formUnloading() override { setEnabled(false); }

private:
    void restart();
    void stop();

    std::int32_t interval_ = 0;
    EventLoop::TimerId timer_ = 0;
    EventLoop* loop_ = nullptr;
};

}  // namespace platform
