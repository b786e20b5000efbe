#include "platform/CheckBox.h"

#include "platform/Hook.h"
#include "vb/ComError.h"

namespace platform {

void CheckBox::setValue(std::int16_t value)
{
    if (value < 0 || value > 2)
        throw vb::ComError(380, "Invalid property value");
    if (value == value_)
        return;
    value_ = value;
    callHook(onClick);
}

void CheckBox::click()
{
    if (!reachable())
        return;
    if (canFocus())
        SetFocus();
    setValue(value_ == 1 ? 0 : 1);
}

std::int16_t CheckBox::keyPress(std::int16_t keyAscii)
{
    if (reachable())
        callHook(onKeyPress, keyAscii);
    return keyAscii;
}

}  // namespace platform
