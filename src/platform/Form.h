#pragma once

#include "platform/Bounds.h"
#include "platform/Container.h"
#include "platform/WindowSystem.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace platform {

class Control;

// A top-level window holding controls. Load creates its window in the WindowSystem and raises
// Load; Unload raises Unload, then destroys the run-time control-array elements, stops its
// timers and pending documents and destroys the window. The form object and its design-time
// controls stay, so it can be loaded again. Sizes are in twips.
class Form : public Container {
public:
    // The window class of every form's window.
    static constexpr const char* kWindowClass = "QuorinForm";

    // A form named name ("frmMain"), not loaded, hidden, 4800 × 3600 twips, with a sizable border.
    explicit Form(std::string name);
    // Destroys its window, if any, and its controls without raising Unload.
    ~Form() override;

    // The form's name.
    const std::string& Name() const { return name_; }
    // The window handle; 0 when not loaded.
    WindowHandle hWnd() const { return hwnd_; }
    // Whether Load has run and Unload has not since.
    bool isLoaded() const { return hwnd_ != kDesktopWindow; }
    // The loaded form whose window that is; null for any other handle. Drivers and tools use it
    // to look at a component's window by the handle the component reports.
    static Form* fromHandle(WindowHandle window);

    // Creates the window (hidden, top-level) and raises Load; nothing when loaded.
    void Load();
    // Raises Unload, then releases what loading built (see above); nothing when not loaded.
    // A close request to its window (SC_CLOSE) unloads it too.
    void Unload();
    // Loads when needed and makes it visible; the first show after loading raises Resize, as
    // the window then gets its size.
    void Show();
    // Makes it invisible.
    void Hide();
    // Whether its window is visible (false when not loaded).
    bool Visible() const;
    // Shows (loading when needed) or hides it.
    void setVisible(bool visible);

    // The title.
    const std::string& Caption() const { return caption_; }
    void setCaption(std::string caption);

    // Position and outer size, in twips.
    float Left() const { return bounds_.left; }
    float Top() const { return bounds_.top; }
    float Width() const { return bounds_.width; }
    float Height() const { return bounds_.height; }
    void setLeft(float left) { Move(left); }
    void setTop(float top) { Move(bounds_.left, top); }
    // A size change of a loaded form raises Resize; a negative size counts as 0.
    void setWidth(float width) { Move(bounds_.left, bounds_.top, width); }
    void setHeight(float height) { Move(bounds_.left, bounds_.top, bounds_.width, height); }
    // Moves to left and, when given, top, width and height; raises Resize once when the size
    // of a loaded form changed.
    void Move(float left, std::optional<float> top = {}, std::optional<float> width = {},
              std::optional<float> height = {});
    // The inner size: the outer size for a borderless form, else less a 4-pixel border on each
    // side and a 19-pixel title bar (never below 0).
    float ScaleWidth() const;
    float ScaleHeight() const;
    // 0 for no border and title bar; any other value for a bordered window.
    std::int16_t BorderStyle() const { return borderStyle_; }
    void setBorderStyle(std::int16_t style) { borderStyle_ = style; }
    // The mouse pointer shape (0 the default).
    std::int16_t MousePointer() const { return mousePointer_; }
    void setMousePointer(std::int16_t pointer) { mousePointer_ = pointer; }

    // Pixels converted to twips with the screen's horizontal or vertical measure.
    float pixelsToTwipsX(float pixels) const;
    float pixelsToTwipsY(float pixels) const;

    // The control that has the focus; null when none.
    Control* ActiveControl() const { return active_; }
    // The candidate moves the mouse over the form's own surface: raises MouseMove.
    void mouseMove(std::int16_t button, std::int16_t shift, float x, float y);

    // The form and its controls, one per line, indented by nesting: name(index), kind,
    // left,top widthxheight, visible or hidden, and the caption in quotes.
    std::string controlTree() const;

    // Form_Load: raised after the window was created.
    std::function<void()> onLoad;
    // Form_Unload: raised before the form releases what loading built.
    std::function<void()> onUnload;
    // Form_Resize: raised after the size of a loaded form changed, and when it is first shown.
    std::function<void()> onResize;
    // Form_MouseMove: button, shift state, position in twips.
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> onMouseMove;

private:
    friend class Control;

    void moveFocus(Control* control);
    void forgetControl(const Control& control);

    std::string name_;
    WindowHandle hwnd_ = kDesktopWindow;
    std::string caption_;
    Bounds bounds_{0, 0, 4800, 3600};
    std::int16_t borderStyle_ = 2;
    std::int16_t mousePointer_ = 0;
    Control* active_ = nullptr;
    bool shownSinceLoad_ = false;
    bool unloading_ = false;
};

}  // namespace platform
