#include "platform/PictureBox.h"

#include "platform/Hook.h"

namespace platform {

PictureBox::~PictureBox()
{
    // The controls go while the picture box is whole, so their destructors may still reach it.
    destroyAll();
}

std::int16_t PictureBox::keyPress(std::int16_t keyAscii)
{
    if (reachable())
        callHook(onKeyPress, keyAscii);
    return keyAscii;
}

}  // namespace platform
