#include "ItemWindowTesting.h"

namespace quorin::test {
namespace {

using PageEventsTest = ItemWindowTest;

constexpr std::int32_t kReadOnlyOption = 1;

// What a key event looks like once the window has seen it.
enum class Outcome { Passes, Blocked, Chooses };

TEST_F(PageEventsTest, KeysPassAreBlockedOrChooseByPlaceAndModifierAndNoTextIsSelected)
{
    // The event's type, key, alt, shift and ctrl, then the outcome on the title, bottom strip,
    // stem, button bar and choice texts and the outcome on the two edges.
    const std::tuple<const char*, std::int32_t, bool, bool, bool, Outcome, Outcome> cases[] = {
        {"keypress", 'b', false, false, false, Outcome::Chooses, Outcome::Passes},
        {"keypress", 'B', false, false, false, Outcome::Chooses, Outcome::Passes},
        {"keypress", 't', false, false, false, Outcome::Chooses, Outcome::Passes},  // 116: the letter t
        {"keypress", 'b', false, true, false, Outcome::Blocked, Outcome::Passes},
        {"keypress", 'b', false, false, true, Outcome::Blocked, Outcome::Passes},
        {"keypress", 'b', true, false, false, Outcome::Passes, Outcome::Passes},
        {"keypress", 'b', true, true, true, Outcome::Passes, Outcome::Passes},
        {"keydown", 40, false, false, false, Outcome::Passes, Outcome::Blocked},
        {"keydown", 116, false, false, false, Outcome::Blocked, Outcome::Blocked},  // F5
        {"keydown", 'R', false, false, true, Outcome::Blocked, Outcome::Blocked},
        {"keydown", 'X', true, false, false, Outcome::Passes, Outcome::Blocked},
        {"keydown", 'P', true, false, false, Outcome::Passes, Outcome::Passes},
        {"keydown", 'N', true, false, false, Outcome::Passes, Outcome::Passes},
        {"keydown", 'S', true, false, false, Outcome::Passes, Outcome::Passes},
        {"keydown", 'P', false, false, false, Outcome::Passes, Outcome::Blocked},
        {"keyup", 'P', false, true, false, Outcome::Passes, Outcome::Passes},
    };
    for (std::size_t document = 0; document < 7; ++document) {  // the frame pages, the stem and a choice
        open({});
        auto& browser = *documents()[document];
        browser.Document().selection().select();
        auto select = platform::HtmlEvent::selectStart();
        browser.fireEvent(select);
        EXPECT_EQ((std::tuple{browser.Document().selection().isEmpty(), select.returnValue, select.cancelBubble}),
                  (std::tuple{true, false, true}))
            << browser.Name();
        const auto name = browser.Name();  // each key goes to a fresh window
        for (const auto& [type, keyCode, alt, shift, ctrl, pages, edges] : cases) {
            SCOPED_TRACE(name + " " + type + " " + std::to_string(keyCode) + (alt ? " alt" : "")
                         + (shift ? " shift" : "") + (ctrl ? " ctrl" : ""));
            open({.choices = 20, .max = "20"});
            auto event = platform::HtmlEvent::key(type, keyCode, alt, shift, ctrl);
            documents()[document]->fireEvent(event);
            const auto outcome = name.ends_with("Edge") ? edges : pages;
            const bool blocked = outcome == Outcome::Blocked;
            const std::string chosen(1, static_cast<char>(std::toupper(keyCode)));
            EXPECT_EQ(
                (std::tuple{event.keyCode, event.returnValue, event.cancelBubble, selected()}),
                (std::tuple{blocked ? 32 : keyCode, !blocked, blocked, outcome == Outcome::Chooses ? chosen : ""}));
        }
    }
}

TEST_F(PageEventsTest, AReadOnlyButtonBarIgnoresKeyPressesButStillBlocksF5AndTheItemAreaPassesFocusToTheStem)
{
    open({}, kReadOnlyOption);
    auto press = platform::HtmlEvent::key("keypress", 'b', false, true);
    window().brwButtons.fireEvent(press);
    EXPECT_EQ((std::tuple{press.keyCode, press.returnValue}), (std::tuple{std::int32_t{'b'}, true}));
    auto f5 = platform::HtmlEvent::key("keydown", 116);
    window().brwButtons.fireEvent(f5);
    window().scrItemStem.SetFocus();
    EXPECT_EQ((std::tuple{f5.keyCode, window().ActiveControl() == &window().txtItemStem}), (std::tuple{32, true}));
}

}  // namespace
}  // namespace quorin::test
