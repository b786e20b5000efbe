#pragma once

#include <utility>

namespace platform {

// Calls an event hook when it is set, through a copy, so the hook may replace itself or
// destroy the object that holds it.
template <class Hook, class... Args>
void callHook(const Hook& hook, Args&&... args)
{
    if (!hook)
        return;
    Hook copy = hook;
    copy(std::forward<Args>(args)...);
}

}  // namespace platform
