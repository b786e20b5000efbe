#include "host/cli/commands/ScoreCommand.h"

#include "host/cli/ItemOptions.h"
#include "host/driver/ItemStart.h"
#include "host/driver/Json.h"
#include "host/driver/SessionJson.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace velm::host {
namespace {

struct ScoreOptions {
    ItemOptions item;
    std::string response;
};

void rescore(const ScoreOptions& options, Console& console)
{
    const std::string itemText = options.item.itemText(console);
    Session session(options.item.settings(console));
    startItem(session, itemText);
    session.runUntilIdle();
    const auto score = session.rescore(options.response);
    console.out << jsonText(scoreJsonWithState(score, session.stateText())) << std::endl;
}

}  // namespace

void addScoreCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<ScoreOptions>();
    auto* command = app.add_subcommand("score", "Rescore one stored response of an item and print the counts as JSON.");
    options->item.addTo(*command);
    command
        ->add_option("--response", options->response,
                     "The response: a comma list (A, C), a Responses element or a UserAnswers list.")
        ->required();
    command->callback([options, &console] { rescore(*options, console); });
}

}  // namespace velm::host
