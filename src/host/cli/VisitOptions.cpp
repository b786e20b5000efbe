#include "host/cli/VisitOptions.h"

#include "host/driver/InputFiles.h"

#include <CLI/CLI.hpp>

#include <cstdlib>

namespace velm::host {

std::filesystem::path defaultRunSupportDir()
{
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache)
        return std::filesystem::path(cache) / "velm" / "support";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".cache" / "velm" / "support";
    return privateTempFolder("velm") / "support";
}

void VisitOptions::addTo(CLI::App& command)
{
    item.addTo(command);
    // A real driver keeps its support folder, and with it the frame bitmaps, between visits.
    command.get_option("--support-dir")
        ->description("The driver's support-file folder; $XDG_CACHE_HOME/velm/support/ without it.");
    command.add_option("--resources", resourceDir,
                       "The item's resource folder (images); the item's own folder without it.");
    command.add_option("--case-dir", caseDir, "Where the case files the item names are found, after the resources.")
        ->check(CLI::ExistingDirectory);
    command.add_option("--options", options,
                       "The option bits of the initialisation (1 read-only, 16 show answers, 256 calculator).");
    command.add_option("--rect", rect, "The rectangle of the first show, L,T,W,H in twips.");
    command.add_option("--state-in", stateInPath,
                       "A State element (XML, UTF-8) handed back right after the first show.");
}

VisitSettings VisitOptions::settings(Console& console) const
{
    VisitSettings settings;
    if (!parseRect(rect, settings.rect))
        throw UsageError("--rect: a rectangle is L,T,W,H in twips, W and H not negative: " + rect);
    ItemOptions itemOptions = item;
    if (itemOptions.supportDir.empty())
        itemOptions.supportDir = defaultRunSupportDir().string();
    settings.session = itemOptions.settings(console);
    if (!resourceDir.empty())
        settings.session.resourceDir = std::filesystem::absolute(resourceDir);
    if (!caseDir.empty())
        settings.session.caseDir = std::filesystem::absolute(caseDir);
    settings.itemXml = itemOptions.itemText(console);
    if (!stateInPath.empty())
        settings.stateIn = readInputText(stateInPath, console);
    settings.options = options;
    return settings;
}

}  // namespace velm::host
