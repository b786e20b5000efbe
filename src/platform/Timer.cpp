#include "platform/Timer.h"

#include "platform/Hook.h"
#include "vb/ComError.h"

namespace platform {

Timer::~Timer()
{
    stop();
}

void Timer::setInterval(std::int32_t interval)
{
    if (interval < 0 || interval > 65535)
        throw vb::ComError(380, "Invalid property value");
    if (interval == interval_)
        return;
    interval_ = interval;
    restart();
}

void Timer::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    if (const auto* timer = dynamic_cast<const Timer*>(&source))
        interval_ = timer->interval_;
    restart();
}

void Timer::restart()
{
    stop();
    if (!Enabled() || interval_ == 0)
        return;
    loop_ = &EventLoop::current();
    timer_ = loop_->startTimer(interval_, [this] { callHook(onTimer); });
}

void Timer::stop()
{
    if (timer_ != 0)
        loop_->stopTimer(timer_);
    timer_ = 0;
}

}  // namespace platform
