#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A window handle: 32 bits, positive for a window, 0 for the desktop (and for "none").
using WindowHandle = std::int32_t;

inline constexpr WindowHandle kDesktopWindow = 0;

// Messages and commands of the window services, with the operating system's numbers.
inline constexpr std::uint32_t kWmClose = 16;
inline constexpr std::uint32_t kWmSysCommand = 274;
inline constexpr std::intptr_t kScClose = 0xF060;
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwShowMaximized = 3;
inline constexpr int kSwShowNoActivate = 4;
inline constexpr int kSwShow = 5;
inline constexpr int kSwMinimize = 6;
inline constexpr int kSwShowMinNoActive = 7;
inline constexpr int kSwShowNa = 8;
inline constexpr int kSwRestore = 9;
inline constexpr int kSwShowDefault = 10;

// The process-wide window manager: a tree of windows under the desktop with class name, title,
// visibility, z-order among siblings and the keyboard focus. Handles are never reused within
// a process run. Calls on a handle that is no window do nothing and return 0, false or "".
class WindowSystem {
public:
    // One message passed to sendMessage, as recorded for tests.
    struct Message {
        WindowHandle window;
        std::uint32_t message;
        std::intptr_t wParam;
        std::intptr_t lParam;
        friend bool operator==(const Message&, const Message&) = default;
    };
    using CloseHook = std::function<void(WindowHandle)>;

    // The window system of this process.
    static WindowSystem& instance();

    // Creates a hidden window at the top of parent's children; a parent that is no window
    // (other than the desktop) gives 0.
    WindowHandle createWindow(std::string className, std::string title, WindowHandle parent = kDesktopWindow);
    // Destroys the window and all its descendants (no close hook runs); false for no window.
    bool destroyWindow(WindowHandle window);
    // Whether the handle names a live window (the desktop is not one).
    bool isWindow(WindowHandle window) const;

    // Makes parent the window's parent (on top of its new siblings) and returns the previous
    // parent; 0 and no change when either is no window or parent lies inside window.
    WindowHandle setParent(WindowHandle window, WindowHandle parent);
    // The window's parent; 0 for a top-level window or no window.
    WindowHandle parentOf(WindowHandle window) const;
    // The children of a window (or of the desktop), topmost first.
    std::vector<WindowHandle> childrenOf(WindowHandle parent) const;

    // Applies a show command (kSwHide hides, every other known command shows) and returns
    // whether the window was visible before; an unknown command changes nothing.
    bool showWindow(WindowHandle window, int command);
    // The window's own visibility flag.
    bool isVisible(WindowHandle window) const;
    // The last show command applied to the window; -1 when none or no window.
    int lastShowCommand(WindowHandle window) const;

    // Puts the window on top of its siblings; false for no window.
    bool bringWindowToTop(WindowHandle window);
    // The window's place among its siblings, 0 for the topmost; -1 for no window.
    int zOrderOf(WindowHandle window) const;

    // The topmost top-level window whose class and title match, ignoring ASCII case; an empty
    // className or title matches any. 0 when none.
    WindowHandle findWindow(std::string_view className, std::string_view title) const;
    // The window's class name; "" for no window.
    std::string className(WindowHandle window) const;
    // The window's title; "" for no window.
    std::string title(WindowHandle window) const;
    // Sets the window's title.
    void setTitle(WindowHandle window, std::string title);

    // Sends a message and returns its result (0). WM_SYSCOMMAND with SC_CLOSE, and WM_CLOSE,
    // run the window's close hook and then destroy the window. Every call is recorded.
    std::intptr_t sendMessage(WindowHandle window, std::uint32_t message, std::intptr_t wParam, std::intptr_t lParam);
    // Lets a program react when its window is asked to close; an empty hook removes it.
    void setCloseHook(WindowHandle window, CloseHook hook);
    // Every message sent so far, oldest first.
    const std::vector<Message>& sentMessages() const { return sent_; }
    // Forgets the recorded messages.
    void clearSentMessages() { sent_.clear(); }

    // The window that has the keyboard focus; 0 when none.
    WindowHandle focusedWindow() const { return focus_; }
    // Gives the window the focus (0 removes it) and returns the window that had it; a handle
    // that is no window changes nothing and returns 0.
    WindowHandle setFocus(WindowHandle window);

private:
    struct Window {
        std::string className;
        std::string title;
        WindowHandle parent = kDesktopWindow;
        bool visible = false;
        int showCommand = -1;
        CloseHook closeHook;
    };

    WindowSystem() = default;
    const Window* find(WindowHandle window) const;
    Window* find(WindowHandle window);
    std::vector<WindowHandle>& siblingsOf(WindowHandle parent);
    bool isInside(WindowHandle window, WindowHandle ancestor) const;
    void unlink(WindowHandle window);

    std::map<WindowHandle, Window> windows_;
    std::map<WindowHandle, std::vector<WindowHandle>> children_;
    std::vector<Message> sent_;
    WindowHandle lastHandle_ = 0x10000;
    WindowHandle focus_ = kDesktopWindow;
};

}  // namespace platform
