#pragma once

#include "CommandTesting.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

// Runs `velm-host run` on the examples the way an integrator does, for the end-to-end tests.
namespace run_testing {

namespace fs = std::filesystem;
using json = nlohmann::json;
using namespace nlohmann::literals;

using command_testing::CommandRun;
using command_testing::quoted;

struct RunResult : command_testing::CommandRun {
    std::vector<json> views;
};

inline fs::path example(const char* name)
{
    return fs::path(QUORIN_EXAMPLES_DIR) / name;
}

// Runs `velm-host run` as an integrator would, with a registry and a support folder of the test's own.
class RunCommand : public command_testing::CommandTest {
protected:
    RunResult run(const std::string& arguments, const std::string& environment = "", const std::string& input = "")
    {
        const auto in = work_ / "in";
        std::ofstream(in, std::ios::binary) << input;
        RunResult result{shell(environment + " " + host() + " run " + arguments + " <" + quoted(in)), {}};
        if (arguments.find("--json") != std::string::npos)
            result.views = command_testing::jsonLines(result.out);
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
};

inline std::vector<int> valuesOf(const json& view)
{
    std::vector<int> values;
    for (const auto& choice : view["choices"])
        values.push_back(choice["value"].get<int>());
    return values;
}

// The Responses element of the snapshot's state.
inline std::string responsesOf(const json& view)
{
    const auto state = view["state"].get<std::string>();
    std::smatch responses;
    return std::regex_search(state, responses, std::regex("<Responses(/>|>.*</Responses>)")) ? responses.str() : "none";
}

// What the snapshots showed at the places named, each "N/pointer": a JSON pointer into the Nth snapshot (null
// where nothing is).
inline json seen(const std::vector<json>& views, const std::string& places)
{
    json values = json::array();
    std::istringstream words(places);
    for (std::string place; words >> place;) {
        const auto slash = place.find('/');
        const auto& view = views.at(std::stoul(place.substr(0, slash)));
        values.push_back(view.value(json::json_pointer(place.substr(slash)), json()));
    }
    return values;
}

}  // namespace run_testing
