#include "platform/ScrollContainer.h"

#include "platform/Hook.h"

#include <algorithm>
#include <cmath>

namespace platform {

ScrollContainer::~ScrollContainer()
{
    // The controls go while the container is whole, so their destructors may still reach it.
    destroyAll();
}

void ScrollContainer::setVerticalPosition(std::int32_t position)
{
    if (position == verticalPosition_)
        return;
    verticalPosition_ = position;
    callHook(onVChange);
}

void ScrollContainer::scrollToEnd()
{
    const auto end = static_cast<double>(scrollingHeight_) - std::round(Height());
    setVerticalPosition(static_cast<std::int32_t>(std::max(end, 0.0)));
}

}  // namespace platform
