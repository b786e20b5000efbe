#include "ItemWindowTesting.h"

namespace quorin::test {
namespace {

using PageEventsTest = ItemWindowTest;

constexpr std::int32_t kReadOnlyOption = 1;

// What a key event looks like once the window has seen it.
enum class Outcome { Passes, Blocked, Chooses };

struct KeyCase {
    const char* type;
    std::int32_t keyCode;
    bool alt;
    bool shift;
    bool ctrl;
    Outcome pages;  // the title, bottom strip, stem, button bar and choice texts
    Outcome edges;
};

TEST_F(PageEventsTest, KeysPassAreBlockedOrChooseByPlaceAndModifierAndNoTextIsSelected)
{
    const KeyCase cases[] = {
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
        EXPECT_TRUE(browser.Document().selection().isEmpty()) << browser.Name();
        EXPECT_FALSE(select.returnValue) << browser.Name();
        EXPECT_TRUE(select.cancelBubble) << browser.Name();
        const auto name = browser.Name();  // each key goes to a fresh window
        for (const auto& c : cases) {
            SCOPED_TRACE(name + " " + c.type + " " + std::to_string(c.keyCode) + (c.alt ? " alt" : "")
                         + (c.shift ? " shift" : "") + (c.ctrl ? " ctrl" : ""));
            open({.choices = 20, .max = "20"});
            auto event = platform::HtmlEvent::key(c.type, c.keyCode, c.alt, c.shift, c.ctrl);
            documents()[document]->fireEvent(event);
            const auto outcome = name.ends_with("Edge") ? c.edges : c.pages;
            const bool blocked = outcome == Outcome::Blocked;
            EXPECT_EQ(event.keyCode, blocked ? 32 : c.keyCode);
            EXPECT_EQ(event.returnValue, !blocked);
            EXPECT_EQ(event.cancelBubble, blocked);
            const std::string chosen(1, static_cast<char>(std::toupper(c.keyCode)));
            EXPECT_EQ(selected(), outcome == Outcome::Chooses ? chosen : "");
        }
    }
}

TEST_F(PageEventsTest, AReadOnlyButtonBarIgnoresKeyPressesButStillBlocksF5)
{
    open({}, kReadOnlyOption);
    auto press = platform::HtmlEvent::key("keypress", 'b', false, true);
    window().brwButtons.fireEvent(press);
    EXPECT_EQ(press.keyCode, 'b');
    EXPECT_TRUE(press.returnValue);
    auto f5 = platform::HtmlEvent::key("keydown", 116);
    window().brwButtons.fireEvent(f5);
    EXPECT_EQ(f5.keyCode, 32);
}

TEST_F(PageEventsTest, FocusOnTheItemAreaGoesOnToTheStem)
{
    open({});
    window().scrItemStem.SetFocus();
    EXPECT_EQ(window().ActiveControl(), &window().txtItemStem);
}

}  // namespace
}  // namespace quorin::test
