#include "platform/Label.h"

#include "platform/TextMetrics.h"

#include <cmath>

namespace platform {

void Label::setAutoSize(bool autoSize)
{
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    fit();
}

void Label::setWordWrap(bool wordWrap)
{
    if (wordWrap == wordWrap_)
        return;
    wordWrap_ = wordWrap;
    fit();
}

void Label::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    if (const auto* label = dynamic_cast<const Label*>(&source)) {
        autoSize_ = label->autoSize_;
        wordWrap_ = label->wordWrap_;
    }
    fit();
}

void Label::fit()
{
    if (!autoSize_)
        return;
    if (wordWrap_) {
        const auto width = Width();
        const auto size = TextMetrics::measureWrapped(font(), Caption(), static_cast<std::int32_t>(std::floor(width)));
        resize(width, static_cast<float>(size.height));
        return;
    }
    const auto size = TextMetrics::measure(font(), Caption());
    resize(static_cast<float>(size.width), static_cast<float>(size.height));
}

}  // namespace platform
