#include "host/RunCommand.h"

#include "host/InputFiles.h"
#include "host/ItemOptions.h"
#include "host/Json.h"
#include "host/RunScript.h"
#include "host/ViewText.h"
#include "host/Visit.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace velm::host {
namespace {

struct RunOptions {
    ItemOptions item;
    std::string resourceDir;
    std::string caseDir;
    std::int32_t options = 0;
    std::string rect = "0,0,9000,6000";
    std::string scriptPath;
    std::string stateInPath;
    std::string answer = "ok";
    bool json = false;
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

VisitSettings visitSettings(RunOptions options, Console& console)
{
    VisitSettings settings;
    if (!parseRect(options.rect, settings.rect))
        throw UsageError("--rect: a rectangle is L,T,W,H in twips, W and H not negative: " + options.rect);
    if (options.item.supportDir.empty())
        options.item.supportDir = defaultRunSupportDir().string();
    settings.session = options.item.settings(console);
    if (!options.resourceDir.empty())
        settings.session.resourceDir = std::filesystem::absolute(options.resourceDir);
    if (!options.caseDir.empty())
        settings.session.caseDir = std::filesystem::absolute(options.caseDir);
    settings.itemXml = options.item.itemText(console);
    if (!options.stateInPath.empty())
        settings.stateIn = readInputText(options.stateInPath, console);
    settings.options = options.options;
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
    printer.print(visit.finalView(), "at the end");
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
    options->item.addTo(*command);
    // A real driver keeps its support folder, and with it the frame bitmaps, between visits.
    command->get_option("--support-dir")->description("The driver's support-file folder; $XDG_CACHE_HOME/velm/support/ without it.");
    command->add_option("--resources", options->resourceDir, "The item's resource folder (images); the item's own folder without it.");
    command->add_option("--case-dir", options->caseDir, "Where the case files the item names are found, after the resources.")
        ->check(CLI::ExistingDirectory);
    command->add_option("--options", options->options, "The option bits of the initialisation (1 read-only, 16 show answers, 256 calculator).");
    command->add_option("--rect", options->rect, "The rectangle of the first show, L,T,W,H in twips.");
    command->add_option("--script", options->scriptPath, "The visit script, one action a line; - for standard input.");
    command->add_option("--state-in", options->stateInPath, "A State element (XML, UTF-8) handed back right after the first show.");
    command->add_option("--answer", options->answer, "How message boxes are answered until the script says otherwise.")
        ->check(CLI::IsMember({"ok", "cancel"}));
    command->add_flag("--json", options->json, "One JSON object a line, per snapshot and at the end.");
    command->callback([options, &console] { run(*options, console); });
}

}  // namespace velm::host
