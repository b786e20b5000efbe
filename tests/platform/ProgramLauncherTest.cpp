#include "PlatformTesting.h"

#include "platform/ProgramLauncher.h"

namespace {

using platform::WindowState;

TEST(ProgramLauncher, StartsTheProgramNamedByThePathsFileNameAndOtherPathsAre53)
{
    auto& launcher = platform::ProgramLauncher::instance();
    std::vector<WindowState> starts;
    launcher.registerProgram("dcalc.exe", [&](WindowState state) { starts.push_back(state); });
    const auto launch = [&](const char* path) {
        return platform_testing::errorNumber([&] { launcher.launch(path, WindowState::Hidden); });
    };

    const auto first = launcher.launch("/opt/velm/support/dcalc.exe", WindowState::Hidden);
    const auto second = launcher.launch("C:\\Velm\\Support\\DCALC.EXE", WindowState::NormalFocus);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_EQ(starts, (std::vector {WindowState::Hidden, WindowState::NormalFocus}));
    for (const char* path : {"", "/opt/velm/support/", "/opt/velm/calc.exe", "/opt/velm/dcalc.exe.bak",
                             "/opt/dcalc.exe/other.exe", "dcalc"})
        EXPECT_EQ(launch(path), vb::err::kFileNotFound) << path;
    launcher.unregisterProgram("DCalc.EXE");
    EXPECT_EQ(launch("/opt/velm/support/dcalc.exe"), vb::err::kFileNotFound);
    EXPECT_EQ(starts.size(), 2u);
}

TEST(ProgramLauncher, AStartingProgramMayUnregisterItselfAndItsErrorsPass)
{
    auto& launcher = platform::ProgramLauncher::instance();
    int runs = 0;
    launcher.registerProgram("once.exe", [&](WindowState) {
        launcher.unregisterProgram("once.exe");
        ++runs;
        vb::raise(vb::err::kOutOfMemory);
    });
    const auto launch = [&] { launcher.launch("/bin/once.exe", WindowState::Hidden); };
    EXPECT_EQ(platform_testing::errorNumber(launch), vb::err::kOutOfMemory);
    EXPECT_EQ(platform_testing::errorNumber(launch), vb::err::kFileNotFound);
    EXPECT_EQ(runs, 1);
}

}  // namespace
