#include "platform/Form.h"

#include "platform/Control.h"
#include "platform/Hook.h"
#include "platform/Screen.h"
#include "vb/Variant.h"

#include <algorithm>
#include <map>
#include <utility>

namespace platform {
namespace {

constexpr float kBorderPixels = 4;
constexpr float kTitlePixels = 19;

// Every loaded form of the process by its window, as the operating system maps a handle to its window.
std::map<WindowHandle, Form*>& loadedForms()
{
    static std::map<WindowHandle, Form*> forms;
    return forms;
}

std::string number(float value)
{
    return vb::numberText(value);
}

void describe(const Control& control, int depth, std::string& out)
{
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += control.Name();
    if (control.Index() >= 0)
        out += "(" + std::to_string(control.Index()) + ")";
    out += " " + std::string(control.kind()) + " " + number(control.Left()) + "," + number(control.Top()) + " "
           + number(control.Width()) + "x" + number(control.Height()) + (control.Visible() ? " visible" : " hidden")
           + " \"" + control.Caption() + "\"\n";
}

void describeTree(const Container& container, int depth, std::string& out)
{
    for (const auto* control : container.controls()) {
        describe(*control, depth, out);
        if (const auto* inner = dynamic_cast<const Container*>(control))
            describeTree(*inner, depth + 1, out);
    }
}

}  // namespace

Form::Form(std::string name) : name_(std::move(name))
{
    setContainerForm(this);
}

Form::~Form()
{
    if (isLoaded()) {
        loadedForms().erase(hwnd_);
        WindowSystem::instance().destroyWindow(hwnd_);
    }
    destroyAll();
}

void Form::Load()
{
    if (isLoaded())
        return;
    auto& windows = WindowSystem::instance();
    hwnd_ = windows.createWindow(kWindowClass, caption_);
    loadedForms()[hwnd_] = this;
    windows.setCloseHook(hwnd_, [this](WindowHandle) { Unload(); });
    callHook(onLoad);
}

void Form::Unload()
{
    if (!isLoaded() || unloading_)
        return;
    unloading_ = true;
    callHook(onUnload);
    unloadRuntimeElements();
    forEachControl([](Control& control) { control.formUnloading(); });
    if (active_)
        active_->focused_ = false;
    active_ = nullptr;
    auto& windows = WindowSystem::instance();
    windows.setCloseHook(hwnd_, {});
    loadedForms().erase(hwnd_);
    windows.destroyWindow(hwnd_);
    hwnd_ = kDesktopWindow;
    shownSinceLoad_ = false;
    unloading_ = false;
}

Form* Form::fromHandle(WindowHandle window)
{
    const auto it = loadedForms().find(window);
    return it == loadedForms().end() ? nullptr : it->second;
}

void Form::Show()
{
    Load();
    if (!isLoaded())
        return;
    WindowSystem::instance().showWindow(hwnd_, kSwShow);
    if (shownSinceLoad_)
        return;
    shownSinceLoad_ = true;
    callHook(onResize);
}

void Form::Hide()
{
    if (isLoaded())
        WindowSystem::instance().showWindow(hwnd_, kSwHide);
}

bool Form::Visible() const
{
    return isLoaded() && WindowSystem::instance().isVisible(hwnd_);
}

void Form::setVisible(bool visible)
{
    if (visible)
        Show();
    else
        Hide();
}

void Form::setCaption(std::string caption)
{
    if (caption == caption_)
        return;
    caption_ = std::move(caption);
    if (isLoaded())
        WindowSystem::instance().setTitle(hwnd_, caption_);
}

void Form::Move(float left, std::optional<float> top, std::optional<float> width, std::optional<float> height)
{
    if (bounds_.move(left, top, width, height) && isLoaded())
        callHook(onResize);
}

float Form::ScaleWidth() const
{
    if (borderStyle_ == 0)
        return bounds_.width;
    return Bounds::extent(bounds_.width - pixelsToTwipsX(2 * kBorderPixels));
}

float Form::ScaleHeight() const
{
    if (borderStyle_ == 0)
        return bounds_.height;
    return Bounds::extent(bounds_.height - pixelsToTwipsY(2 * kBorderPixels + kTitlePixels));
}

float Form::pixelsToTwipsX(float pixels) const
{
    return pixels * Screen::instance().twipsPerPixelX();
}

float Form::pixelsToTwipsY(float pixels) const
{
    return pixels * Screen::instance().twipsPerPixelY();
}

void Form::mouseMove(std::int16_t button, std::int16_t shift, float x, float y)
{
    if (Visible())
        callHook(onMouseMove, button, shift, x, y);
}

std::string Form::controlTree() const
{
    std::string out = name_ + " Form " + number(bounds_.left) + "," + number(bounds_.top) + " " + number(bounds_.width)
                      + "x" + number(bounds_.height) + (Visible() ? " visible" : " hidden") + " \"" + caption_ + "\"\n";
    describeTree(*this, 1, out);
    return out;
}

void Form::moveFocus(Control* control)
{
    auto* previous = active_;
    if (previous == control)
        return;
    active_ = control;
    if (control && isLoaded())
        WindowSystem::instance().setFocus(hwnd_);
    if (previous)
        previous->setFocusState(false);
    // A LostFocus handler may have moved the focus on or destroyed the control.
    if (control && active_ == control)
        control->setFocusState(true);
}

void Form::forgetControl(const Control& control)
{
    if (active_ == &control)
        active_ = nullptr;
}

}  // namespace platform
