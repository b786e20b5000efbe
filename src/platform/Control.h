#pragma once

#include "platform/Bounds.h"
#include "platform/Font.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Container;
class Form;

// Mouse buttons and shift states as the mouse events report them.
inline constexpr std::int16_t kLeftButton = 1;
inline constexpr std::int16_t kRightButton = 2;
inline constexpr std::int16_t kShiftMask = 1;
inline constexpr std::int16_t kCtrlMask = 2;
inline constexpr std::int16_t kAltMask = 4;

// A control on a form: name (and index in a control array), position and size in twips,
// visibility, enabled state, tag, caption, font, tab index, z-order and focus. A container
// owns its controls; a control keeps a plain pointer to its container and form.
class Control {
public:
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // The kind of control ("CheckBox", "WebBrowser", ...).
    virtual std::string_view kind() const = 0;
    // The name given by its container ("" for a control that no container holds).
    const std::string& Name() const { return name_; }
    // The index in its control array; -1 when it is not an array element.
    std::int16_t Index() const { return index_; }
    // The container holding it; null when none.
    Container* parent() const { return parent_; }
    // The form it is on; null when none.
    Form* form() const { return form_; }

    // Position and size in twips, relative to its container.
    float Left() const { return bounds_.left; }
    float Top() const { return bounds_.top; }
    float Width() const { return bounds_.width; }
    float Height() const { return bounds_.height; }
    // Each setter changes one value; a negative width or height counts as 0.
    void setLeft(float left);
    void setTop(float top);
    void setWidth(float width);
    void setHeight(float height);
    // Moves to left and, when given, top, width and height, in one step.
    void Move(float left, std::optional<float> top = {}, std::optional<float> width = {},
              std::optional<float> height = {});

    // Whether it is shown; hiding the focused control takes the focus away.
    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    // Whether it responds to the candidate; disabling the focused control takes the focus away.
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // A free text the program keeps on the control.
    const std::string& Tag() const { return tag_; }
    void setTag(std::string tag) { tag_ = std::move(tag); }
    // The text it shows.
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);
    // The font of its caption.
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    // Its place in the tab order, kept as set.
    std::int16_t TabIndex() const { return tabIndex_; }
    void setTabIndex(std::int16_t tabIndex) { tabIndex_ = tabIndex; }

    // Puts it in front of its siblings (position 0) or behind them (any other position).
    void ZOrder(std::int16_t position = 0);
    // Its place among its siblings, 0 for the front; 0 for a control that no container holds.
    int zIndex() const;

    // Whether the candidate can reach it: it, every container control around it and its form
    // (when it is on one) are visible, and it and those containers are enabled.
    bool reachable() const;
    // Gives it the keyboard focus, raising LostFocus on the control that had it and GotFocus
    // here; error 5 when it is not reachable or is a kind that takes no focus.
    void SetFocus();
    // Whether it has the keyboard focus.
    bool hasFocus() const { return focused_; }
    // Whether SetFocus would succeed.
    bool canFocus() const;

    // Takes the properties a new control-array element inherits from element 0: position,
    // size, enabled state, tag, caption, font and the kind's own settings, never a value.
    virtual void copyPropertiesFrom(const Control& source);

    // Raised after it received the focus.
    std::function<void()> onGotFocus;
    // Raised after it lost the focus.
    std::function<void()> onLostFocus;

protected:
    Control() = default;

    // Whether this kind of control can hold the focus.
    virtual bool takesFocus() const { return true; }
    // Called after the size changed.
    virtual void sizeChanged() {}
    // Called after Enabled changed.
    virtual void enabledChanged() {}
    // Called after the caption or the font changed.
    virtual void textChanged() {}
    // Called when its form unloads: stop whatever would run on an unloaded form.
    virtual void formUnloading() {}
    // Sets the size without any check, for controls that size themselves.
    void resize(float width, float height);

private:
    friend class Container;
    friend class Form;

    void setFocusState(bool focused);
    // Whether control is this one or lies inside it, when this control is a container.
    bool contains(const Control* control) const;
    // Takes the focus away when this control, or a control inside it, holds it.
    void loseFocusIfHeld();

    std::string name_;
    std::int16_t index_ = -1;
    Container* parent_ = nullptr;
    Form* form_ = nullptr;
    Bounds bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    bool focused_ = false;
    std::string tag_;
    std::string caption_;
    Font font_;
    std::int16_t tabIndex_ = 0;
};

}  // namespace platform
