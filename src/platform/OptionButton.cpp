#include "platform/OptionButton.h"

#include "platform/Container.h"
#include "platform/Hook.h"

namespace platform {

void OptionButton::setValue(bool value)
{
    if (value == value_)
        return;
    value_ = value;
    if (!value)
        return;
    if (auto* container = parent()) {
        for (auto* control : container->controls()) {
            auto* sibling = dynamic_cast<OptionButton*>(control);
            if (sibling && sibling != this)
                sibling->value_ = false;
        }
    }
    callHook(onClick);
}

void OptionButton::click(std::int16_t button, std::int16_t shift, float x, float y)
{
    if (!reachable())
        return;
    if (canFocus())
        SetFocus();
    callHook(onMouseDown, button, shift, x, y);
    if (button == kLeftButton)
        setValue(true);
    callHook(onMouseUp, button, shift, x, y);
}

std::int16_t OptionButton::keyPress(std::int16_t keyAscii)
{
    if (reachable())
        callHook(onKeyPress, keyAscii);
    return keyAscii;
}

}  // namespace platform
