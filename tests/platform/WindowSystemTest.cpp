#include "PlatformTesting.h"

#include "platform/ProgramLauncher.h"
#include "platform/WindowSystem.h"

#include <tuple>

using namespace platform;
using platform_testing::errorNumber;

namespace {

// Creates windows for one test and destroys whatever is left of them afterwards.
class WindowSystemTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (auto window : created)
            windows.destroyWindow(window);
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

TEST_F(WindowSystemTest, SetParentAndSetFocusReturnWhatWasBeforeAndDestroyingTakesDescendantsAndFocusAlong)
{
    const auto driver = make("Driver", "");
    const auto other = make("Other", "");
    const auto item = make("Item", "");
    const auto inner = make("Inner", "", item);
    // new parent, returned parent, parent afterwards; a window cannot go inside itself nor under no window
    const std::tuple<WindowHandle, WindowHandle, WindowHandle> cases[] = {
        {driver, kDesktopWindow, driver},        {other, driver, other},
        {kDesktopWindow, other, kDesktopWindow}, {inner, kDesktopWindow, kDesktopWindow},
        {item, kDesktopWindow, kDesktopWindow},  {0x7FFFFFF0, kDesktopWindow, kDesktopWindow},
        {driver, kDesktopWindow, driver},
    };
    for (const auto& [parent, returned, parentAfter] : cases) {
        EXPECT_EQ(windows.setParent(item, parent), returned);
        EXPECT_EQ(windows.parentOf(item), parentAfter);
    }
    EXPECT_EQ(windows.setParent(0x7FFFFFF0, driver), kDesktopWindow);

    // the focus moves and returns the window it leaves; destroying takes the children and the focus along
    EXPECT_EQ((std::vector{windows.setFocus(item), windows.setFocus(inner), windows.setFocus(0x7FFFFFF0),
                           windows.focusedWindow()}),
              (std::vector{kDesktopWindow, item, kDesktopWindow, inner}));
    EXPECT_TRUE(windows.destroyWindow(driver));
    EXPECT_EQ((std::tuple{windows.isWindow(item), windows.isWindow(inner), windows.focusedWindow(),
                          windows.destroyWindow(driver)}),
              (std::tuple{false, false, kDesktopWindow, false}));
    EXPECT_EQ(windows.createWindow("Orphan", "", driver), kDesktopWindow);  // no window under a destroyed parent
    EXPECT_GT(make("Probe", ""), inner);  // handles are never reused
    EXPECT_FALSE(windows.isWindow(kDesktopWindow));
}

TEST_F(WindowSystemTest, FindWindowMatchesTopLevelWindowsIgnoringCaseAndShowWindowReturnsThePreviousVisibility)
{
    const auto older = make("SciCalc", "Calculator");
    const auto newer = make("SciCalc", "Calculator");
    const auto parent = make("Driver", "Exam");
    make("Hidden", "Child", parent);
    EXPECT_EQ(windows.findWindow("scicalc", "CALCULATOR"), newer);
    windows.bringWindowToTop(older);
    EXPECT_EQ((std::vector{windows.findWindow("SciCalc", "Calculator"), windows.findWindow("", "Exam"),
                           windows.findWindow("Driver", ""), windows.findWindow("Hidden", "Child"),
                           windows.findWindow("SciCalc", "Calc")}),
              (std::vector{older, parent, parent, kDesktopWindow, kDesktopWindow}));
    // command, returned visibility, visibility afterwards
    const std::tuple<int, bool, bool> cases[] = {
        {kSwShow, false, true}, {kSwHide, true, false}, {kSwRestore, false, true},    {kSwRestore, true, true},
        {42, true, true},       {kSwHide, true, false}, {kSwShowNormal, false, true}, {-1, true, true},
    };
    for (const auto& [command, returned, visibleAfter] : cases) {
        EXPECT_EQ(windows.showWindow(older, command), returned) << command;
        EXPECT_EQ(windows.isVisible(older), visibleAfter) << command;
    }
    EXPECT_EQ(windows.lastShowCommand(older), kSwShowNormal);
}

TEST(ProgramLauncher, StartsTheProgramNamedByThePathsFileNameOtherPathsAre53AndItsErrorsPass)
{
    auto& launcher = ProgramLauncher::instance();
    std::vector<WindowState> starts;
    launcher.registerProgram("dcalc.exe", [&](WindowState state) { starts.push_back(state); });
    launcher.registerProgram("once.exe", [&](WindowState state) {
        launcher.unregisterProgram("once.exe");  // a starting program may unregister itself
        starts.push_back(state);
        vb::raise(vb::err::kOutOfMemory);
    });
    const auto launch = [&](const char* path) {
        return errorNumber([&] { launcher.launch(path, WindowState::Hidden); });
    };

    const auto first = launcher.launch("/opt/velm/support/dcalc.exe", WindowState::Hidden);
    const auto second = launcher.launch("C:\\Velm\\Support\\DCALC.EXE", WindowState::NormalFocus);
    EXPECT_TRUE(first > 0 && second > first) << first << ", " << second;
    EXPECT_EQ(starts, (std::vector{WindowState::Hidden, WindowState::NormalFocus}));
    EXPECT_EQ(launch("/bin/once.exe"), vb::err::kOutOfMemory);
    for (const char* path : {"", "/opt/velm/support/", "/opt/velm/calc.exe", "/opt/velm/dcalc.exe.bak",
                             "/opt/dcalc.exe/other.exe", "dcalc", "/bin/once.exe"})
        EXPECT_EQ(launch(path), vb::err::kFileNotFound) << path;
    launcher.unregisterProgram("DCalc.EXE");
    EXPECT_EQ(launch("/opt/velm/support/dcalc.exe"), vb::err::kFileNotFound);
    EXPECT_EQ(starts.size(), 3u);
}

}  // namespace
