#include "platform/CheckBox.h"
#include "platform/Form.h"
#include "platform/WindowSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

TEST(Form, LoadCreatesTheWindowAndUnloadOrACloseRequestDestroysIt)
{
    auto& windows = WindowSystem::instance();
    Form form("frmMain");
    form.setCaption("Item");
    std::vector<std::string> events;
    form.onLoad = [&] { events.push_back("Load " + std::to_string(form.isLoaded())); };
    form.onUnload = [&] { events.push_back("Unload " + std::to_string(windows.isWindow(form.hWnd()))); };

    EXPECT_EQ(form.hWnd(), kDesktopWindow);
    form.Load();
    form.Load();
    const auto first = form.hWnd();
    EXPECT_TRUE(windows.isWindow(first));
    EXPECT_EQ(windows.className(first), Form::kWindowClass);
    EXPECT_EQ(windows.title(first), "Item");
    EXPECT_FALSE(form.Visible());

    form.Unload();
    form.Unload();
    EXPECT_FALSE(windows.isWindow(first));
    EXPECT_FALSE(form.isLoaded());

    form.Show();
    const auto second = form.hWnd();
    EXPECT_NE(second, first);
    EXPECT_TRUE(form.Visible());
    windows.sendMessage(second, kWmSysCommand, kScClose, 0);
    EXPECT_FALSE(form.isLoaded());
    EXPECT_FALSE(windows.isWindow(second));
    EXPECT_EQ(events, (std::vector<std::string>{"Load 1", "Unload 1", "Load 1", "Unload 1"}));
}

TEST(Form, DestroyingALoadedFormReleasesItsWindowSilently)
{
    WindowHandle window = kDesktopWindow;
    int unloads = 0;
    {
        Form form("frmTest");
        form.onUnload = [&] { ++unloads; };
        form.add<CheckBox>("chk").SetFocus();
        form.Load();
        window = form.hWnd();
    }
    EXPECT_FALSE(WindowSystem::instance().isWindow(window));
    EXPECT_EQ(unloads, 0);
}

TEST(Form, ResizeFollowsSizeChangesOfALoadedFormAndScaleSizeIsTheInnerSize)
{
    Form form("frmMain");
    int resizes = 0;
    form.onResize = [&] { ++resizes; };
    form.Move(0, 0, 9000, 6000);
    EXPECT_EQ(resizes, 0);  // not loaded yet
    form.Load();

    struct Step {
        float left, top, width, height;
        int resizes;
    };
    const Step steps[] = {
        {0, 0, 9000, 6000, 0},      // nothing changes
        {100, 200, 9000, 6000, 0},  // a move alone is no resize
        {100, 200, 9001, 6000, 1},
        {0, 0, 6000, 4500, 2},
        {0, 0, -5, -5, 3},          // negative sizes count as 0
        {0, 0, 0, 0, 3},
    };
    for (const auto& step : steps) {
        form.Move(step.left, step.top, step.width, step.height);
        EXPECT_EQ(resizes, step.resizes);
    }
    form.setWidth(6000);
    form.setHeight(4500);
    EXPECT_EQ(resizes, 5);
    EXPECT_EQ(form.Left(), 0);

    EXPECT_EQ(form.ScaleWidth(), 6000 - 8 * 15);
    EXPECT_EQ(form.ScaleHeight(), 4500 - 27 * 15);
    form.setBorderStyle(0);
    EXPECT_EQ(form.ScaleWidth(), 6000);
    EXPECT_EQ(form.ScaleHeight(), 4500);
    EXPECT_EQ(form.pixelsToTwipsX(10), 150);
}

}  // namespace
