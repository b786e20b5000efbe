#pragma once

#include "host/live/LiveServer.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace velm::host {

// The JSON conversation with the live page over a LiveServer: messages received are kept in
// order until taken, so that a call waiting for one answer (a message box, a height) leaves the
// candidate's other actions for later, up to a limit past which they are answered and dropped.
// A page that opens arrives as {"type":"open"}.
class LiveChannel {
public:
    using Clock = std::chrono::steady_clock;
    using Matcher = std::function<bool(const nlohmann::ordered_json& message)>;

    explicit LiveChannel(LiveServer& server);
    ~LiveChannel();
    LiveChannel(const LiveChannel&) = delete;
    LiveChannel& operator=(const LiveChannel&) = delete;

    // Sends message to every open page.
    void send(const nlohmann::ordered_json& message);
    // Sends a message already written as JSON text.
    void sendText(std::string text) { server_.send(std::move(text)); }
    // Runs the server for up to timeout, keeping what arrives.
    void pump(std::chrono::milliseconds timeout);
    // The oldest message not yet taken; empty when there is none.
    std::optional<nlohmann::ordered_json> take();
    // Pumps until a message that matches arrives and takes it, leaving the others in order;
    // empty once the timeout has passed (none: no limit) or no page is open.
    std::optional<nlohmann::ordered_json> waitFor(const Matcher& matches,
                                                  std::optional<std::chrono::milliseconds> timeout);
    // Whether a page is open.
    bool hasPage() const { return server_.clientCount() > 0; }
    // Lets the page load the files a document refers to.
    void permitReferencesIn(std::string_view html) { server_.permitReferencesIn(html); }

private:
    struct Waiting {
        nlohmann::ordered_json message;
        std::size_t bytes = 0;
    };

    std::optional<nlohmann::ordered_json> takeMatching(const Matcher& matches);
    nlohmann::ordered_json taken(const std::deque<Waiting>::iterator& waiting);
    void receive(const std::string& text);

    LiveServer& server_;
    std::deque<Waiting> inbox_;
    std::size_t inboxBytes_ = 0;
};

}  // namespace velm::host
