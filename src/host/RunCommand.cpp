#include "host/RunCommand.h"

#include "host/InputFiles.h"
#include "host/Json.h"
#include "host/RunScript.h"
#include "host/ScreenPicture.h"
#include "host/ViewText.h"
#include "host/Visit.h"
#include "host/VisitOptions.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace velm::host {
namespace {

struct RunOptions {
    VisitOptions visit;
    std::string scriptPath;
    std::string answer = "ok";
    bool json = false;
    std::string pngPath;
};

// What prints a view: a JSON object on one line, or the text for a person.
class ViewPrinter {
public:
    ViewPrinter(std::ostream& out, bool json) : out_(out), json_(json) {}

    void print(const nlohmann::ordered_json& view, const std::string& heading) const
    {
        if (json_)
            out_ << jsonText(view) << std::endl;
        else
            out_ << viewText(view, heading) << std::endl;
    }

private:
    std::ostream& out_;
    bool json_;
};

std::string scriptText(const RunOptions& options, Console& console)
{
    if (options.scriptPath.empty())
        return {};
    return readInputText(options.scriptPath, console);
}

RunScript parsedScript(const RunOptions& options, Console& console)
{
    try {
        return RunScript::parse(scriptText(options, console));
    } catch (const ScriptError& error) {
        throw UsageError(error.what());
    }
}

VisitSettings visitSettings(const RunOptions& options, Console& console)
{
    VisitSettings settings = options.visit.settings(console);
    settings.answerOk = options.answer == "ok";
    return settings;
}

void run(const RunOptions& options, Console& console)
{
    const RunScript script = parsedScript(options, console);
    Visit visit(visitSettings(options, console));
    const ViewPrinter printer(console.out, options.json);
    visit.session().support().setErrorStream(&console.err);
    visit.onMissing = [&console](const RunAction& action, const std::string& missing) {
        console.err << "velm-host: script line " << action.line << ": " << missing << ": " << action.source << std::endl;
    };
    visit.onSnapshot = [&printer](const RunAction& action, const nlohmann::ordered_json& view) {
        printer.print(view, "snapshot at line " + std::to_string(action.line));
    };
    if (!visit.open()) {
        printer.print(visit.view(), "the item failed to initialise");
        throw std::runtime_error("the item failed to initialise");
    }
    for (const auto& action : script.actions())
        visit.perform(action);
    auto finalView = visit.finalView();
    if (!options.pngPath.empty()) {
        writeScreenPicture(screenSnapshot(visit.session().driverWindow()), options.pngPath);
        finalView["png"] = std::filesystem::absolute(options.pngPath).string();
    }
    printer.print(finalView, "at the end");
}

}  // namespace

std::filesystem::path defaultRunSupportDir()
{
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        return std::filesystem::path(cache) / "velm" / "support";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".cache" / "velm" / "support";
    return std::filesystem::temp_directory_path() / "velm" / "support";
}

void addRunCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<RunOptions>();
    auto* command = app.add_subcommand("run", "Run one scripted visit of an item and print what the candidate sees.");
    options->visit.addTo(*command);
    command->add_option("--script", options->scriptPath, "The visit script, one action a line; - for standard input.");
    command->add_option("--answer", options->answer, "How message boxes are answered until the script says otherwise.")
        ->check(CLI::IsMember({"ok", "cancel"}));
    command->add_flag("--json", options->json, "One JSON object a line, per snapshot and at the end.");
    command->add_option("--png", options->pngPath, "After the script, a picture of the screen drawn by headless Chromium.");
    command->callback([options, &console] { run(*options, console); });
}

}  // namespace velm::host
