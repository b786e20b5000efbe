#include "platform/CommandButton.h"

#include "platform/Hook.h"

namespace platform {

void CommandButton::click()
{
    if (!reachable())
        return;
    if (canFocus())
        SetFocus();
    callHook(onClick);
}

}  // namespace platform
