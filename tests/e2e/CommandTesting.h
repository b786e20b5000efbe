#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

// What the end-to-end tests share: velm-host run through the shell, as integrators run it, in a
// work folder of each test's own (tests run side by side).
namespace command_testing {

namespace fs = std::filesystem;

struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;

    friend bool operator==(const CommandRun&, const CommandRun&) = default;
    friend void PrintTo(const CommandRun& run, std::ostream* os)
    {
        *os << "exit " << run.exitCode << ", out " << ::testing::PrintToString(run.out) << ", err "
            << ::testing::PrintToString(run.err);
    }
};

// Each line of the text read as JSON.
inline std::vector<nlohmann::json> jsonLines(const std::string& text)
{
    std::vector<nlohmann::json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

inline std::string readAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// Text as one word of a shell command line.
inline std::string quoted(const std::string& text)
{
    std::string word = "'";
    for (const char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(work_); }
    void TearDown() override { fs::remove_all(work_); }

    // Runs a shell command line, its standard error and (unless out names another place) its
    // standard output captured in the work folder.
    CommandRun shell(const std::string& commandLine, const std::string& out = "")
    {
        const auto command =
            commandLine + " >" + (out.empty() ? quoted(work_ / "out") : out) + " 2>" + quoted(work_ / "err");
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(work_ / "out"), readAll(work_ / "err")};
    }
    // velm-host as the command line starts it, with a registry file of the test's own.
    std::string host() const { return "VELM_REGISTRY=" + quoted(work_ / "registry") + " " + quoted(QUORIN_VELM_HOST); }

    const fs::path work_ = fs::temp_directory_path()
                           / ("velm-e2e-" + std::to_string(::getpid()) + "-"
                              + ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-"
                              + ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

}  // namespace command_testing
