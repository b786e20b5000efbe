#include "host/cli/commands/RunCommand.h"

#include "host/cli/VisitOptions.h"
#include "host/driver/InputFiles.h"
#include "host/driver/Json.h"
#include "host/live/HeadlessChromium.h"
#include "host/live/LiveServer.h"
#include "host/live/LiveVisit.h"
#include "host/visit/RunScript.h"
#include "host/visit/ViewText.h"
#include "host/visit/Visit.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
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

// A picture is as wide and tall as a driver's screen; the page's stage is cut out of it.
constexpr int kBrowserWidth = 1600;
constexpr int kBrowserHeight = 1200;

// Prints snapshots and reports missing targets of a visit as the command line does.
void reportTo(Visit& visit, const ViewPrinter& printer, Console& console)
{
    visit.session().support().setErrorStream(&console.err);
    visit.onMissing = [&console](const RunAction& action, const std::string& missing) {
        console.err << "velm-host: script line " << action.line << ": " << missing << ": " << action.source
                    << std::endl;
    };
    visit.onSnapshot = [&printer](const RunAction& action, const nlohmann::ordered_json& view) {
        printer.print(view, "snapshot at line " + std::to_string(action.line));
    };
}

// Opens the visit and performs the script, settling after each step; the view at the end.
nlohmann::ordered_json play(Visit& visit, const RunScript& script, const ViewPrinter& printer,
                            const std::function<void()>& settle)
{
    if (!visit.open()) {
        printer.print(visit.view(), "the item failed to initialise");
        throw std::runtime_error("the item failed to initialise");
    }
    settle();
    for (const auto& action : script.actions()) {
        visit.perform(action);
        settle();
    }
    auto finalView = visit.finalView();
    settle();
    return finalView;
}

void writePng(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out)
        throw UsageError("--png: cannot write " + path);
}

// The same visit with every document in the live page of a headless Chromium, so that the
// layout runs on the browser's heights, and a picture of the stage at the end.
void runInBrowser(const RunOptions& options, Console& console, const RunScript& script, const ViewPrinter& printer)
{
    VisitSettings settings = visitSettings(options, console);
    LiveServer server(LiveVisit::serverSettings(settings, 0));
    LiveVisit live(server, std::move(settings));
    live.answerInPage(false);
    reportTo(live.visit(), printer, console);
    HeadlessChromium chromium(kBrowserWidth, kBrowserHeight);
    const auto pump = [&live] { live.pumpOnce(); };
    chromium.open(server.pageUrl(), pump);
    if (!live.waitForPage(std::chrono::milliseconds(HeadlessChromium::kCommandTimeoutMs)))
        throw UsageError("--png: the page did not open in Chromium");
    auto finalView = play(live.visit(), script, printer, [&live] { live.settle(); });
    const auto stage = chromium.evaluate("(() => { document.body.classList.add('picture');"
                                         " const r = document.getElementById('stage').getBoundingClientRect(); return "
                                         "[r.left, r.top, r.width, r.height]; })()",
                                         pump);
    if (!stage.is_array() || stage.size() != 4)
        throw UsageError("--png: the page has no stage to picture");
    writePng(options.pngPath, chromium.screenshot(stage[0], stage[1], stage[2], stage[3], pump));
    finalView["png"] = std::filesystem::absolute(options.pngPath).string();
    printer.print(finalView, "at the end");
}

void run(const RunOptions& options, Console& console)
{
    const RunScript script = parsedScript(options, console);
    const ViewPrinter printer(console.out, options.json);
    if (!options.pngPath.empty())
        return runInBrowser(options, console, script, printer);
    Visit visit(visitSettings(options, console));
    reportTo(visit, printer, console);
    printer.print(play(visit, script, printer, [] {}), "at the end");
}

}  // namespace

void addRunCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<RunOptions>();
    auto* command = app.add_subcommand("run", "Run one scripted visit of an item and print what the candidate sees.");
    options->visit.addTo(*command);
    command->add_option("--script", options->scriptPath, "The visit script, one action a line; - for standard input.");
    command->add_option("--answer", options->answer, "How message boxes are answered until the script says otherwise.")
        ->check(CLI::IsMember({"ok", "cancel"}));
    command->add_flag("--json", options->json, "One JSON object a line, per snapshot and at the end.");
    command->add_option("--png", options->pngPath,
                        "Runs the visit in headless Chromium (its documents measured there) and writes a picture of "
                        "the screen at the end.");
    command->callback([options, &console] { run(*options, console); });
}

}  // namespace velm::host
