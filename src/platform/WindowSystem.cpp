#include "platform/WindowSystem.h"

#include "vb/ComError.h"
#include "vb/Strings.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace platform {

WindowSystem& WindowSystem::instance()
{
    static WindowSystem system;
    return system;
}

WindowHandle WindowSystem::createWindow(std::string className, std::string title, WindowHandle parent)
{
    if (parent != kDesktopWindow && !isWindow(parent))
        return kDesktopWindow;
    if (lastHandle_ == std::numeric_limits<WindowHandle>::max())
        vb::raise(vb::err::kOutOfMemory);
    const auto handle = ++lastHandle_;
    Window window;
    window.className = std::move(className);
    window.title = std::move(title);
    window.parent = parent;
    windows_.emplace(handle, std::move(window));
    auto& siblings = siblingsOf(parent);
    siblings.insert(siblings.begin(), handle);
    return handle;
}

bool WindowSystem::destroyWindow(WindowHandle window)
{
    if (!isWindow(window))
        return false;
    for (auto child : childrenOf(window))
        destroyWindow(child);
    unlink(window);
    children_.erase(window);
    windows_.erase(window);
    if (focus_ == window)
        focus_ = kDesktopWindow;
    return true;
}

bool WindowSystem::isWindow(WindowHandle window) const
{
    return find(window) != nullptr;
}

WindowHandle WindowSystem::setParent(WindowHandle window, WindowHandle parent)
{
    auto* entry = find(window);
    if (!entry || (parent != kDesktopWindow && !isWindow(parent)) || isInside(parent, window))
        return kDesktopWindow;
    const auto previous = entry->parent;
    unlink(window);
    entry->parent = parent;
    auto& siblings = siblingsOf(parent);
    siblings.insert(siblings.begin(), window);
    return previous;
}

WindowHandle WindowSystem::parentOf(WindowHandle window) const
{
    const auto* entry = find(window);
    return entry ? entry->parent : kDesktopWindow;
}

std::vector<WindowHandle> WindowSystem::childrenOf(WindowHandle parent) const
{
    const auto it = children_.find(parent);
    return it == children_.end() ? std::vector<WindowHandle>{} : it->second;
}

bool WindowSystem::showWindow(WindowHandle window, int command)
{
    auto* entry = find(window);
    if (!entry)
        return false;
    const auto wasVisible = entry->visible;
    if (command < kSwHide || command > kSwShowDefault)
        return wasVisible;
    entry->visible = command != kSwHide;
    entry->showCommand = command;
    return wasVisible;
}

bool WindowSystem::isVisible(WindowHandle window) const
{
    const auto* entry = find(window);
    return entry && entry->visible;
}

int WindowSystem::lastShowCommand(WindowHandle window) const
{
    const auto* entry = find(window);
    return entry ? entry->showCommand : -1;
}

bool WindowSystem::bringWindowToTop(WindowHandle window)
{
    const auto* entry = find(window);
    if (!entry)
        return false;
    auto& siblings = siblingsOf(entry->parent);
    std::erase(siblings, window);
    siblings.insert(siblings.begin(), window);
    return true;
}

int WindowSystem::zOrderOf(WindowHandle window) const
{
    const auto* entry = find(window);
    if (!entry)
        return -1;
    const auto siblings = childrenOf(entry->parent);
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), window) - siblings.begin());
}

WindowHandle WindowSystem::findWindow(std::string_view className, std::string_view title) const
{
    for (auto handle : childrenOf(kDesktopWindow)) {
        const auto& window = windows_.at(handle);
        if ((className.empty() || vb::equalsIgnoreCase(window.className, className))
            && (title.empty() || vb::equalsIgnoreCase(window.title, title)))
            return handle;
    }
    return kDesktopWindow;
}

std::string WindowSystem::className(WindowHandle window) const
{
    const auto* entry = find(window);
    return entry ? entry->className : std::string();
}

std::string WindowSystem::title(WindowHandle window) const
{
    const auto* entry = find(window);
    return entry ? entry->title : std::string();
}

void WindowSystem::setTitle(WindowHandle window, std::string title)
{
    if (auto* entry = find(window))
        entry->title = std::move(title);
}

std::intptr_t WindowSystem::sendMessage(WindowHandle window, std::uint32_t message, std::intptr_t wParam,
                                        std::intptr_t lParam)
{
    sent_.push_back({window, message, wParam, lParam});
    auto* entry = find(window);
    const bool close = message == kWmClose || (message == kWmSysCommand && (wParam & 0xFFF0) == kScClose);
    if (!entry || !close)
        return 0;
    // The hook runs on a copy: it may replace itself or destroy the window.
    if (auto hook = entry->closeHook)
        hook(window);
    destroyWindow(window);
    return 0;
}

void WindowSystem::setCloseHook(WindowHandle window, CloseHook hook)
{
    if (auto* entry = find(window))
        entry->closeHook = std::move(hook);
}

WindowHandle WindowSystem::setFocus(WindowHandle window)
{
    if (window != kDesktopWindow && !isWindow(window))
        return kDesktopWindow;
    return std::exchange(focus_, window);
}

const WindowSystem::Window* WindowSystem::find(WindowHandle window) const
{
    const auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

WindowSystem::Window* WindowSystem::find(WindowHandle window)
{
    const auto it = windows_.find(window);
    return it == windows_.end() ? nullptr : &it->second;
}

std::vector<WindowHandle>& WindowSystem::siblingsOf(WindowHandle parent)
{
    return children_[parent];
}

bool WindowSystem::isInside(WindowHandle window, WindowHandle ancestor) const
{
    for (auto at = window; at != kDesktopWindow; at = parentOf(at)) {
        if (at == ancestor)
            return true;
    }
    return false;
}

void WindowSystem::unlink(WindowHandle window)
{
    const auto* entry = find(window);
    if (!entry)
        return;
    auto it = children_.find(entry->parent);
    if (it != children_.end())
        std::erase(it->second, window);
}

}  // namespace platform
