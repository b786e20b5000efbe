#include "platform/Screen.h"

namespace platform {

Screen& Screen::instance()
{
    static Screen screen;
    return screen;
}

void Screen::setTwipsPerPixelX(float twips)
{
    if (twips > 0)
        twipsPerPixelX_ = twips;
}

void Screen::setTwipsPerPixelY(float twips)
{
    if (twips > 0)
        twipsPerPixelY_ = twips;
}

void Screen::reset()
{
    twipsPerPixelX_ = 15.0f;
    twipsPerPixelY_ = 15.0f;
}

}  // namespace platform
