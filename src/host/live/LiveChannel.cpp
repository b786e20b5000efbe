#include "host/live/LiveChannel.h"

#include "host/driver/Json.h"

namespace velm::host {
namespace {

constexpr auto kPumpSlice = std::chrono::milliseconds(10);
// What the page may have said before the visit takes it: far more than a person clicks while a
// message box waits.
constexpr std::size_t kInboxLimit = 8UL * 1024 * 1024;
constexpr std::size_t kEchoLimit = 200;

}  // namespace

LiveChannel::LiveChannel(LiveServer& server) : server_(server)
{
    server_.onMessage = [this](const std::string& text) { receive(text); };
    server_.onClientOpened = [this] { inbox_.push_back({{{"type", "open"}}, 0}); };
}

LiveChannel::~LiveChannel()
{
    server_.onMessage = nullptr;
    server_.onClientOpened = nullptr;
}

// A message the page should never send is answered, and the visit goes on without it.
void LiveChannel::receive(const std::string& text)
{
    auto message = nlohmann::ordered_json::parse(text, nullptr, false);
    if (message.is_discarded() || !message.is_object() || !message.contains("type") || !message["type"].is_string()) {
        send({{"type", "error"}, {"message", "not a JSON object with a type: " + text.substr(0, kEchoLimit)}});
        return;
    }
    if (inboxBytes_ + text.size() > kInboxLimit) {
        send({{"type", "error"}, {"message", "the driver is busy; dropped a message: " + text.substr(0, kEchoLimit)}});
        return;
    }
    inboxBytes_ += text.size();
    inbox_.push_back({std::move(message), text.size()});
}

void LiveChannel::send(const nlohmann::ordered_json& message)
{
    server_.send(jsonText(message));
}

void LiveChannel::pump(std::chrono::milliseconds timeout)
{
    server_.runFor(timeout);
}

std::optional<nlohmann::ordered_json> LiveChannel::take()
{
    if (inbox_.empty())
        return std::nullopt;
    return taken(inbox_.begin());
}

nlohmann::ordered_json LiveChannel::taken(const std::deque<Waiting>::iterator& waiting)
{
    auto message = std::move(waiting->message);
    inboxBytes_ -= waiting->bytes;
    inbox_.erase(waiting);
    return message;
}

std::optional<nlohmann::ordered_json> LiveChannel::takeMatching(const Matcher& matches)
{
    for (auto it = inbox_.begin(); it != inbox_.end(); ++it) {
        if (matches(it->message))
            return taken(it);
    }
    return std::nullopt;
}

std::optional<nlohmann::ordered_json> LiveChannel::waitFor(const Matcher& matches,
                                                           std::optional<std::chrono::milliseconds> timeout)
{
    const auto deadline = Clock::now() + timeout.value_or(std::chrono::milliseconds(0));
    while (true) {
        if (auto message = takeMatching(matches))
            return message;
        if (!hasPage() || (timeout && Clock::now() >= deadline))
            return std::nullopt;
        pump(kPumpSlice);
    }
}

}  // namespace velm::host
