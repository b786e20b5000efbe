#include "platform/CommandButton.h"

#include "platform/Hook.h"

namespace platform {

void CommandButton::click()
{
    if (!Visible() || !Enabled())
        return;
    if (canFocus())
        SetFocus();
    callHook(onClick);
}

}  // namespace platform
