#include "host/visit/Visit.h"

#include "host/driver/SessionJson.h"
#include "host/visit/CompanionView.h"
#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/EventLoop.h"
#include "platform/HtmlEvent.h"
#include "platform/ManualClock.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollContainer.h"
#include "platform/WebBrowser.h"
#include "vb/ComError.h"
#include "vb/Text.h"
#include "velm/DataIO.h"

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;
using Kind = RunAction::Kind;

constexpr std::int32_t kOk = 1;
constexpr std::int32_t kCancel = 2;

std::int32_t answerCode(bool ok)
{
    return ok ? kOk : kCancel;
}

void runUntilIdle()
{
    platform::EventLoop::current().runUntilIdle();
}

json messageBoxesJson(const SupportObject& support)
{
    auto messages = json::array();
    for (const auto& message : support.messages())
        messages.push_back({{"text", message.text}, {"style", message.style}, {"answer", message.answer}});
    return messages;
}

json logJson(const SupportObject& support)
{
    auto log = json::array();
    for (const auto& entry : support.log())
        log.push_back(
            {{"level", entry.level}, {"module", entry.module}, {"routine", entry.routine}, {"text", entry.text}});
    return log;
}

json eventJson(const platform::HtmlEvent& event, bool selectionEmptied)
{
    return {{"type", event.type},
            {"keyCode", event.keyCode},
            {"cancelBubble", event.cancelBubble},
            {"returnValue", event.returnValue},
            {"selectionEmptied", selectionEmptied}};
}

// The programmatic name an exhibit button's tag begins with.
std::string progidOfTag(const std::string& tag)
{
    return tag.substr(0, tag.find('|'));
}

// Whether the button-bar page holds an element with that id, so that a candidate could click it.
bool pageHasElement(const platform::WebBrowser& page, const std::string& id)
{
    return page.html().find("id=\"" + id + "\"") != std::string::npos;
}

}  // namespace

Visit::Visit(VisitSettings settings)
    : settings_(std::move(settings))
    , clock_(std::make_shared<platform::ManualClock>())
    , session_(settings_.session)
    , rect_(settings_.rect)
{
    platform::EventLoop::current().setClock(clock_);
    session_.support().setPolicyAnswer(answerCode(settings_.answerOk));
    CaseStudyRecorder::install(Session::kCaseStudyProgId,
                               [this](const std::shared_ptr<CaseStudyRecorder>& caseStudy) { caseStudy_ = caseStudy; });
}

Visit::~Visit()
{
    CaseStudyRecorder::uninstall(Session::kCaseStudyProgId);
    platform::EventLoop::current().setClock(nullptr);
}

bool Visit::open()
{
    session_.start();
    if (!showDisplay())
        return false;
    if (settings_.stateIn)
        session_.restoreState(vb::bytesFromText(*settings_.stateIn));
    runUntilIdle();
    return true;
}

bool Visit::showDisplay()
{
    initialized_ = session_.initialize(settings_.itemXml, settings_.options);
    if (!initialized_)
        return false;
    session_.display().ShowExternalDisplay(rect_.left, rect_.top, rect_.width, rect_.height);
    return true;
}

WindowView Visit::window() const
{
    return WindowView(hasDisplay() ? WindowView::find(session_.driverWindow()) : nullptr);
}

void Visit::perform(const RunAction& action)
{
    const bool needsDisplay = action.kind != Kind::Answer && action.kind != Kind::Wait && action.kind != Kind::Snapshot
                              && action.kind != Kind::Return;
    if (needsDisplay && !hasDisplay())
        return missing(action, "no display is open");
    switch (action.kind) {
    case Kind::Click:
    case Kind::Text: choiceAction(action); break;
    case Kind::Key:
    case Kind::KeyDown:
    case Kind::Select:
        if (action.kind == Kind::Key && action.place == "choices")
            keyOnChoices(action);
        else
            pageEvent(action);
        break;
    case Kind::Exhibit: exhibit(action); break;
    case Kind::Calculator: closeCalculator(action); break;
    case Kind::Scroll: scroll(action.scrollTo); break;
    case Kind::Button: button(action); break;
    case Kind::Answer: session_.support().setPolicyAnswer(answerCode(action.answerOk)); break;
    case Kind::Resize:
        rect_ = action.rect;
        session_.display().ResizeExternalDisplay(rect_.left, rect_.top, rect_.width, rect_.height);
        break;
    case Kind::Show:
        rect_ = action.rect;
        session_.display().ShowExternalDisplay(rect_.left, rect_.top, rect_.width, rect_.height);
        break;
    case Kind::Hide: session_.display().HideExternalDisplay(); break;
    case Kind::Status: askStatus(); break;
    case Kind::Leave: leave(); break;
    case Kind::Return: comeBack(); break;
    case Kind::Wait: platform::EventLoop::current().advanceBy(action.waitMs); break;
    case Kind::Snapshot:
        if (onSnapshot)
            onSnapshot(action, view());
        break;
    }
    runUntilIdle();
}

std::optional<std::int16_t> Visit::positionOf(const RunAction& action) const
{
    const auto view = window();
    if (action.position < 0)
        return view.positionOf(action.letter);
    for (const auto* control : view.answerControls()) {
        if (control->Index() == action.position)
            return control->Index();
    }
    return std::nullopt;
}

void Visit::choiceAction(const RunAction& action)
{
    const auto position = positionOf(action);
    if (!position)
        return missing(action,
                       "no choice " + (action.position < 0 ? action.letter : "#" + std::to_string(action.position)));
    const auto view = window();
    if (action.kind == Kind::Text) {
        if (auto* text = view.choiceText(*position)) {
            auto event = platform::HtmlEvent::click("");
            text->fireEvent(event);
        }
        return;
    }
    platform::Control* control = nullptr;
    for (auto* candidate : view.answerControls())
        control = candidate->Index() == *position ? candidate : control;
    if (auto* box = dynamic_cast<platform::CheckBox*>(control))
        box->click();
    else if (auto* option = dynamic_cast<platform::OptionButton*>(control))
        option->click();
}

void Visit::keyOnChoices(const RunAction& action)
{
    auto event = platform::HtmlEvent::key("keypress", action.keyCode, action.alt, action.shift, action.ctrl);
    auto* choices = window().control<platform::PictureBox>("pcChoicesContainer");
    if (choices && choices->canFocus()) {
        choices->SetFocus();
        event.keyCode = choices->keyPress(action.keyCode);
    }
    lastEvent_ = eventJson(event, false);
}

// A key or a selection on a page, which the page hands to the item's handler before its default action.
void Visit::pageEvent(const RunAction& action)
{
    auto* page = pageOf(action);
    if (!page)
        return missing(action, "no page " + action.place + (action.place == "choice" ? " " + action.letter : ""));
    auto event = action.kind == Kind::Select
                     ? platform::HtmlEvent::selectStart()
                     : platform::HtmlEvent::key(action.kind == Kind::Key ? "keypress" : "keydown", action.keyCode,
                                                action.alt, action.shift, action.ctrl);
    page->fireEvent(event);
    lastEvent_ = eventJson(event, action.kind == Kind::Select && page->Document().selection().isEmpty());
}

platform::WebBrowser* Visit::pageOf(const RunAction& action) const
{
    if (action.place == "instructions")
        return CompanionView(session_.driverWindow()).instructionsPage();
    if (action.place != "choice")
        return window().page(action.place);
    const auto position = positionOf(action);
    return position ? window().choiceText(*position) : nullptr;
}

void Visit::exhibit(const RunAction& action)
{
    if (action.exhibit == 0) {
        auto* exit = CompanionView(session_.driverWindow()).exhibitExit();
        if (!exit || !exit->Visible())
            return missing(action, "no exhibit window with its Exit button");
        return exit->click();
    }
    auto* button = window().exhibitButton(action.exhibit);
    if (!button)
        return missing(action, "no exhibit button " + std::to_string(action.exhibit));
    exhibitProgid_ = progidOfTag(button->Tag());
    button->click();
}

void Visit::closeCalculator(const RunAction& action)
{
    const auto calculator = CompanionView(session_.driverWindow()).calculatorWindow();
    if (calculator == 0)
        return missing(action, "no calculator runs");
    platform::WindowSystem::instance().sendMessage(calculator, platform::kWmSysCommand, platform::kScClose, 0);
}

std::int32_t Visit::viewedExhibits(const std::string& stateText) const
{
    velm::DataIO state;
    state.LoadXml(stateText);
    state.setFromRoot(true);
    return state.FindElement("ViewedExhibits") ? state.GetText().toInt32() : 0;
}

void Visit::scroll(std::int32_t position)
{
    auto* area = window().control<platform::ScrollContainer>("scrItemStem");
    if (!area || !area->reachable())
        return;
    if (position < 0)
        area->scrollToEnd();
    else
        area->setVerticalPosition(position);
}

void Visit::button(const RunAction& action)
{
    auto* bar = window().control<platform::WebBrowser>("brwButtons");
    if (!bar || !pageHasElement(*bar, action.elementId))
        return missing(action, "no button " + action.elementId + " on the bar");
    auto event = platform::HtmlEvent::click(action.elementId);
    bar->fireEvent(event);
}

void Visit::askStatus()
{
    lastStatus_ = session_.displayStatus();
}

void Visit::leave()
{
    savedState_ = session_.saveState();
    session_.free();
    session_.release();
}

void Visit::comeBack()
{
    session_.start();
    if (showDisplay())
        session_.restoreState(savedState_);
}

void Visit::missing(const RunAction& action, const std::string& what)
{
    if (onMissing)
        onMissing(action, what);
}

json Visit::scoreJson()
{
    const auto score = session_.score();
    return {{"correct", score.correct},
            {"incorrect", score.incorrect},
            {"notAttempted", score.notAttempted},
            {"notScored", score.notScored},
            {"raw", numberJson(score.raw)}};
}

json Visit::view()
{
    json view = window().toJson();
    const bool open = hasDisplay();
    if (open)
        view["state"] = session_.stateText();
    else
        view["state"] = savedState_.empty() ? json(nullptr) : json(stateTextOf(savedState_));
    view["responses"] = open ? json{{"0", session_.response(0).second}, {"1", session_.response(1).second}}
                             : json{{"0", nullptr}, {"1", nullptr}};
    view["status"] = lastStatus_ ? json(lastStatus_->state) : json(nullptr);
    view["viewedAll"] = lastStatus_ ? json(lastStatus_->viewedAll) : json(nullptr);
    view["statusMessage"] = lastStatus_ ? json(lastStatus_->message) : json(nullptr);
    view["score"] = open ? scoreJson() : json(nullptr);
    view["lastEvent"] = lastEvent_;
    const CompanionView companions(session_.driverWindow());
    view["exhibitWindow"] = companions.exhibitWindowJson(exhibitProgid_);
    view["instructions"] = companions.instructionsJson();
    view["calculator"] = companions.calculatorJson();
    view["viewedExhibits"] = view["state"].is_string() ? json(viewedExhibits(view["state"])) : json(nullptr);
    view["caseStudy"] = caseStudy_ ? caseStudy_->toJson() : json(nullptr);
    const auto& support = session_.support();
    view["messages"] = messageBoxesJson(support);
    view["errors"] = errorsJson(support);
    view["log"] = logJson(support);
    return view;
}

json Visit::finalView()
{
    if (hasDisplay()) {
        askStatus();
        runUntilIdle();
    }
    return view();
}

}  // namespace velm::host
