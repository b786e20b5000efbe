#include "host/cli/commands/DemoCommand.h"

#include "host/cli/ItemOptions.h"
#include "host/driver/InputFiles.h"
#include "host/driver/ItemStart.h"
#include "vb/Text.h"
#include "velm/DataIO.h"

#include <CLI/CLI.hpp>

#include <memory>

namespace velm::host {
namespace {

struct DemoOptions {
    ItemOptions item;
    std::string statePath;
};

struct Layout {
    const char* code;
    const char* name;
};

// The three layouts a driver can ask for through the item's "ResponseType".
constexpr Layout kLayouts[] = {{"S", "short list"}, {"N", "native XML"}, {"X", "answer list"}};

std::string withResponseType(const std::string& itemText, const char* code)
{
    velm::DataIO item;
    item.LoadXml(itemText);
    item.MoveToRoot();
    item.SetAttribute("ResponseType", code);
    return item.GetXml();
}

void printWindow(Session& session, Console& console)
{
    auto& windows = platform::WindowSystem::instance();
    const auto handle = session.display().hwnd();
    console.out << "item window: handle " << handle << ", "
                << (windows.parentOf(handle) == session.driverWindow() ? "inside" : "outside")
                << " the driver's window, " << (windows.isVisible(handle) ? "visible" : "hidden") << '\n';
}

void printLayouts(const DemoOptions& options, const std::string& itemText, const vb::ByteArray& state, Console& console)
{
    console.out << "responses:\n";
    for (const auto& layout : kLayouts) {
        Session session(options.item.settings(console));
        startItem(session, withResponseType(itemText, layout.code));
        session.restoreState(state);
        console.out << "  " << layout.name << " (ResponseType " << layout.code << ")\n"
                    << "    key:       " << session.response(0).second << '\n'
                    << "    candidate: " << session.response(1).second << '\n';
    }
}

void printScore(Session& session, Console& console)
{
    const auto score = session.score();
    const auto info = session.scoreInfo();
    console.out << "answer status: " << session.status() << '\n'
                << "score: correct " << score.correct << ", incorrect " << score.incorrect << ", not attempted "
                << score.notAttempted << ", not scored " << score.notScored << ", raw " << score.raw << '\n'
                << "score range: " << info.items << " item, " << info.min << " to " << info.max << '\n';
}

void demo(const DemoOptions& options, Console& console)
{
    const std::string itemText = options.item.itemText(console);
    const std::string stateIn = options.statePath.empty() ? std::string() : readInputText(options.statePath, console);
    Session session(options.item.settings(console));
    startItem(session, itemText);
    console.out << "created " << Session::kMultipleChoiceProgId << " by its programmatic name\n"
                << "initialised: yes\n";
    session.display().ShowExternalDisplay(0, 0, 9000, 6000);
    session.runUntilIdle();
    printWindow(session, console);
    if (!options.statePath.empty())
        session.restoreState(vb::bytesFromText(stateIn));
    const auto state = session.saveState();
    console.out << "state (" << state.size() << " bytes): " << stateTextOf(state) << '\n';
    printLayouts(options, itemText, state, console);
    printScore(session, console);
    session.free();
    console.out << "driver's log:\n" << session.support().logJsonLines();
}

}  // namespace

void addDemoCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<DemoOptions>();
    auto* command = app.add_subcommand("demo", "Run one visit of an item and tell what the driver sees.");
    options->item.addTo(*command);
    command->add_option("--state", options->statePath, "A State element (XML, UTF-8) to restore after showing.");
    command->callback([options, &console] { demo(*options, console); });
}

}  // namespace velm::host
