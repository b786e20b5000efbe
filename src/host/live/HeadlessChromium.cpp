#include "host/live/HeadlessChromium.h"

#include "host/driver/InputFiles.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace velm::host {
namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kCommandIn = 3;
constexpr int kAnswersOut = 4;

std::string chromiumProgram()
{
    const char* named = std::getenv("VELM_CHROMIUM");
    return named && *named ? named : "chromium-headless-shell";
}

std::filesystem::path scratchProfile()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "velm-chromium-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw UsageError("--png: cannot create a profile folder for Chromium");
    return pattern;
}

int sixBits(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

}  // namespace

HeadlessChromium::HeadlessChromium(int width, int height) : profile_(scratchProfile())
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        throw UsageError("--png: cannot make a pipe to Chromium");
    std::vector<std::string> arguments = {chromiumProgram(),
                                          "--headless",
                                          "--remote-debugging-pipe",
                                          "--disable-gpu",
                                          "--hide-scrollbars",
                                          "--no-first-run",
                                          "--window-size=" + std::to_string(width) + "," + std::to_string(height),
                                          "--user-data-dir=" + profile_.string(),
                                          "about:blank"};
    // Chromium's sandbox refuses to start for the superuser.
    if (geteuid() == 0)
        arguments.insert(arguments.begin() + 1, "--no-sandbox");
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], kCommandIn);
    posix_spawn_file_actions_adddup2(&actions, ends[1], kAnswersOut);
    // Chromium talks a lot on both streams; none of it belongs in the driver's output.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int started = posix_spawnp(&child_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    socket_ = ends[0];
    if (started != 0) {
        close(socket_);
        std::filesystem::remove_all(profile_);
        throw UsageError("--png: cannot start " + arguments[0]);
    }
}

HeadlessChromium::~HeadlessChromium()
{
    if (socket_ >= 0) {
        sendCommand({{"id", ++lastId_}, {"method", "Browser.close"}});
        close(socket_);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (waitpid(child_, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(child_, SIGKILL);
            waitpid(child_, &status, 0);
            break;
        }
        usleep(20'000);
    }
    std::error_code ignored;
    std::filesystem::remove_all(profile_, ignored);
}

void HeadlessChromium::sendCommand(const json& command)
{
    std::string text = command.dump();
    text.push_back('\0');
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t written = send(socket_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (written <= 0)
            throw UsageError("--png: Chromium stopped listening");
        sent += static_cast<std::size_t>(written);
    }
}

// False once Chromium has closed its end.
bool HeadlessChromium::readAvailable()
{
    pollfd ready = {socket_, POLLIN, 0};
    if (poll(&ready, 1, 5) <= 0)
        return true;
    char buffer[65536];
    const ssize_t count = recv(socket_, buffer, sizeof buffer, 0);
    if (count <= 0)
        return false;
    received_.append(buffer, static_cast<std::size_t>(count));
    return true;
}

json HeadlessChromium::call(const std::string& method, json params, const Pump& pump)
{
    json command = {{"id", ++lastId_}, {"method", method}, {"params", std::move(params)}};
    if (!sessionId_.empty())
        command["sessionId"] = sessionId_;
    sendCommand(command);
    const auto deadline = Clock::now() + std::chrono::milliseconds(kCommandTimeoutMs);
    while (Clock::now() < deadline) {
        for (auto end = received_.find('\0'); end != std::string::npos; end = received_.find('\0')) {
            auto answer = json::parse(received_.substr(0, end), nullptr, false);
            received_.erase(0, end + 1);
            if (answer.is_discarded() || answer.value("id", std::int64_t{-1}) != lastId_)
                continue;
            if (answer.contains("error"))
                throw UsageError("--png: Chromium refused " + method + ": " + answer["error"].value("message", ""));
            return answer.value("result", json::object());
        }
        if (!readAvailable())
            throw UsageError("--png: Chromium ended before answering " + method);
        pump();
    }
    throw UsageError("--png: Chromium did not answer " + method + " in time");
}

void HeadlessChromium::open(const std::string& url, const Pump& pump)
{
    const auto target = call("Target.createTarget", {{"url", url}}, pump);
    const auto attached =
        call("Target.attachToTarget", {{"targetId", target.value("targetId", "")}, {"flatten", true}}, pump);
    sessionId_ = attached.value("sessionId", "");
}

json HeadlessChromium::evaluate(const std::string& expression, const Pump& pump)
{
    const auto result = call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}}, pump);
    return result.contains("result") ? result["result"].value("value", json()) : json();
}

std::string HeadlessChromium::screenshot(double left, double top, double width, double height, const Pump& pump)
{
    const json clip = {{"x", left}, {"y", top}, {"width", width}, {"height", height}, {"scale", 1}};
    const auto result = call("Page.captureScreenshot", {{"format", "png"}, {"clip", clip}}, pump);
    return decodeBase64(result.value("data", ""));
}

std::string HeadlessChromium::decodeBase64(std::string_view text)
{
    std::string bytes;
    unsigned int bits = 0;
    int held = 0;
    for (const char c : text) {
        const int value = sixBits(c);
        if (value < 0)
            continue;
        bits = (bits << 6) | static_cast<unsigned int>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<char>((bits >> held) & 0xFF));
        }
    }
    return bytes;
}

}  // namespace velm::host
