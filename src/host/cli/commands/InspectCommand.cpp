#include "host/cli/commands/InspectCommand.h"

#include "host/cli/ItemOptions.h"
#include "host/driver/InputFiles.h"
#include "host/driver/ItemStart.h"
#include "host/driver/Json.h"
#include "host/driver/SessionJson.h"
#include "vb/Text.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>

namespace velm::host {
namespace {

struct InspectOptions {
    ItemOptions item;
    std::int32_t options = 0;
    std::string statePath;
    std::string stateBytesPath;
    std::string saveStateBytesPath;
};

// The state to hand back, read before the item starts so that an unreadable file stops the run early.
std::optional<vb::ByteArray> storedState(const InspectOptions& options, Console& console)
{
    if (!options.statePath.empty())
        return vb::bytesFromText(readInputText(options.statePath, console));
    if (!options.stateBytesPath.empty()) {
        const auto bytes = readInputText(options.stateBytesPath, console);
        return vb::ByteArray(bytes.begin(), bytes.end());
    }
    return std::nullopt;
}

void inspect(const InspectOptions& options, Console& console)
{
    const std::string itemText = options.item.itemText(console);
    const auto state = storedState(options, console);
    Session session(options.item.settings(console));
    startItem(session, itemText, options.options);
    if (state)
        session.restoreState(*state);
    session.runUntilIdle();

    // Each value is read in the order a driver reads it, before the JSON is put together.
    const auto stateBytes = session.saveState();
    if (!options.saveStateBytesPath.empty())
        writeFileBytes(options.saveStateBytesPath, stateBytes);
    const std::string stateText = stateTextOf(stateBytes);
    const std::int32_t status = session.status();
    const auto key = session.response(0);
    const auto responses = session.response(1);
    const auto score = session.score();
    const auto info = session.scoreInfo();
    const nlohmann::ordered_json report = {{"stateBytes", stateBytes.size()},
                                           {"state", stateText},
                                           {"status", status},
                                           {"responses", {{"0", responseJson(key)}, {"1", responseJson(responses)}}},
                                           {"score", scoreJson(score)},
                                           {"scoreInfo",
                                            {{"result", info.result},
                                             {"items", info.items},
                                             {"max", numberJson(info.max)},
                                             {"min", numberJson(info.min)}}},
                                           {"errors", errorsJson(session.support())},
                                           {"messages", messagesJson(session.support())}};
    console.out << jsonText(report) << std::endl;
}

}  // namespace

void addInspectCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<InspectOptions>();
    auto* command =
        app.add_subcommand("inspect", "Run an item as a driver does and print what the driver receives, as JSON.");
    options->item.addTo(*command);
    command->add_option("--options", options->options,
                        "The option bits of the initialisation (1 read-only, 16 show answers, 256 calculator).");
    auto* state = command->add_option("--state", options->statePath, "A State element (XML, UTF-8) to restore.");
    auto* stateBytes = command->add_option("--state-bytes", options->stateBytesPath,
                                           "State bytes as a driver stored them, to restore.");
    state->excludes(stateBytes);
    command->add_option("--save-state-bytes", options->saveStateBytesPath,
                        "Write the state bytes a driver would store to this file.");
    command->callback([options, &console] { inspect(*options, console); });
}

}  // namespace velm::host
