#include "host/cli/CommandLine.h"

#include "host/cli/commands/DemoCommand.h"
#include "host/cli/commands/InspectCommand.h"
#include "host/cli/commands/KeysCommand.h"
#include "host/cli/commands/LintCommand.h"
#include "host/cli/commands/QtiCommand.h"
#include "host/cli/commands/RescoreCommand.h"
#include "host/cli/commands/RunCommand.h"
#include "host/cli/commands/ScoreCommand.h"
#include "host/cli/commands/ServeCommand.h"
#include "host/driver/InputFiles.h"
#include "vb/ComError.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <string>

namespace velm::host {
namespace {

constexpr int kFailed = 1;
constexpr int kBadOptions = 2;

void reportLine(Console& console, std::string message)
{
    std::replace(message.begin(), message.end(), '\n', ' ');
    console.err << "velm-host: " << message << std::endl;
}

// Without this, a mistyped subcommand would only be told that a subcommand is required.
void checkSubcommandName(const CLI::App& app, int argc, const char* const* argv)
{
    if (argc < 2 || argv[1][0] == '-')
        return;
    const std::string word = argv[1];
    std::string names;
    for (const auto* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (command->check_name(word))
            return;
        names += (names.empty() ? "" : ", ") + command->get_name();
    }
    throw UsageError("unknown subcommand " + word + " (the subcommands are " + names + ")");
}

// Output lost to a full disk or a closed pipe is a failure, not a success.
void checkOutput(Console& console)
{
    console.out.flush();
    if (!console.out)
        throw UsageError("cannot write the standard output");
}

}  // namespace

int runCommandLine(int argc, const char* const* argv, Console& console)
{
    CLI::App app{"The reference driver for quorin items.", "velm-host"};
    app.require_subcommand(1);
    addKeysCommand(app, console);
    addDemoCommand(app, console);
    addInspectCommand(app, console);
    addScoreCommand(app, console);
    addRunCommand(app, console);
    addRescoreCommand(app, console);
    addLintCommand(app, console);
    addServeCommand(app, console);
    addQtiCommand(app, console);
    try {
        checkSubcommandName(app, argc, argv);
        app.parse(argc, argv);
        checkOutput(console);
        return 0;
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(error, console.out, console.err);
        reportLine(console, error.what());
        return kBadOptions;
    } catch (const UsageError& error) {
        reportLine(console, error.what());
        return kBadOptions;
    } catch (const vb::ComError& error) {
        reportLine(console, "error " + std::to_string(error.number) + ": " + error.description);
        return kFailed;
    } catch (const std::exception& error) {
        reportLine(console, error.what());
        return kFailed;
    }
}

}  // namespace velm::host
