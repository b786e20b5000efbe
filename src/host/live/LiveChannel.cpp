#include "host/live/LiveChannel.h"

#include "host/driver/Json.h"

namespace velm::host {
namespace {

constexpr auto kPumpSlice = std::chrono::milliseconds(10);

}  // namespace

LiveChannel::LiveChannel(LiveServer& server)
    : server_(server)
{
    server_.onMessage = [this](std::string text) { receive(text); };
    server_.onClientOpened = [this] { inbox_.push_back({{"type", "open"}}); };
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
        send({{"type", "error"}, {"message", "not a JSON object with a type: " + text.substr(0, 200)}});
        return;
    }
    inbox_.push_back(std::move(message));
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
    auto message = std::move(inbox_.front());
    inbox_.pop_front();
    return message;
}

std::optional<nlohmann::ordered_json> LiveChannel::takeMatching(const Matcher& matches)
{
    for (auto it = inbox_.begin(); it != inbox_.end(); ++it) {
        if (!matches(*it))
            continue;
        auto message = std::move(*it);
        inbox_.erase(it);
        return message;
    }
    return std::nullopt;
}

std::optional<nlohmann::ordered_json> LiveChannel::waitFor(const Matcher& matches, std::optional<std::chrono::milliseconds> timeout)
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
