#pragma once

#include <nlohmann/json.hpp>

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace velm::host {

// A headless Chromium (the program named by $VELM_CHROMIUM, else chromium-headless-shell)
// driven over its DevTools pipe: JSON commands on descriptor 3, answers on 4, each ended by a
// NUL. While a command waits for its answer the caller's pump runs, so that a page served by
// the same thread keeps being served.
class HeadlessChromium {
public:
    using Pump = std::function<void()>;

    // How long one command may wait for its answer.
    static constexpr int kCommandTimeoutMs = 30'000;

    // Starts it with a window of that size in CSS pixels; UsageError when it cannot.
    HeadlessChromium(int width, int height);
    // Closes the browser and waits for it.
    ~HeadlessChromium();
    HeadlessChromium(const HeadlessChromium&) = delete;
    HeadlessChromium& operator=(const HeadlessChromium&) = delete;

    // Opens url in a new page, which later commands act on.
    void open(const std::string& url, const Pump& pump);
    // The value of a JavaScript expression in the page (JSON-serialisable).
    nlohmann::json evaluate(const std::string& expression, const Pump& pump);
    // The PNG bytes of that rectangle of the page, in CSS pixels.
    std::string screenshot(double left, double top, double width, double height, const Pump& pump);

    // The bytes a base64 text stands for; characters outside the alphabet are skipped.
    static std::string decodeBase64(std::string_view text);

private:
    nlohmann::json call(const std::string& method, nlohmann::json params, const Pump& pump);
    void sendCommand(const nlohmann::json& command);
    bool readAvailable();

    std::filesystem::path profile_;
    pid_t child_ = 0;
    int socket_ = -1;
    std::string received_;
    std::int64_t lastId_ = 0;
    std::string sessionId_;
};

}  // namespace velm::host
