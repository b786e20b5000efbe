#include "platform/EventLoop.h"

#include "platform/ManualClock.h"
#include "platform/SteadyClock.h"

#include <algorithm>
#include <utility>

namespace platform {

EventLoop::EventLoop() : clock_(std::make_shared<SteadyClock>()) {}

EventLoop::~EventLoop() = default;

EventLoop& EventLoop::current()
{
    thread_local EventLoop loop;
    return loop;
}

void EventLoop::post(Task task)
{
    if (task)
        tasks_.push_back(std::move(task));
}

EventLoop::TimerId EventLoop::startTimer(std::int64_t intervalMs, Task tick)
{
    const auto interval = std::max<std::int64_t>(intervalMs, 1);
    const auto id = ++lastTimer_;
    timers_[id] = TimerEntry{now() + interval, interval, std::make_shared<Task>(std::move(tick))};
    return id;
}

void EventLoop::stopTimer(TimerId id)
{
    timers_.erase(id);
}

bool EventLoop::isTimerActive(TimerId id) const
{
    return timers_.contains(id);
}

void EventLoop::runUntilIdle()
{
    // Ticks are judged against the time of the call, so a slow tick on a real clock cannot keep
    // the loop busy for ever.
    const auto horizon = now();
    for (;;) {
        if (!tasks_.empty()) {
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            task();
            continue;
        }
        const auto due = firstDueTimer(horizon);
        if (!due)
            return;
        fire(*due);
    }
}

void EventLoop::advanceBy(std::int64_t ms)
{
    auto* manual = dynamic_cast<ManualClock*>(clock_.get());
    if (!manual) {
        runUntilIdle();
        return;
    }
    const auto target = manual->now() + std::max<std::int64_t>(ms, 0);
    runUntilIdle();
    for (auto due = earliestDue(); due && *due <= target; due = earliestDue()) {
        manual->advanceBy(*due - manual->now());
        runUntilIdle();
    }
    manual->advanceBy(target - manual->now());
    runUntilIdle();
}

void EventLoop::setClock(std::shared_ptr<Clock> clock)
{
    if (!clock)
        clock = std::make_shared<SteadyClock>();
    const auto before = now();
    const auto after = clock->now();
    for (auto& [id, timer] : timers_)
        timer.due = after + (timer.due - before);
    clock_ = std::move(clock);
}

void EventLoop::clear()
{
    tasks_.clear();
    timers_.clear();
}

std::optional<EventLoop::TimerId> EventLoop::firstDueTimer(std::int64_t horizon) const
{
    std::optional<TimerId> first;
    std::int64_t firstDue = 0;
    for (const auto& [id, timer] : timers_) {
        if (timer.due <= horizon && (!first || timer.due < firstDue)) {
            first = id;
            firstDue = timer.due;
        }
    }
    return first;
}

std::optional<std::int64_t> EventLoop::earliestDue() const
{
    std::optional<std::int64_t> earliest;
    for (const auto& [id, timer] : timers_) {
        if (!earliest || timer.due < *earliest)
            earliest = timer.due;
    }
    return earliest;
}

void EventLoop::fire(TimerId id)
{
    auto& timer = timers_.at(id);
    const auto tick = timer.tick;
    timer.due += timer.interval;
    // Ticks missed on a real clock are dropped rather than delivered in a burst.
    const auto time = now();
    if (timer.due <= time)
        timer.due += ((time - timer.due) / timer.interval + 1) * timer.interval;
    (*tick)();
}

}  // namespace platform
