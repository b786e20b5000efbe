#include "host/KeysCommand.h"

#include "keyanswers/modSetAnswers.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <stdexcept>
#include <string>

namespace velm::host {
namespace {

struct KeysOptions {
    std::string expression;
    std::string type = "MC";
    CLI::Option* expressionOption = nullptr;
};

void printKeys(const KeysOptions& options, Console& console)
{
    quorin::modSetAnswers answers;
    if (options.expressionOption->count() > 0) {
        console.out << answers.GetKeyAnswers(options.expression, options.type) << std::endl;
        return;
    }
    std::string line;
    while (std::getline(console.in, line)) {
        if (line.ends_with('\r'))
            line.pop_back();
        // Flushed line by line, so that an author typing keys sees each answer at once.
        console.out << answers.GetKeyAnswers(line, options.type) << std::endl;
    }
    if (console.in.bad())
        throw std::runtime_error("keys: cannot read the standard input");
}

}  // namespace

void addKeysCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<KeysOptions>();
    auto* keys = app.add_subcommand("keys", "Print the answers that an answer-key expression names.");
    options->expressionOption = keys->add_option("EXPRESSION", options->expression,
        "The key expression; without it, one expression per line is read from the standard input.");
    keys->add_option("--type", options->type, "The item type code.")
        ->check(CLI::IsMember({"MC", "BL", "DC", "CT"}))
        ->capture_default_str();
    keys->callback([options, &console] { printKeys(*options, console); });
}

}  // namespace velm::host
