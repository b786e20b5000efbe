#include "platform/WindowSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

using namespace platform;

namespace {

// Creates windows for one test and destroys whatever is left of them afterwards.
class WindowSystemTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (auto window : created)
            windows.destroyWindow(window);
        windows.clearSentMessages();
        windows.setFocus(kDesktopWindow);
    }

    WindowHandle make(const char* className, const char* title, WindowHandle parent = kDesktopWindow)
    {
        const auto window = windows.createWindow(className, title, parent);
        created.push_back(window);
        return window;
    }

    WindowSystem& windows = WindowSystem::instance();
    std::vector<WindowHandle> created;
};

TEST_F(WindowSystemTest, HandlesArePositiveAndNeverReused)
{
    std::set<WindowHandle> seen;
    for (int i = 0; i < 5; ++i) {
        const auto window = make("Probe", "");
        EXPECT_GT(window, 0);
        EXPECT_TRUE(seen.insert(window).second);
        windows.destroyWindow(window);
        EXPECT_FALSE(windows.isWindow(window));
    }
    EXPECT_FALSE(windows.isWindow(kDesktopWindow));
    EXPECT_EQ(windows.createWindow("Orphan", "", *seen.rbegin()), kDesktopWindow);
}

TEST_F(WindowSystemTest, SetParentReturnsThePreviousParent)
{
    const auto driver = make("Driver", "");
    const auto other = make("Other", "");
    const auto item = make("Item", "");
    const auto inner = make("Inner", "", item);

    struct Case {
        WindowHandle window;
        WindowHandle parent;
        WindowHandle returned;
        WindowHandle parentAfter;
    };
    const Case cases[] = {
        {item, driver, kDesktopWindow, driver},
        {item, other, driver, other},
        {item, kDesktopWindow, other, kDesktopWindow},
        {item, inner, kDesktopWindow, kDesktopWindow},  // a window cannot go inside itself
        {item, item, kDesktopWindow, kDesktopWindow},
        {item, 0x7FFFFFF0, kDesktopWindow, kDesktopWindow},  // no such parent
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windows.setParent(c.window, c.parent), c.returned);
        EXPECT_EQ(windows.parentOf(c.window), c.parentAfter);
    }
    EXPECT_EQ(windows.setParent(0x7FFFFFF0, driver), kDesktopWindow);
}

TEST_F(WindowSystemTest, DestroyingAWindowDestroysItsDescendants)
{
    const auto driver = make("Driver", "");
    const auto item = make("Item", "", driver);
    const auto button = make("Button", "", item);
    windows.setFocus(button);

    EXPECT_TRUE(windows.destroyWindow(driver));

    EXPECT_FALSE(windows.isWindow(item));
    EXPECT_FALSE(windows.isWindow(button));
    EXPECT_EQ(windows.focusedWindow(), kDesktopWindow);
    EXPECT_FALSE(windows.destroyWindow(driver));
}

TEST_F(WindowSystemTest, FindWindowMatchesTopLevelWindowsIgnoringCase)
{
    const auto older = make("SciCalc", "Calculator");
    const auto newer = make("SciCalc", "Calculator");
    const auto parent = make("Driver", "Exam");
    make("Hidden", "Child", parent);

    EXPECT_EQ(windows.findWindow("scicalc", "CALCULATOR"), newer);
    windows.bringWindowToTop(older);
    EXPECT_EQ(windows.findWindow("SciCalc", "Calculator"), older);
    EXPECT_EQ(windows.findWindow("", "Exam"), parent);
    EXPECT_EQ(windows.findWindow("Driver", ""), parent);
    EXPECT_EQ(windows.findWindow("Hidden", "Child"), kDesktopWindow);
    EXPECT_EQ(windows.findWindow("SciCalc", "Calc"), kDesktopWindow);
}

TEST_F(WindowSystemTest, ShowCommandsSetVisibilityAndReturnThePreviousState)
{
    const auto window = make("Item", "");
    struct Case {
        int command;
        bool returned;
        bool visibleAfter;
    };
    const Case cases[] = {
        {kSwShow, false, true},     {kSwHide, true, false},       {kSwRestore, false, true},
        {kSwRestore, true, true},   {42, true, true},             {kSwHide, true, false},
        {kSwShowNormal, false, true}, {-1, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(windows.showWindow(window, c.command), c.returned);
        EXPECT_EQ(windows.isVisible(window), c.visibleAfter);
    }
    EXPECT_EQ(windows.lastShowCommand(window), kSwShowNormal);
}


TEST_F(WindowSystemTest, SysCommandCloseRunsTheCloseHookAndDestroysTheWindow)
{
    const auto calculator = make("SciCalc", "Calculator");
    const auto other = make("Other", "");
    std::vector<WindowHandle> closed;
    windows.setCloseHook(calculator, [&](WindowHandle window) { closed.push_back(window); });

    windows.sendMessage(other, kWmSysCommand, 0xF020, 0);  // minimize: not a close
    windows.sendMessage(calculator, kWmSysCommand, kScClose, 0);

    EXPECT_EQ(closed, (std::vector<WindowHandle>{calculator}));
    EXPECT_FALSE(windows.isWindow(calculator));
    EXPECT_TRUE(windows.isWindow(other));
    const std::vector<WindowSystem::Message> expected = {
        {other, kWmSysCommand, 0xF020, 0},
        {calculator, kWmSysCommand, kScClose, 0},
    };
    EXPECT_EQ(windows.sentMessages(), expected);

    windows.sendMessage(calculator, kWmSysCommand, kScClose, 0);
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_EQ(windows.sentMessages().size(), 3u);
}


TEST_F(WindowSystemTest, SetFocusReturnsTheWindowThatHadIt)
{
    const auto a = make("A", "");
    const auto b = make("B", "");

    EXPECT_EQ(windows.setFocus(a), kDesktopWindow);
    EXPECT_EQ(windows.setFocus(b), a);
    EXPECT_EQ(windows.setFocus(0x7FFFFFF0), kDesktopWindow);
    EXPECT_EQ(windows.focusedWindow(), b);
}

}  // namespace
