#include "platform/WindowSystem.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>
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

    // new parent, returned parent, parent afterwards
    const std::tuple<WindowHandle, WindowHandle, WindowHandle> cases[] = {
        {driver, kDesktopWindow, driver},
        {other, driver, other},
        {kDesktopWindow, other, kDesktopWindow},
        {inner, kDesktopWindow, kDesktopWindow},  // a window cannot go inside itself
        {item, kDesktopWindow, kDesktopWindow},
        {0x7FFFFFF0, kDesktopWindow, kDesktopWindow},  // no such parent
    };
    for (const auto& [parent, returned, parentAfter] : cases) {
        EXPECT_EQ(windows.setParent(item, parent), returned);
        EXPECT_EQ(windows.parentOf(item), parentAfter);
    }
    EXPECT_EQ(windows.setParent(0x7FFFFFF0, driver), kDesktopWindow);
}

TEST_F(WindowSystemTest, SetFocusReturnsTheWindowThatHadItAndDestroyingTakesItAlongWithTheDescendants)
{
    const auto driver = make("Driver", "");
    const auto item = make("Item", "", driver);
    const auto button = make("Button", "", item);
    EXPECT_EQ(windows.setFocus(item), kDesktopWindow);
    EXPECT_EQ(windows.setFocus(button), item);
    EXPECT_EQ(windows.setFocus(0x7FFFFFF0), kDesktopWindow);
    EXPECT_EQ(windows.focusedWindow(), button);

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
    // command, returned visibility, visibility afterwards
    const std::tuple<int, bool, bool> cases[] = {
        {kSwShow, false, true},   {kSwHide, true, false}, {kSwRestore, false, true},    {kSwRestore, true, true},
        {42, true, true},         {kSwHide, true, false}, {kSwShowNormal, false, true}, {-1, true, true},
    };
    for (const auto& [command, returned, visibleAfter] : cases) {
        EXPECT_EQ(windows.showWindow(window, command), returned) << command;
        EXPECT_EQ(windows.isVisible(window), visibleAfter) << command;
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
    EXPECT_EQ(windows.sentMessages(), (std::vector<WindowSystem::Message>{{other, kWmSysCommand, 0xF020, 0},
                                                                          {calculator, kWmSysCommand, kScClose, 0}}));

    windows.sendMessage(calculator, kWmSysCommand, kScClose, 0);
    EXPECT_EQ(closed.size(), 1u);
    EXPECT_EQ(windows.sentMessages().size(), 3u);
}

}  // namespace
