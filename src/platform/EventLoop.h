#pragma once

#include "platform/Clock.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace platform {

// The queue of posted tasks and timers of one thread. Nothing blocks or sleeps: a driver calls
// runUntilIdle() (or advanceBy() on a manual clock) to deliver what is due. An exception thrown
// by a task leaves the loop consistent and reaches the caller of runUntilIdle.
class EventLoop {
public:
    using Task = std::function<void()>;
    using TimerId = std::uint64_t;

    EventLoop();
    ~EventLoop();
    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // The loop of the calling thread, created on first use with a SteadyClock.
    static EventLoop& current();

    // Queues task to run on a later runUntilIdle, after the tasks posted before it.
    void post(Task task);

    // Starts a repeating timer: tick runs at start + interval, + 2 × interval, ... (an interval
    // below 1 ms counts as 1 ms). Returns an id that is never reused.
    TimerId startTimer(std::int64_t intervalMs, Task tick);
    // Stops a timer; an unknown or stopped id is ignored (a tick may stop its own timer).
    void stopTimer(TimerId id);
    // Whether the timer is still running.
    bool isTimerActive(TimerId id) const;

    // Runs posted tasks (also those posted meanwhile) and ticks of timers due at the time of the
    // call, until nothing of that is left.
    void runUntilIdle();
    // On a ManualClock: moves time forward by ms in steps, delivering every timer tick at its
    // exact due time; on another clock only runs until idle.
    void advanceBy(std::int64_t ms);

    // Replaces the clock (null restores a SteadyClock); running timers keep their remaining time.
    void setClock(std::shared_ptr<Clock> clock);
    // The clock in use.
    Clock& clock() const { return *clock_; }
    // The clock's current time in milliseconds.
    std::int64_t now() const { return clock_->now(); }

    // Number of posted tasks not yet run.
    std::size_t pendingTasks() const { return tasks_.size(); }
    // Number of running timers.
    std::size_t activeTimers() const { return timers_.size(); }
    // Drops every pending task and timer, for a test's fresh start.
    void clear();

private:
    struct TimerEntry {
        std::int64_t due;
        std::int64_t interval;
        std::shared_ptr<Task> tick;
    };

    std::optional<TimerId> firstDueTimer(std::int64_t horizon) const;
    std::optional<std::int64_t> earliestDue() const;
    void fire(TimerId id);

    std::shared_ptr<Clock> clock_;
    std::deque<Task> tasks_;
    std::map<TimerId, TimerEntry> timers_;
    TimerId lastTimer_ = 0;
};

}  // namespace platform
