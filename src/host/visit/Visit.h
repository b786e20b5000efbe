#pragma once

#include "host/driver/CaseStudyRecorder.h"
#include "host/driver/Session.h"
#include "host/visit/RunScript.h"
#include "host/visit/WindowView.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class ManualClock;
class WebBrowser;
}  // namespace platform

namespace velm::host {

// How a visit starts: the driver's settings, the item, the option bits, the first rectangle,
// a state handed back right after the first show, and how message boxes are answered.
struct VisitSettings {
    SessionSettings session;
    std::string itemXml;
    std::int32_t options = 0;
    RunRect rect{0, 0, 9000, 6000};
    std::optional<std::string> stateIn;
    bool answerOk = true;
};

// One visit of an item, driven as a driver and its candidate drive it: the display is created
// by programmatic name, initialised, shown and then given the actions of a script, each
// followed by running the event loop until idle. Time is the visit's own manual clock.
class Visit {
public:
    explicit Visit(VisitSettings settings);
    // Gives the event loop back its steady clock.
    ~Visit();
    Visit(const Visit&) = delete;
    Visit& operator=(const Visit&) = delete;

    // Creates, initialises and shows the display (handing back the first state), then runs the
    // loop until idle; false, and no further call made, when the initialisation failed.
    bool open();
    // Performs one action, then runs the loop until idle. Actions need an open display except
    // answer, wait, snapshot and return (which needs a display that was left).
    void perform(const RunAction& action);

    // Everything the candidate and the driver see now: the window's view, the state, the
    // responses, the last status asked, the score, the messages, the errors and the log.
    nlohmann::ordered_json view();
    // The view at the end of the visit, after a status call.
    nlohmann::ordered_json finalView();

    // Whether the display is initialised and not left.
    bool hasDisplay() const { return initialized_ && session_.hasDisplay(); }
    // The view of the item window (empty while the display is left).
    WindowView window() const;
    // The driver's session.
    Session& session() { return session_; }
    // The option bits of the initialisation; a change applies from the next return.
    std::int32_t options() const { return settings_.options; }
    void setOptions(std::int32_t options) { settings_.options = options; }

    // Raised for an action that found nothing to act on (a letter or button not on the
    // screen), with what was missing.
    std::function<void(const RunAction& action, const std::string& missing)> onMissing;
    // Raised by a snapshot action with the view.
    std::function<void(const RunAction& action, const nlohmann::ordered_json& view)> onSnapshot;

private:
    bool showDisplay();
    void choiceAction(const RunAction& action);
    void keyOnChoices(const RunAction& action);
    void pageEvent(const RunAction& action);
    platform::WebBrowser* pageOf(const RunAction& action) const;
    void exhibit(const RunAction& action);
    void closeCalculator(const RunAction& action);
    std::int32_t viewedExhibits(const std::string& stateText) const;
    void scroll(std::int32_t position);
    void button(const RunAction& action);
    void askStatus();
    void leave();
    void comeBack();
    void missing(const RunAction& action, const std::string& what);
    std::optional<std::int16_t> positionOf(const RunAction& action) const;
    nlohmann::ordered_json scoreJson();

    VisitSettings settings_;
    std::shared_ptr<platform::ManualClock> clock_;
    Session session_;
    bool initialized_ = false;
    RunRect rect_;
    vb::ByteArray savedState_;
    std::optional<DisplayStatus> lastStatus_;
    // The last key or selection as the item's handlers left it; null before the first.
    nlohmann::ordered_json lastEvent_;
    // The programmatic name in the exhibit button last pressed.
    std::string exhibitProgid_;
    // The case study the item is bound to, watched; null for a plain item.
    std::shared_ptr<CaseStudyRecorder> caseStudy_;
};

}  // namespace velm::host
