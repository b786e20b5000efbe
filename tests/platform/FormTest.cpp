#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/PictureBox.h"
#include "platform/Screen.h"
#include "platform/WindowSystem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

TEST(Form, LoadCreatesTheWindowAndUnloadDestroysIt)
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
    EXPECT_NE(form.hWnd(), first);
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(events, (std::vector<std::string>{"Load 1", "Unload 1", "Load 1"}));
}

TEST(Form, ResizeFollowsSizeChangesOfALoadedForm)
{
    Form form("frmMain");
    int resizes = 0;
    form.onResize = [&] { ++resizes; };
    form.Move(0, 0, 9000, 6000);
    EXPECT_EQ(resizes, 0);  // not loaded yet
    form.Load();

    struct Step {
        float left;
        float top;
        float width;
        float height;
        int resizes;
    };
    const Step steps[] = {
        {0, 0, 9000, 6000, 0},      // nothing changes
        {100, 200, 9000, 6000, 0},  // a move alone is no resize
        {100, 200, 9001, 6000, 1},
        {0, 0, 9001, 5000, 2},
        {0, 0, -5, -5, 3},          // negative sizes count as 0
        {0, 0, 0, 0, 3},
    };
    for (const auto& step : steps) {
        form.Move(step.left, step.top, step.width, step.height);
        EXPECT_EQ(resizes, step.resizes);
    }
    form.setWidth(10);
    form.setHeight(10);
    EXPECT_EQ(resizes, 5);
    EXPECT_EQ(form.Left(), 0);
}

TEST(Form, ScaleSizeIsTheInnerSize)
{
    Form form("frmMain");
    form.Move(0, 0, 6000, 4500);
    EXPECT_EQ(form.ScaleWidth(), 6000 - 8 * 15);
    EXPECT_EQ(form.ScaleHeight(), 4500 - 27 * 15);

    form.setBorderStyle(0);
    EXPECT_EQ(form.ScaleWidth(), 6000);
    EXPECT_EQ(form.ScaleHeight(), 4500);
    EXPECT_EQ(form.pixelsToTwipsX(10), 150);
}


TEST(Form, ACloseRequestToItsWindowUnloadsIt)
{
    auto& windows = WindowSystem::instance();
    Form form("frmActExb");
    int unloads = 0;
    form.onUnload = [&] { ++unloads; };
    form.Load();
    const auto window = form.hWnd();

    windows.sendMessage(window, kWmSysCommand, kScClose, 0);

    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(form.isLoaded());
    EXPECT_FALSE(windows.isWindow(window));
}

TEST(Form, DestroyingALoadedFormReleasesItsWindowSilently)
{
    auto& windows = WindowSystem::instance();
    WindowHandle window = kDesktopWindow;
    int unloads = 0;
    {
        Form form("frmTest");
        form.onUnload = [&] { ++unloads; };
        form.add<CheckBox>("chk").SetFocus();
        form.Load();
        window = form.hWnd();
    }
    EXPECT_FALSE(windows.isWindow(window));
    EXPECT_EQ(unloads, 0);
}


TEST(Form, ControlTreeListsEveryControlByNesting)
{
    Form form("frmMain");
    form.setBorderStyle(0);
    form.Move(0, 0, 9000, 6000);
    auto& container = form.add<PictureBox>("pcChoicesContainer");
    container.Move(0, 1200, 8000, 3000);
    auto& boxes = container.addArray<CheckBox>("chkBox");
    boxes[0].Move(150, 50, 400, 300);
    boxes[0].setCaption("A.");
    boxes.load(1).setCaption("B.");
    form.add<CommandButton>("cmdExit").setCaption("Exit");

    const std::string expected = "frmMain Form 0,0 9000x6000 hidden \"\"\n"
                                 "  pcChoicesContainer PictureBox 0,1200 8000x3000 visible \"\"\n"
                                 "    chkBox(0) CheckBox 150,50 400x300 visible \"A.\"\n"
                                 "    chkBox(1) CheckBox 150,50 400x300 hidden \"B.\"\n"
                                 "  cmdExit CommandButton 0,0 0x0 visible \"Exit\"\n";
    EXPECT_EQ(form.controlTree(), expected);
}


}  // namespace
