#include "host/visit/WindowView.h"

#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/ControlArray.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollContainer.h"
#include "platform/WebBrowser.h"
#include "vb/Strings.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;

constexpr std::string_view kExhibitWindowName = "frmActExb";

// The browser of each place a script names.
constexpr std::pair<std::string_view, const char*> kPages[] = {
    {"title", "brwTitle"},     {"bottom", "brwBottom"}, {"stem", "txtItemStem"},
    {"buttons", "brwButtons"}, {"left", "brwLeftEdge"}, {"right", "brwRightEdge"},
};
constexpr const char* kChromeBrowsers[] = {"brwTitle", "brwLeftEdge", "brwRightEdge", "brwBottom", "brwButtons"};
constexpr const char* kLaidOutControls[] = {"brwTitle",    "brwLeftEdge",        "brwRightEdge",
                                            "brwBottom",   "brwButtons",         "txtItemStem",
                                            "scrItemStem", "pcChoicesContainer", "ssWorkScroll"};

// Twips as the layout computed them.
json twips(float value)
{
    return numberJson(value);
}

json boundsJson(const platform::Control& control)
{
    return {{"left", twips(control.Left())},
            {"top", twips(control.Top())},
            {"width", twips(control.Width())},
            {"height", twips(control.Height())}};
}

json browserTextJson(const platform::WebBrowser& browser)
{
    json text = boundsJson(browser);
    text["contentHeight"] = browser.ContentHeight();
    text["html"] = browser.html();
    return text;
}

json controlJson(const platform::Control& control)
{
    json result = boundsJson(control);
    result["visible"] = control.Visible();
    if (const auto* browser = dynamic_cast<const platform::WebBrowser*>(&control)) {
        result["contentHeight"] = browser->ContentHeight();
        result["html"] = browser->html();
    }
    if (const auto* scroll = dynamic_cast<const platform::ScrollContainer*>(&control)) {
        result["scrollingHeight"] = scroll->ScrollingHeight();
        result["verticalPosition"] = scroll->VerticalPosition();
    }
    return result;
}

template <class T>
std::vector<platform::Control*> elementsOf(const platform::ControlArray<T>* array)
{
    std::vector<platform::Control*> elements;
    if (!array)
        return elements;
    for (const auto index : array->indices())
        elements.push_back(&array->at(index));
    return elements;
}

}  // namespace

platform::Form* WindowView::find(platform::WindowHandle driverWindow, std::string_view name)
{
    // An item bound to a case study sits inside the case study's window, not the driver's; the
    // windows inside an exhibit window are the exhibit's own, so the search passes them over.
    for (const auto child : platform::WindowSystem::instance().childrenOf(driverWindow)) {
        auto* form = platform::Form::fromHandle(child);
        if (form && form->Name() == name)
            return form;
        if (form && form->Name() == kExhibitWindowName)
            continue;
        if (auto* inside = find(child, name))
            return inside;
    }
    return nullptr;
}

WindowView::WindowView(platform::Form* window) : window_(window) {}

std::string WindowView::kind() const
{
    if (!window_)
        return {};
    const auto* checks = window_->findArray<platform::CheckBox>("chkBox");
    if (checks && !checks->at(0).Caption().empty())
        return "check";
    const auto* options = window_->findArray<platform::OptionButton>("optnBox");
    if (options && !options->at(0).Caption().empty())
        return "option";
    return {};
}

std::vector<platform::Control*> WindowView::answerControls() const
{
    const std::string inUse = kind();
    if (inUse == "check")
        return elementsOf(window_->findArray<platform::CheckBox>("chkBox"));
    if (inUse == "option")
        return elementsOf(window_->findArray<platform::OptionButton>("optnBox"));
    return {};
}

bool WindowView::isChecked(const platform::Control& control)
{
    if (const auto* box = dynamic_cast<const platform::CheckBox*>(&control))
        return box->Value() == 1;
    const auto* option = dynamic_cast<const platform::OptionButton*>(&control);
    return option && option->Value();
}

std::optional<std::int16_t> WindowView::positionOf(std::string_view letter) const
{
    for (const auto* control : answerControls()) {
        const std::string& caption = control->Caption();
        if (vb::equalsIgnoreCase(std::string_view(caption).substr(0, caption.find('.')), letter))
            return control->Index();
    }
    return std::nullopt;
}

platform::WebBrowser* WindowView::choiceText(std::int16_t position) const
{
    const auto* texts = window_ ? window_->findArray<platform::WebBrowser>("txtChoice") : nullptr;
    return texts ? texts->find(position) : nullptr;
}

platform::CommandButton* WindowView::exhibitButton(std::int16_t index) const
{
    const auto* buttons = window_ ? window_->findArray<platform::CommandButton>("cmdActiveExhibits") : nullptr;
    return buttons && index > 0 ? buttons->find(index) : nullptr;
}

platform::WebBrowser* WindowView::page(std::string_view place) const
{
    for (const auto& [name, browser] : kPages) {
        if (name == place)
            return control<platform::WebBrowser>(browser);
    }
    return nullptr;
}

json WindowView::toJson() const
{
    return {{"window", windowJson(window_)},
            {"pages", pagesJson()},
            {"controls", controlsJson()},
            {"choices", choicesJson()},
            {"exhibits", exhibitsJson()}};
}

json WindowView::windowJson(const platform::Form* window)
{
    if (!window)
        return {{"visible", false},  {"left", nullptr},       {"top", nullptr},        {"width", nullptr},
                {"height", nullptr}, {"scaleWidth", nullptr}, {"scaleHeight", nullptr}};
    return {{"visible", window->Visible()},
            {"left", twips(window->Left())},
            {"top", twips(window->Top())},
            {"width", twips(window->Width())},
            {"height", twips(window->Height())},
            {"scaleWidth", twips(window->ScaleWidth())},
            {"scaleHeight", twips(window->ScaleHeight())}};
}

json WindowView::pagesJson() const
{
    auto pages = json::object();
    for (const char* name : kChromeBrowsers) {
        const auto* browser = control<platform::WebBrowser>(name);
        pages[name] = browser ? json(browser->html()) : json(nullptr);
    }
    return pages;
}

json WindowView::controlsJson() const
{
    auto controls = json::object();
    for (const char* name : kLaidOutControls) {
        const auto* found = window_ ? window_->find(name) : nullptr;
        controls[name] = found ? controlJson(*found) : json(nullptr);
    }
    return controls;
}

json WindowView::choicesJson() const
{
    auto choices = json::array();
    const std::string inUse = kind();
    for (const auto* control : answerControls()) {
        json choice = {{"position", control->Index()},
                       {"caption", control->Caption()},
                       {"id", control->Tag()},
                       {"kind", inUse},
                       {"value", isChecked(*control) ? 1 : 0}};
        choice["enabled"] = control->Enabled();
        choice["visible"] = control->Visible();
        choice.update(boundsJson(*control));
        const auto* text = choiceText(control->Index());
        choice["text"] = text ? browserTextJson(*text) : json(nullptr);
        choices.push_back(std::move(choice));
    }
    return choices;
}

json WindowView::exhibitsJson() const
{
    auto exhibits = json::array();
    const auto* buttons = window_ ? window_->findArray<platform::CommandButton>("cmdActiveExhibits") : nullptr;
    if (!buttons)
        return exhibits;
    for (const auto index : buttons->indices()) {
        if (index == 0)
            continue;
        const auto& button = buttons->at(index);
        json exhibit = {{"index", index}, {"caption", button.Caption()}, {"tag", button.Tag()}};
        exhibit.update(boundsJson(button));
        exhibit["visible"] = button.Visible();
        exhibits.push_back(std::move(exhibit));
    }
    return exhibits;
}

}  // namespace velm::host
