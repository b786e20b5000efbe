#include "host/visit/CompanionView.h"

#include "host/driver/HeadlessCalculator.h"
#include "host/visit/WindowView.h"
#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/WebBrowser.h"

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* kExhibitWindowName = "frmActExb";
constexpr const char* kInstructionsWindowName = "frmInstructions";

// The first window of the platform's inside window; the child display's own.
const platform::Form* firstFormInside(const platform::Form& window)
{
    for (const auto child : platform::WindowSystem::instance().childrenOf(window.hWnd())) {
        if (const auto* form = platform::Form::fromHandle(child))
            return form;
    }
    return nullptr;
}

// The window of that class and title inside parent, at any depth; 0 when there is none.
platform::WindowHandle windowInside(platform::WindowHandle parent, std::string_view className, std::string_view title)
{
    auto& windows = platform::WindowSystem::instance();
    for (const auto child : windows.childrenOf(parent)) {
        if (windows.className(child) == className && windows.title(child) == title)
            return child;
        if (const auto inside = windowInside(child, className, title))
            return inside;
    }
    return 0;
}

}  // namespace

platform::Form* CompanionView::exhibitWindow() const
{
    return WindowView::find(driverWindow_, kExhibitWindowName);
}

platform::CommandButton* CompanionView::exhibitExit() const
{
    auto* window = exhibitWindow();
    return window ? window->findAs<platform::CommandButton>("cmdExit") : nullptr;
}

platform::WebBrowser* CompanionView::instructionsPage() const
{
    auto* window = WindowView::find(driverWindow_, kInstructionsWindowName);
    return window ? window->findAs<platform::WebBrowser>("txtInstructions") : nullptr;
}

platform::WindowHandle CompanionView::calculatorWindow() const
{
    auto& windows = platform::WindowSystem::instance();
    if (const auto onDesktop = windows.findWindow(HeadlessCalculator::kWindowClass, HeadlessCalculator::kWindowTitle))
        return onDesktop;
    return windowInside(driverWindow_, HeadlessCalculator::kWindowClass, HeadlessCalculator::kWindowTitle);
}

json CompanionView::exhibitWindowJson(const std::string& progid) const
{
    const auto* window = exhibitWindow();
    if (!window)
        return nullptr;
    const auto* exit = exhibitExit();
    const auto* child = firstFormInside(*window);
    return {{"open", window->isLoaded()},
            {"visible", window->Visible()},
            {"left", numberJson(window->Left())},
            {"top", numberJson(window->Top())},
            {"width", numberJson(window->Width())},
            {"height", numberJson(window->Height())},
            {"progid", progid},
            {"exitVisible", exit && exit->Visible()},
            {"child", child ? WindowView::windowJson(child) : json(nullptr)}};
}

json CompanionView::instructionsJson() const
{
    const auto* window = WindowView::find(driverWindow_, kInstructionsWindowName);
    if (!window)
        return nullptr;
    const auto* page = window->findAs<platform::WebBrowser>("txtInstructions");
    return {{"open", window->isLoaded()},
            {"caption", window->Caption()},
            {"left", numberJson(window->Left())},
            {"top", numberJson(window->Top())},
            {"width", numberJson(window->Width())},
            {"height", numberJson(window->Height())},
            {"html", page ? json(page->html()) : json(nullptr)},
            {"scrollBars", page && page->ScrollBars()}};
}

json CompanionView::calculatorJson() const
{
    const auto window = calculatorWindow();
    const bool captured =
        window != 0 && platform::WindowSystem::instance().parentOf(window) != platform::kDesktopWindow;
    return {{"running", window != 0}, {"captured", captured}};
}

}  // namespace velm::host
