#include "platform/Font.h"

#include <utility>

namespace platform {

Font::Font(std::string name, float size, bool bold) : name_(std::move(name)), bold_(bold)
{
    setSize(size);
}

void Font::setSize(float size)
{
    size_ = size > 0 ? size : 0.0f;
}

}  // namespace platform
