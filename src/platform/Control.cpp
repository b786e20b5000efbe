#include "platform/Control.h"

#include "platform/Container.h"
#include "platform/Form.h"
#include "platform/Hook.h"
#include "vb/ComError.h"

#include <algorithm>

namespace platform {
namespace {

}  // namespace

Control::~Control()
{
    if (focused_ && form_)
        form_->forgetControl(*this);
}

void Control::setLeft(float left)
{
    bounds_.left = left;
}

void Control::setTop(float top)
{
    bounds_.top = top;
}

void Control::setWidth(float width)
{
    Move(bounds_.left, bounds_.top, width);
}

void Control::setHeight(float height)
{
    Move(bounds_.left, bounds_.top, bounds_.width, height);
}

void Control::Move(float left, std::optional<float> top, std::optional<float> width, std::optional<float> height)
{
    if (bounds_.move(left, top, width, height))
        sizeChanged();
}

void Control::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (!visible)
        loseFocusIfHeld();
}

void Control::setEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (!enabled)
        loseFocusIfHeld();
    enabledChanged();
}

void Control::setCaption(std::string caption)
{
    if (caption == caption_)
        return;
    caption_ = std::move(caption);
    textChanged();
}

void Control::setFont(const Font& font)
{
    if (font == font_)
        return;
    font_ = font;
    textChanged();
}

void Control::ZOrder(std::int16_t position)
{
    if (parent_)
        parent_->moveInZOrder(*this, position == 0);
}

int Control::zIndex() const
{
    if (!parent_)
        return 0;
    const auto& order = parent_->zOrder();
    return static_cast<int>(std::find(order.begin(), order.end(), this) - order.begin());
}

void Control::SetFocus()
{
    if (!canFocus())
        vb::raise(vb::err::kInvalidProcedureCall);
    if (focused_)
        return;
    if (form_)
        form_->moveFocus(this);
    else
        setFocusState(true);
}

bool Control::canFocus() const
{
    return takesFocus() && reachable();
}

bool Control::reachable() const
{
    if (!visible_ || !enabled_)
        return false;
    for (auto* container = parent_; container;) {
        const auto* control = dynamic_cast<const Control*>(container);
        if (!control)
            break;
        if (!control->visible_ || !control->enabled_)
            return false;
        container = control->parent_;
    }
    return !form_ || form_->Visible();
}

void Control::copyPropertiesFrom(const Control& source)
{
    bounds_ = source.bounds_;
    enabled_ = source.enabled_;
    tag_ = source.tag_;
    caption_ = source.caption_;
    font_ = source.font_;
}

void Control::resize(float width, float height)
{
    bounds_.width = Bounds::extent(width);
    bounds_.height = Bounds::extent(height);
}

void Control::setFocusState(bool focused)
{
    focused_ = focused;
    callHook(focused ? onGotFocus : onLostFocus);
}

bool Control::contains(const Control* control) const
{
    for (; control; control = dynamic_cast<const Control*>(control->parent())) {
        if (control == this)
            return true;
    }
    return false;
}

void Control::loseFocusIfHeld()
{
    if (form_) {
        if (contains(form_->ActiveControl()))
            form_->moveFocus(nullptr);
        return;
    }
    if (focused_)
        setFocusState(false);
}

}  // namespace platform
