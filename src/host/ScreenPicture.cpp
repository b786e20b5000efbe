#include "host/ScreenPicture.h"

#include "host/InputFiles.h"
#include "host/Json.h"
#include "host/LivePage.h"
#include "host/PageBrowserEngine.h"
#include "host/ScreenJson.h"
#include "platform/WebBrowser.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <thread>
#include <vector>

extern char** environ;

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;

constexpr auto kChromiumTimeout = std::chrono::seconds(60);
constexpr std::string_view kScriptStart = "<script>";

// The right and bottom edges of the shown windows, in CSS pixels.
void extendBy(const json& windows, double left, double top, double& width, double& height)
{
    for (const auto& window : windows) {
        if (!window.value("visible", false) || !window.contains("width"))
            continue;
        const double windowLeft = left + window["left"].get<double>();
        const double windowTop = top + window["top"].get<double>();
        width = std::max(width, windowLeft + window["width"].get<double>());
        height = std::max(height, windowTop + window["height"].get<double>());
        extendBy(window["windows"], windowLeft, windowTop, width, height);
    }
}

std::string chromiumProgram()
{
    const char* named = std::getenv("VELM_CHROMIUM");
    return named && *named ? named : "chromium-headless-shell";
}

// Runs the program and waits for it; false when it could not start, failed or took too long.
bool runToEnd(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // Chromium talks a lot on both streams; none of it belongs in the driver's output.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started = posix_spawnp(&child, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (started != 0)
        return false;
    const auto deadline = std::chrono::steady_clock::now() + kChromiumTimeout;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A folder of its own for the page, removed when the picture is taken.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "velm-picture-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw UsageError("cannot create a folder for the picture's page");
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

json screenSnapshot(platform::WindowHandle driverWindow)
{
    std::map<const platform::WebBrowser*, std::string> names;
    auto loads = json::array();
    const auto frameOf = [&names, &loads](const platform::WebBrowser& browser) {
        auto& name = names[&browser];
        if (name.empty()) {
            name = "f" + std::to_string(names.size());
            loads.push_back(PageBrowserEngine::loadMessage(browser, name, browser.loadCount()));
        }
        return name;
    };
    json snapshot = {{"screen", screenJson(driverWindow, frameOf)}};
    snapshot["loads"] = std::move(loads);
    double width = 0;
    double height = 0;
    extendBy(snapshot["screen"]["windows"], 0, 0, width, height);
    snapshot["width"] = static_cast<std::int32_t>(std::ceil(std::max(width, 1.0)));
    snapshot["height"] = static_cast<std::int32_t>(std::ceil(std::max(height, 1.0)));
    return snapshot;
}

std::string picturePageHtml(const json& snapshot)
{
    std::string page(livePageHtml());
    std::string data = jsonText(snapshot);
    // The data sits inside a script element, which the first "</" would end.
    for (std::size_t at = data.find("</"); at != std::string::npos; at = data.find("</", at + 3))
        data.replace(at, 2, "<\\/");
    const auto script = page.rfind(kScriptStart);
    page.insert(script == std::string::npos ? page.size() : script, "<script>window.VELM_SNAPSHOT=" + data + ";</script>\n");
    return page;
}

void writeScreenPicture(const json& snapshot, const std::filesystem::path& png)
{
    const ScratchFolder folder;
    const auto page = folder.path() / "picture.html";
    std::ofstream out(page, std::ios::binary);
    out << picturePageHtml(snapshot);
    out.close();
    if (!out)
        throw UsageError("cannot write the picture's page " + page.string());
    const auto target = std::filesystem::absolute(png);
    std::error_code ignored;
    std::filesystem::remove(target, ignored);
    std::vector<std::string> arguments = {chromiumProgram(), "--headless", "--disable-gpu", "--hide-scrollbars",
                                          "--screenshot=" + target.string(),
                                          "--window-size=" + std::to_string(snapshot["width"].get<int>()) + ","
                                              + std::to_string(snapshot["height"].get<int>()),
                                          "--virtual-time-budget=3000", "file://" + page.string()};
    // Chromium's sandbox refuses to start for the superuser.
    if (geteuid() == 0)
        arguments.insert(arguments.begin() + 1, "--no-sandbox");
    if (!runToEnd(arguments) || !std::filesystem::is_regular_file(target))
        throw UsageError("--png: " + arguments[0] + " did not write " + target.string());
}

}  // namespace velm::host
