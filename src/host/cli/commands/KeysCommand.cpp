#include "host/cli/commands/KeysCommand.h"

#include "host/driver/InputFiles.h"
#include "keyanswers/WholeKeyAnswers.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace velm::host {
namespace {

struct KeysOptions {
    std::string expression;
    std::string type = "MC";
    CLI::Option* expressionOption = nullptr;
};

std::string malformed(const std::string& expression)
{
    return "not a well-formed key expression: " + expression;
}

void printStreamKeys(const KeysOptions& options, Console& console)
{
    int lineNumber = 0;
    int malformedLines = 0;
    std::string line;
    while (std::getline(console.in, line) && console.out) {
        ++lineNumber;
        if (line.ends_with('\r'))
            line.pop_back();
        const auto answers = quorin::wholeKeyAnswers(line, options.type);
        // A blank line is no key at all; it keeps its place in the output without a complaint.
        if (!answers && line.find_first_not_of(' ') != std::string::npos) {
            ++malformedLines;
            console.err << "velm-host: line " << lineNumber << ": " << malformed(line) << std::endl;
        }
        // Flushed line by line, so that an author typing keys sees each answer at once.
        console.out << answers.value_or(std::string()) << std::endl;
    }
    if (console.in.bad())
        throw UsageError("cannot read the standard input");
    if (!console.out)
        throw UsageError("cannot write the standard output");
    if (malformedLines > 0)
        throw std::runtime_error("keys: " + std::to_string(malformedLines) + " of " + std::to_string(lineNumber)
                                 + " lines are not well-formed key expressions");
}

void printKeys(const KeysOptions& options, Console& console)
{
    if (options.expressionOption->count() == 0)
        return printStreamKeys(options, console);
    const auto answers = quorin::wholeKeyAnswers(options.expression, options.type);
    if (!answers)
        throw std::runtime_error(malformed(options.expression));
    console.out << *answers << std::endl;
}

}  // namespace

void addKeysCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<KeysOptions>();
    auto* keys = app.add_subcommand("keys", "Print the answers that an answer-key expression names.");
    options->expressionOption =
        keys->add_option("EXPRESSION", options->expression,
                         "The key expression; without it, one expression per line is read from the standard input.");
    keys->add_option("--type", options->type, "The item type code.")
        ->check(CLI::IsMember({"MC", "BL", "DC", "CT"}))
        ->capture_default_str();
    keys->callback([options, &console] { printKeys(*options, console); });
}

}  // namespace velm::host
