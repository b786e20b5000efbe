#pragma once

#include "host/live/LiveChannel.h"
#include "host/live/PageBrowserEngine.h"
#include "host/visit/Visit.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace velm::host {

// One visit played by a person in the live page: the item's documents live in the page's
// frames, the person's actions arrive as messages and go to the same calls a script's actions
// go to, message boxes wait for the person's answer, and after each action the page receives
// {"type":"view","view":<the run --json object>,"screen":<screenJson>,"frames":[the live
// frames],"options":N}.
//
// Messages the page sends: {"type":"action","line":"<a run script line>"}, "loaded" and "event"
// (see PageBrowserEngine), {"type":"messageAnswer","id","answer"}, {"type":"driver",
// "command":"readOnly"|"showAnswers"} and {"type":"pong","id"} (the answer to a "ping");
// anything else is answered with {"type":"error","message"} and the visit goes on.
class LiveVisit {
public:
    // Option bits the driver's panel turns on and off.
    static constexpr std::int32_t kReadOnlyOption = 1;
    static constexpr std::int32_t kShowAnswersOption = 16;

    LiveVisit(LiveServer& server, VisitSettings settings);
    ~LiveVisit();
    LiveVisit(const LiveVisit&) = delete;
    LiveVisit& operator=(const LiveVisit&) = delete;

    // How a live visit is served: a random token, the page, and the support, resource and case
    // folders (the pages name their images by full path).
    static LiveServerSettings serverSettings(const VisitSettings& visit, std::uint16_t port);

    // Creates, initialises and shows the display; false when the initialisation failed.
    bool open();
    // Serves until stop becomes true.
    void serve(const std::atomic<bool>& stop);
    // Handles one message from the page; the view it causes goes out once the waiting ones are handled.
    void handle(const nlohmann::ordered_json& message);
    // Runs the server a moment and handles what arrived.
    void pumpOnce();
    // Handles every message that has arrived and not been handled; whether there was one.
    bool handleWaiting();
    // Waits for a page to open (true) or the timeout to pass.
    bool waitForPage(std::chrono::milliseconds timeout);
    // Serves until every document has completed and the page, sent the latest view, has
    // nothing more to say; gives up after kSettleTimeout.
    void settle();
    // Whether message boxes wait for the person in the page (the default) or are answered by the
    // script and the policy.
    void answerInPage(bool inPage) { answerInPage_ = inPage; }

    // The longest settle waits.
    static constexpr std::chrono::milliseconds kSettleTimeout{15000};
    // What the page is sent after each action.
    nlohmann::ordered_json viewMessage();

    Visit& visit() { return *visit_; }

private:
    void perform(const std::string& line);
    void driverCommand(const std::string& command);
    void toggleOption(std::int32_t option);
    std::optional<std::int32_t> askPerson(const std::string& text, std::int32_t style, const std::string& title);
    void advanceClock();
    void sendError(const std::string& message);
    void sendView();
    void sendViewIfScreenChanged();
    bool roundTrip();

    LiveChannel channel_;
    std::shared_ptr<PageBrowserEngine> engine_;
    std::unique_ptr<Visit> visit_;
    std::int64_t nextMessageId_ = 0;
    std::int64_t lastPing_ = 0;
    bool answerInPage_ = true;
    // Whether something happened that the page has not been sent a view of.
    bool viewDue_ = false;
    std::chrono::steady_clock::time_point lastTick_;
    std::string lastViewSent_;
    std::string lastScreenSent_;
};

}  // namespace velm::host
