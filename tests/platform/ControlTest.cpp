#include "PlatformTesting.h"

#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollContainer.h"
#include "platform/TextMetrics.h"

using namespace platform;
using platform_testing::errorNumber;

namespace {

TEST(CheckBox, ClickIsRaisedOnlyWhenTheValueChanges)
{
    const std::pair<std::vector<std::int16_t>, int> cases[] = {
        {{0}, 0}, {{1}, 1}, {{1, 1}, 1}, {{1, 0, 0}, 2}, {{2, 1, 1, 0}, 3},
    };
    for (const auto& [values, expectedClicks] : cases) {
        CheckBox box;
        int clicks = 0;
        box.onClick = [&] { ++clicks; };
        for (auto value : values)
            box.setValue(value);
        EXPECT_EQ(clicks, expectedClicks);
        EXPECT_EQ(box.Value(), values.back());
    }
}

TEST(CheckBox, TheCandidateTogglesOnlyAVisibleEnabledBox)
{
    Form form("frmTest");
    auto& box = form.add<CheckBox>("chk");
    std::vector<std::int16_t> seen;
    box.onClick = [&] { seen.push_back(box.Value()); };

    box.click();
    box.click();
    box.setEnabled(false);
    box.click();
    box.setEnabled(true);
    box.setVisible(false);
    box.click();

    EXPECT_EQ(seen, (std::vector<std::int16_t>{1, 0}));
}

TEST(OptionButton, OptionsOfOneContainerAreExclusiveAndClickOnlyWhenTheyBecomeTrue)
{
    Form form("frmTest");
    auto& box = form.add<PictureBox>("pc");
    OptionButton* options[] = {&form.add<OptionButton>("a"), &form.add<OptionButton>("b"),
                               &box.add<OptionButton>("c"), &box.add<OptionButton>("d")};
    std::string clicks;
    for (auto* option : options)
        option->onClick = [&clicks, option] { clicks += option->Name(); };

    struct Step {
        int target;
        bool value;
        std::string after;  // the values of a, b, c and d
        std::string clicks;
    };
    const Step steps[] = {
        {0, true, "1000", "a"}, {0, true, "1000", ""},  // setting a value to itself raises nothing
        {2, true, "1010", "c"}, {1, true, "0110", "b"},  // b clears a without a Click there
        {3, true, "0101", "d"}, {3, false, "0100", ""}, {1, true, "0100", ""}, {1, false, "0000", ""},
    };
    for (const auto& step : steps) {
        clicks.clear();
        options[step.target]->setValue(step.value);
        std::string after;
        for (auto* option : options)
            after += option->Value() ? '1' : '0';
        EXPECT_EQ(after, step.after);
        EXPECT_EQ(clicks, step.clicks);
    }
}

TEST(OptionButton, ASimulatedClickRaisesMouseDownClickMouseUpInOrder)
{
    Form form("frmTest");
    auto& option = form.add<OptionButton>("optn");
    std::vector<std::string> events;
    const auto state = [&] { return option.Value() ? " on" : " off"; };
    option.onGotFocus = [&] { events.push_back("GotFocus"); };
    option.onMouseDown = [&](std::int16_t button, std::int16_t, float x, float y) {
        events.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(static_cast<int>(x + y)) + state());
    };
    option.onClick = [&] { events.push_back("Click"); };
    option.onMouseUp = [&](std::int16_t, std::int16_t, float, float) { events.push_back(std::string("MouseUp") + state()); };

    option.click(kLeftButton, 0, 30, 15);
    option.click();
    option.click(kRightButton);

    const std::vector<std::string> expected = {
        "GotFocus", "MouseDown 1 45 off", "Click", "MouseUp on",  // first press selects
        "MouseDown 1 0 on", "MouseUp on",                         // already selected: no Click
        "MouseDown 2 0 on", "MouseUp on",                         // the right button selects nothing
    };
    EXPECT_EQ(events, expected);
}

TEST(Label, AutoSizeFollowsTheCaptionAndFontAndWordWrapGrowsOnlyTheHeight)
{
    Label label;
    label.Move(0, 0, 5000, 100);
    label.setCaption("Exhibit");
    EXPECT_EQ(label.Width(), 5000);  // no automatic sizing yet

    label.setAutoSize(true);
    const auto regular = TextMetrics::measure(label.font(), "Exhibit");
    EXPECT_EQ(label.Width(), static_cast<float>(regular.width));
    EXPECT_EQ(label.Height(), static_cast<float>(regular.height));
    const Font bold("Arial", 12, true);
    label.setFont(bold);
    label.setCaption("Exhibit two");
    EXPECT_EQ(label.Width(), static_cast<float>(TextMetrics::measure(bold, "Exhibit two").width));
    label.setCaption("");
    EXPECT_EQ(label.Width(), 0);
    EXPECT_EQ(label.Height(), static_cast<float>(TextMetrics::lineHeight(bold)));

    label.setFont(Font("Arial", 10));  // 100 twips a character
    label.setCaption("aaa bbb ccc");
    label.setWordWrap(true);
    label.setWidth(699);
    EXPECT_EQ(label.Width(), 699);
    EXPECT_EQ(label.Height(), 720);
    label.setWidth(700);
    EXPECT_EQ(label.Height(), 480);
}

TEST(Control, FocusMovesBetweenControlsOfAForm)
{
    Form form("frmTest");
    auto& first = form.add<CommandButton>("first");
    auto& second = form.add<CheckBox>("second");
    std::string events;
    first.onGotFocus = [&] { events += "+first "; };
    first.onLostFocus = [&] { events += "-first "; };
    second.onGotFocus = [&] { events += "+second "; };

    first.SetFocus();
    first.SetFocus();
    second.SetFocus();

    EXPECT_EQ(events, "+first -first +second ");
    EXPECT_EQ(form.ActiveControl(), &second);
    EXPECT_FALSE(first.hasFocus());
    second.setVisible(false);
    EXPECT_EQ(form.ActiveControl(), nullptr);
    EXPECT_FALSE(second.hasFocus());
}

TEST(Control, SetFocusRefusesControlsTheCandidateCannotReach)
{
    Form form("frmTest");
    auto& hidden = form.add<CommandButton>("hidden");
    hidden.setVisible(false);
    auto& disabled = form.add<CommandButton>("disabled");
    disabled.setEnabled(false);
    auto& box = form.add<PictureBox>("box");
    auto& inside = box.add<CheckBox>("inside");
    box.setVisible(false);

    for (Control* control : std::vector<Control*>{&hidden, &disabled, &form.add<Label>("label"), &inside}) {
        EXPECT_EQ(errorNumber([&] { control->SetFocus(); }), vb::err::kInvalidProcedureCall) << control->Name();
        EXPECT_FALSE(control->hasFocus());
    }
    box.setVisible(true);
    EXPECT_EQ(errorNumber([&] { inside.SetFocus(); }), 0);
}

TEST(Control, ZOrderPutsAControlInFrontOrBehind)
{
    Form form("frmTest");
    auto& a = form.add<CommandButton>("a");
    auto& b = form.add<CommandButton>("b");
    auto& c = form.add<CommandButton>("c");
    EXPECT_EQ(form.zOrder(), (std::vector<Control*>{&c, &b, &a}));

    a.ZOrder(0);
    c.ZOrder(1);

    EXPECT_EQ(form.zOrder(), (std::vector<Control*>{&a, &b, &c}));
    EXPECT_EQ(c.zIndex(), 2);
}

TEST(ScrollContainer, VChangeFollowsChangesOfTheVerticalPositionOnly)
{
    ScrollContainer scroll;
    scroll.setHeight(3000);
    scroll.setScrollingHeight(4500);
    std::vector<std::int32_t> seen;
    scroll.onVChange = [&] { seen.push_back(scroll.VerticalPosition()); };

    scroll.setVerticalPosition(0);
    scroll.setHorizontalPosition(50);
    scroll.setVerticalPosition(700);
    scroll.setVerticalPosition(700);
    scroll.scrollToEnd();
    scroll.setScrollingHeight(1000);
    scroll.scrollToEnd();

    EXPECT_EQ(seen, (std::vector<std::int32_t>{700, 1500, 0}));
}

}  // namespace
