#include "host/cli/commands/ServeCommand.h"

#include "host/driver/InputFiles.h"
#include "host/live/LiveServer.h"
#include "host/live/LiveVisit.h"
#include "host/cli/VisitOptions.h"

#include <CLI/CLI.hpp>

#include <spawn.h>

#include <atomic>
#include <csignal>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace velm::host {
namespace {

struct ServeOptions {
    VisitOptions visit;
    std::uint16_t port = 0;
    bool open = false;
};

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int) { stopRequested = true; }

// Ends the serving loop on Ctrl+C or a polite kill, and puts the old handlers back afterwards.
class StopOnSignals {
public:
    StopOnSignals()
    {
        stopRequested = false;
        struct sigaction action = {};
        action.sa_handler = requestStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &oldInterrupt_);
        sigaction(SIGTERM, &action, &oldTerminate_);
    }
    ~StopOnSignals()
    {
        sigaction(SIGINT, &oldInterrupt_, nullptr);
        sigaction(SIGTERM, &oldTerminate_, nullptr);
    }
    StopOnSignals(const StopOnSignals&) = delete;
    StopOnSignals& operator=(const StopOnSignals&) = delete;

private:
    struct sigaction oldInterrupt_ = {};
    struct sigaction oldTerminate_ = {};
};

void openBrowser(const std::string& url, Console& console)
{
    const char* argv[] = {"chromium", url.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
        console.err << "velm-host: cannot start chromium; open " << url << " yourself" << std::endl;
}

std::unique_ptr<LiveServer> listen(LiveServerSettings settings)
{
    try {
        return std::make_unique<LiveServer>(std::move(settings));
    } catch (const std::runtime_error& error) {
        throw UsageError(std::string("--port: ") + error.what());
    }
}

void serve(const ServeOptions& options, Console& console)
{
    VisitSettings settings = options.visit.settings(console);
    const auto server = listen(LiveVisit::serverSettings(settings, options.port));
    LiveVisit live(*server, std::move(settings));
    live.visit().session().support().setErrorStream(&console.err);
    if (!live.open())
        throw std::runtime_error("the item failed to initialise");
    const StopOnSignals stopOnSignals;
    console.out << server->pageUrl() << std::endl;
    if (options.open)
        openBrowser(server->pageUrl(), console);
    live.serve(stopRequested);
}

}  // namespace

void addServeCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<ServeOptions>();
    auto* command = app.add_subcommand("serve", "Serve one visit of an item live in a browser on 127.0.0.1.");
    options->visit.addTo(*command);
    command->add_option("--port", options->port, "The port on 127.0.0.1; a free one without it.");
    command->add_flag("--open", options->open, "Open the page in chromium.");
    command->callback([options, &console] { serve(*options, console); });
}

}  // namespace velm::host
