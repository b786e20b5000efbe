#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// Runs `velm-host run` on the examples the way an integrator does, for the end-to-end tests.
namespace run_testing {

namespace fs = std::filesystem;
using json = nlohmann::json;

struct RunResult {
    int exitCode = -1;
    std::vector<json> views;
    std::string out;
    std::string err;
};

inline std::string readAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

inline std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

inline fs::path example(const char* name) { return fs::path(QUORIN_EXAMPLES_DIR) / name; }

inline int lineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// The frame of the item window at the default rectangle 0,0,9000,6000 with 15 twips a pixel:
// title 27 px, edges 8 px, button bar 41 px, bottom strip 8 px.
constexpr int kTitle = 405;
constexpr int kEdge = 120;
constexpr int kBar = 615;
constexpr int kStrip = 120;
constexpr int kSpacing = 150;  // ten pixels
constexpr int kAreaWidth = 9000 - 2 * kEdge;
constexpr int kAreaHeight = 6000 - (kBar + kTitle + kStrip);

// Runs `velm-host run` as an integrator would, with a registry and a support folder of the test's own.
class RunCommand : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(work_); }
    void TearDown() override { fs::remove_all(work_); }

    RunResult run(const std::string& arguments, const std::string& environment = "",
                  const std::string& input = "")
    {
        const auto in = work_ / "in";
        std::ofstream(in, std::ios::binary) << input;
        const auto command = environment + " VELM_REGISTRY=" + quoted(work_ / "registry") + " "
            + quoted(QUORIN_VELM_HOST) + " run " + arguments + " <" + quoted(in) + " >" + quoted(work_ / "out")
            + " 2>" + quoted(work_ / "err");
        const int status = std::system(command.c_str());
        RunResult result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, {}, readAll(work_ / "out"), readAll(work_ / "err")};
        if (arguments.find("--json") != std::string::npos) {
            std::istringstream lines(result.out);
            for (std::string line; std::getline(lines, line);)
                result.views.push_back(json::parse(line));
        }
        return result;
    }

    // A visit of an example item with a script of its own, as JSON lines.
    RunResult visit(const char* item, const char* script, const std::string& more = "")
    {
        return run(quoted(example(item)) + " --script " + quoted(example(script)) + " --json --support-dir "
                   + quoted(work_ / "support") + " " + more);
    }

    RunResult withScript(const std::string& script, const std::string& more = "")
    {
        const auto path = work_ / "visit.script";
        std::ofstream(path, std::ios::binary) << script;
        return run(quoted(example("basic-item.xml")) + " --script " + quoted(path) + " --support-dir "
                   + quoted(work_ / "support") + " " + more);
    }

    const fs::path work_ = fs::temp_directory_path() / ("velm-run-" + std::to_string(::getpid()) + "-"
                                                        + ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

inline std::vector<int> valuesOf(const json& view)
{
    std::vector<int> values;
    for (const auto& choice : view["choices"])
        values.push_back(choice["value"].get<int>());
    return values;
}

inline std::string responsesOf(const json& view)
{
    const auto state = view["state"].get<std::string>();
    const auto start = state.find("<Responses");
    const auto end = state.find("</Responses>");
    if (start == std::string::npos)
        return "none";
    if (end == std::string::npos)
        return state.substr(start, state.find('>', start) - start + 1);
    return state.substr(start, end + 12 - start);
}

inline json message(const char* text, int style, int answer)
{
    return {{"text", text}, {"style", style}, {"answer", answer}};
}

}  // namespace run_testing
