#include "host/live/LiveVisit.h"

#include "host/driver/Json.h"
#include "host/live/LivePage.h"
#include "host/visit/RunScript.h"
#include "host/visit/ScreenJson.h"
#include "platform/EventLoop.h"

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;

constexpr auto kPumpSlice = std::chrono::milliseconds(20);
// How often a visit with running timers looks whether the screen changed by itself.
constexpr auto kTimerViewInterval = std::chrono::milliseconds(500);
constexpr std::int32_t kFirstAnswer = 1;  // OK
constexpr std::int32_t kLastAnswer = 7;  // No
// An error names what the page sent, but never more of it than a line's worth.
constexpr std::size_t kEchoLimit = 200;

}  // namespace

LiveServerSettings LiveVisit::serverSettings(const VisitSettings& visit, std::uint16_t port)
{
    LiveServerSettings settings;
    settings.port = port;
    settings.token = LiveServer::randomSecret();
    settings.pageFiles["/"] = {"text/html; charset=utf-8", std::string(livePageHtml())};
    settings.folders = {visit.session.supportDir, visit.session.resourceDir};
    if (!visit.session.caseDir.empty())
        settings.folders.push_back(visit.session.caseDir);
    return settings;
}

LiveVisit::LiveVisit(LiveServer& server, VisitSettings settings)
    : channel_(server)
    , engine_(std::make_shared<PageBrowserEngine>(channel_))
    , lastTick_(std::chrono::steady_clock::now())
{
    platform::BrowserEngine::setCurrent(engine_);
    visit_ = std::make_unique<Visit>(std::move(settings));
    visit_->session().support().askPerson = [this](const std::string& text, std::int32_t style,
                                                   const std::string& title) { return askPerson(text, style, title); };
    visit_->onMissing = [this](const RunAction& action, const std::string& missing) {
        sendError(missing + ": " + action.source);
    };
    visit_->onSnapshot = [this](const RunAction&, const json&) {
        lastViewSent_.clear();
        sendView();
    };
}

LiveVisit::~LiveVisit()
{
    visit_.reset();
    platform::BrowserEngine::setCurrent(nullptr);
}

bool LiveVisit::open()
{
    return visit_->open();
}

void LiveVisit::serve(const std::atomic<bool>& stop)
{
    auto lastTimerView = std::chrono::steady_clock::now();
    while (!stop) {
        pumpOnce();
        advanceClock();
        const auto now = std::chrono::steady_clock::now();
        if (platform::EventLoop::current().activeTimers() > 0 && now - lastTimerView >= kTimerViewInterval) {
            lastTimerView = now;
            sendViewIfScreenChanged();
        }
    }
}

void LiveVisit::pumpOnce()
{
    channel_.pump(kPumpSlice);
    handleWaiting();
}

bool LiveVisit::handleWaiting()
{
    bool handled = false;
    while (auto message = channel_.take()) {
        handle(*message);
        handled = true;
    }
    // A burst of messages (a page reporting every document) gets one view, not one each.
    if (viewDue_)
        sendView();
    return handled;
}

bool LiveVisit::waitForPage(std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!channel_.hasPage() && std::chrono::steady_clock::now() < deadline)
        channel_.pump(kPumpSlice);
    return channel_.hasPage();
}

void LiveVisit::settle()
{
    const auto deadline = std::chrono::steady_clock::now() + kSettleTimeout;
    while (std::chrono::steady_clock::now() < deadline) {
        pumpOnce();
        if (engine_->hasPendingLoads())
            continue;
        sendView();
        if (roundTrip() && !handleWaiting())
            return;
    }
}

// The page answers in order, so once the pong is back it has said all it had to say before it.
bool LiveVisit::roundTrip()
{
    const std::int64_t id = ++lastPing_;
    channel_.send({{"type", "ping"}, {"id", id}});
    return channel_
        .waitFor(
            [id](const json& message) { return message.value("type", "") == "pong" && message.value("id", 0) == id; },
            PageBrowserEngine::kMeasureTimeout)
        .has_value();
}

void LiveVisit::handle(const json& message)
{
    const std::string type = stringField(message, "type");
    if (type == "open") {
        engine_->resend();
        lastViewSent_.clear();
    } else if (engine_->handle(message)) {
        platform::EventLoop::current().runUntilIdle();
    } else if (type == "action") {
        perform(stringField(message, "line"));
    } else if (type == "driver") {
        driverCommand(stringField(message, "command"));
    } else if (type == "messageAnswer" || type == "pong") {
        return;  // the box it answered is gone, or the wait for it is over
    } else {
        return sendError("unknown message type \"" + type + "\"");
    }
    viewDue_ = true;
}

void LiveVisit::perform(const std::string& line)
{
    try {
        if (const auto action = RunScript::parseLine(line, visit_->hasDisplay()))
            visit_->perform(*action);
    } catch (const ScriptError& error) {
        sendError(error.what());
    }
}

void LiveVisit::driverCommand(const std::string& command)
{
    if (command == "readOnly")
        return toggleOption(kReadOnlyOption);
    if (command == "showAnswers")
        return toggleOption(kShowAnswersOption);
    sendError("unknown driver command \"" + command + "\"");
}

// The bits are read at initialisation, so a driver changes them by leaving and returning.
void LiveVisit::toggleOption(std::int32_t option)
{
    const bool shown = visit_->hasDisplay();
    if (shown)
        perform("leave");
    visit_->setOptions(visit_->options() ^ option);
    if (shown)
        perform("return");
}

std::optional<std::int32_t> LiveVisit::askPerson(const std::string& text, std::int32_t style, const std::string& title)
{
    if (!answerInPage_ || !channel_.hasPage())
        return std::nullopt;
    const std::int64_t id = ++nextMessageId_;
    channel_.send({{"type", "message"}, {"id", id}, {"text", text}, {"style", style}, {"title", title}});
    const auto answer = channel_.waitFor(
        [id](const json& message) {
            return message.value("type", "") == "messageAnswer" && message.value("id", 0) == id;
        },
        std::nullopt);
    if (!answer)
        return std::nullopt;
    const auto code = answer->find("answer");
    if (code == answer->end() || !code->is_number_integer())
        return std::nullopt;
    const auto value = code->get<std::int64_t>();
    if (value < kFirstAnswer || value > kLastAnswer)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

// The visit keeps its manual clock; a live one moves it with the wall clock.
void LiveVisit::advanceClock()
{
    const auto now = std::chrono::steady_clock::now();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastTick_);
    if (elapsed.count() <= 0)
        return;
    lastTick_ += elapsed;
    platform::EventLoop::current().advanceBy(elapsed.count());
}

void LiveVisit::sendError(const std::string& message)
{
    channel_.send(
        {{"type", "error"}, {"message", message.size() > kEchoLimit ? message.substr(0, kEchoLimit) + "…" : message}});
}

json LiveVisit::viewMessage()
{
    const auto frameOf = [this](const platform::WebBrowser& browser) { return engine_->frameOf(browser); };
    json screen = screenJson(visit_->session().driverWindow(), frameOf);
    lastScreenSent_ = jsonText(screen);
    return {{"type", "view"},
            {"view", visit_->view()},
            {"screen", std::move(screen)},
            {"frames", engine_->liveFrames()},
            {"options", visit_->options()}};
}

// Asking for the view scores the item, which the log records; so a tick compares the screen alone.
void LiveVisit::sendViewIfScreenChanged()
{
    const auto frameOf = [this](const platform::WebBrowser& browser) { return engine_->frameOf(browser); };
    std::string screen = jsonText(screenJson(visit_->session().driverWindow(), frameOf));
    if (screen == lastScreenSent_)
        return;
    sendView();
}

void LiveVisit::sendView()
{
    viewDue_ = false;
    std::string text = jsonText(viewMessage());
    if (text == lastViewSent_)
        return;
    lastViewSent_ = text;
    channel_.sendText(std::move(text));
}

}  // namespace velm::host
