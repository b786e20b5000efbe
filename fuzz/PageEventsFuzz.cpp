#include "FuzzSupport.h"
#include "component/clsMultipleChoice.h"
#include "host/driver/InputFiles.h"
#include "host/driver/SupportObject.h"
#include "itemwindow/frmMain.h"
#include "platform/EventLoop.h"
#include "platform/WindowSystem.h"
#include "vb/Text.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace {

constexpr const char* kItem =
    "<MultipleChoiceItem Language=\"ENU\"><ItemStem><Heading>Q</Heading><Text><![CDATA[<html>Which?</html>]]></Text>"
    "</ItemStem><Choices Max=\"2\" RandomOrder=\"false\"><Choice AnswerID=\"A\"><![CDATA[<html>a</html>]]></Choice>"
    "<Choice AnswerID=\"B\"><![CDATA[<html>b</html>]]></Choice><Choice AnswerID=\"T\"><![CDATA[<html>t</html>]]>"
    "</Choice></Choices><Answers><Answer Weight=\"1\">A</Answer></Answers></MultipleChoiceItem>";
constexpr const char* kTypes[] = {"keypress", "keydown", "selectstart", "click", "keyup"};

platform::WebBrowser& pageAt(quorin::frmMain& window, std::uint8_t which)
{
    platform::WebBrowser* pages[] = {
        &window.brwTitle,    &window.brwBottom,    &window.txtItemStem,         &window.brwButtons,
        &window.brwLeftEdge, &window.brwRightEdge, &window.txtChoice[which % 3]};
    return *pages[which % 7];
}

// An event either passes untouched or is blocked whole (stopped, cancelled, a blank).
bool blockedWhole(const platform::HtmlEvent& event)
{
    return event.cancelBubble && !event.returnValue && event.keyCode == 32;
}
bool untouched(const platform::HtmlEvent& event, std::int32_t keyCode)
{
    return !event.cancelBubble && event.returnValue && event.keyCode == keyCode;
}

}  // namespace

// Every four bytes are one document event: the page, the type and modifiers, and the key code.
// Whatever the candidate types into whichever page, each key event is passed or blocked whole,
// no selection starts anywhere, and the item never holds more answers than it allows.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto& windows = platform::WindowSystem::instance();
    const auto driverWindow = windows.createWindow("VelmDriver", "fuzz");
    auto support =
        std::make_shared<velm::host::SupportObject>(velm::host::bundledStaticStrings(), fuzzSupportDir(), "");
    auto component = quorin::clsMultipleChoice::create();
    component->ExternalSupport(support);
    component->SetParentWnd(driverWindow);
    component->InitExternalDisplay(vb::bytesFromText(kItem), 0, static_cast<std::int32_t>(size % 2 == 0 ? 0 : 1));
    component->ShowExternalDisplay(0, 0, 9000, 6000);
    auto& loop = platform::EventLoop::current();
    loop.runUntilIdle();
    auto& window = *component->mainForm();
    for (std::size_t i = 0; i + 3 < size; i += 4) {
        auto& page = pageAt(window, data[i]);
        const std::uint8_t flags = data[i + 1];
        const std::int32_t keyCode = data[i + 2] | ((data[i + 3] & 0x7F) << 8);
        auto event = platform::HtmlEvent::key(kTypes[flags % 5], keyCode, flags & 8, flags & 16, flags & 32);
        page.Document().selection().select();
        page.fireEvent(event);
        loop.runUntilIdle();
        if (event.type == "selectstart" && !page.Document().selection().isEmpty())
            __builtin_trap();
        if (event.type.starts_with("key") && !blockedWhole(event) && !untouched(event, keyCode))
            __builtin_trap();
        std::int16_t checked = 0;
        for (std::int16_t p = 0; p < window.chkBox.count(); ++p)
            checked += window.chkBox[p].Value() == 1;
        if (checked > 2)
            __builtin_trap();
    }
    component->FreeExternalDisplay();
    loop.clear();
    windows.destroyWindow(driverWindow);
    return 0;
}
