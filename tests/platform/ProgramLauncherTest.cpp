#include "platform/ProgramLauncher.h"

#include "vb/ComError.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::WindowState;

class ProgramLauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        launcher.registerProgram("dcalc.exe", [this](WindowState state) { starts.push_back(state); });
    }

    void TearDown() override { launcher.unregisterProgram("dcalc.exe"); }

    std::int32_t errorNumber(std::string_view path)
    {
        try {
            launcher.launch(path, WindowState::Hidden);
        } catch (const vb::ComError& error) {
            return error.number;
        }
        return 0;
    }

    platform::ProgramLauncher& launcher = platform::ProgramLauncher::instance();
    std::vector<WindowState> starts;
};

TEST_F(ProgramLauncherTest, StartsTheProgramNamedByThePathsFileName)
{
    const auto first = launcher.launch("/opt/velm/support/dcalc.exe", WindowState::Hidden);
    const auto second = launcher.launch("C:\\Velm\\Support\\DCALC.EXE", WindowState::NormalFocus);
    EXPECT_GT(first, 0);
    EXPECT_GT(second, first);
    EXPECT_EQ(starts, (std::vector {WindowState::Hidden, WindowState::NormalFocus}));
}

TEST_F(ProgramLauncherTest, PathsOfNoRegisteredProgramAre53)
{
    for (const char* path : {"", "/opt/velm/support/", "/opt/velm/calc.exe", "/opt/velm/dcalc.exe.bak",
                             "/opt/dcalc.exe/other.exe", "dcalc"})
        EXPECT_EQ(errorNumber(path), vb::err::kFileNotFound) << path;
    launcher.unregisterProgram("DCalc.EXE");
    EXPECT_EQ(errorNumber("/opt/velm/support/dcalc.exe"), vb::err::kFileNotFound);
    EXPECT_TRUE(starts.empty());
}

TEST_F(ProgramLauncherTest, AStartingProgramMayUnregisterItselfAndItsErrorsPass)
{
    int runs = 0;
    launcher.registerProgram("once.exe", [&](WindowState) {
        launcher.unregisterProgram("once.exe");
        ++runs;
        vb::raise(vb::err::kOutOfMemory);
    });
    EXPECT_EQ(errorNumber("/bin/once.exe"), vb::err::kOutOfMemory);
    EXPECT_EQ(errorNumber("/bin/once.exe"), vb::err::kFileNotFound);
    EXPECT_EQ(runs, 1);
}

}  // namespace
