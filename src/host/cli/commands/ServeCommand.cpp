#include "host/cli/commands/ServeCommand.h"

#include "host/cli/VisitOptions.h"
#include "host/driver/InputFiles.h"
#include "host/live/LiveServer.h"
#include "host/live/LiveVisit.h"

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
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
std::atomic<pid_t> browserChild{0};

extern "C" void requestStop(int)
{
    stopRequested = true;
}

extern "C" void reapBrowser(int)
{
    const int saved = errno;
    const pid_t child = browserChild;
    if (child > 0 && waitpid(child, nullptr, WNOHANG) == child)
        browserChild = 0;
    errno = saved;
}

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

// A page only this user can read that sends the browser on to the address, so that the token
// never stands in a command line, which every local user can read.
class RedirectPage {
public:
    explicit RedirectPage(const std::string& url)
    {
        std::string folder = (std::filesystem::temp_directory_path() / "velm-open-XXXXXX").string();
        if (!mkdtemp(folder.data()))
            return;
        folder_ = folder;
        const auto file = folder_ / "open.html";
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0)
            return;
        const std::string page =
            "<!DOCTYPE html><meta charset=\"utf-8\"><meta name=\"referrer\" content=\"no-referrer\">"
            "<meta http-equiv=\"refresh\" content=\"0;url="
            + url + "\"><title>velm-host</title>\n";
        const bool written = ::write(fd, page.data(), page.size()) == static_cast<ssize_t>(page.size());
        if (::close(fd) == 0 && written)
            file_ = file;
    }
    ~RedirectPage()
    {
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }
    RedirectPage(const RedirectPage&) = delete;
    RedirectPage& operator=(const RedirectPage&) = delete;

    // The page's file: address; empty when it could not be written.
    std::string address() const { return file_.empty() ? std::string() : "file://" + file_.string(); }

private:
    std::filesystem::path folder_;
    std::filesystem::path file_;
};

// The started browser is waited for as soon as it ends, for as long as the serving lasts.
class ReapedBrowser {
public:
    ReapedBrowser()
    {
        struct sigaction action = {};
        action.sa_handler = reapBrowser;
        action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
        sigemptyset(&action.sa_mask);
        sigaction(SIGCHLD, &action, &oldChild_);
    }
    ~ReapedBrowser()
    {
        sigaction(SIGCHLD, &oldChild_, nullptr);
        browserChild = 0;
    }
    ReapedBrowser(const ReapedBrowser&) = delete;
    ReapedBrowser& operator=(const ReapedBrowser&) = delete;

    // Starts chromium on the address; false when it cannot be started.
    bool start(const std::string& address)
    {
        const char* argv[] = {"chromium", address.c_str(), nullptr};
        pid_t child = 0;
        if (posix_spawnp(&child, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0)
            return false;
        browserChild = child;
        // It may have ended before its number was known to the handler.
        reapBrowser(SIGCHLD);
        return true;
    }

private:
    struct sigaction oldChild_ = {};
};

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
    auto serverSettings = LiveVisit::serverSettings(settings, options.port);
    if (options.visit.item.itemPath != "-")
        serverSettings.withheldFiles.push_back(options.visit.item.itemPath);
    const auto server = listen(std::move(serverSettings));
    LiveVisit live(*server, std::move(settings));
    live.visit().session().support().setErrorStream(&console.err);
    if (!live.open())
        throw std::runtime_error("the item failed to initialise");
    const StopOnSignals stopOnSignals;
    console.out << server->pageUrl() << std::endl;
    std::optional<RedirectPage> redirect;
    ReapedBrowser browser;
    if (options.open) {
        redirect.emplace(server->pageUrl());
        if (redirect->address().empty() || !browser.start(redirect->address()))
            console.err << "velm-host: cannot start chromium; open " << server->pageUrl() << " yourself" << std::endl;
    }
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
