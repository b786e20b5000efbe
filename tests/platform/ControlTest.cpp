#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollContainer.h"
#include "platform/TextMetrics.h"
#include "vb/ComError.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace platform;

namespace {

std::int32_t errorNumber(const std::function<void()>& action)
{
    try {
        action();
    } catch (const vb::ComError& error) {
        return error.number;
    }
    return 0;
}

TEST(CheckBox, ClickIsRaisedOnlyWhenTheValueChanges)
{
    struct Case {
        std::vector<std::int16_t> values;
        int clicks;
    };
    const Case cases[] = {
        {{0}, 0}, {{1}, 1}, {{1, 1}, 1}, {{1, 0, 0}, 2}, {{2, 1, 1, 0}, 3},
    };
    for (const auto& c : cases) {
        CheckBox box;
        int clicks = 0;
        box.onClick = [&] { ++clicks; };
        for (auto value : c.values)
            box.setValue(value);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_EQ(box.Value(), c.values.back());
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


TEST(OptionButton, OptionsOfOneContainerAreExclusiveAndContainersAreSeparateGroups)
{
    Form form("frmTest");
    auto& a = form.add<OptionButton>("a");
    auto& b = form.add<OptionButton>("b");
    auto& box = form.add<PictureBox>("pc");
    auto& c = box.add<OptionButton>("c");
    auto& d = box.add<OptionButton>("d");

    struct Step {
        OptionButton* target;
        bool value;
        std::vector<bool> after;  // a, b, c, d
    };
    const Step steps[] = {
        {&a, true, {true, false, false, false}},
        {&c, true, {true, false, true, false}},
        {&b, true, {false, true, true, false}},
        {&d, true, {false, true, false, true}},
        {&d, false, {false, true, false, false}},
        {&b, true, {false, true, false, false}},
    };
    for (const auto& step : steps) {
        step.target->setValue(step.value);
        EXPECT_EQ((std::vector<bool>{a.Value(), b.Value(), c.Value(), d.Value()}), step.after);
    }
}

TEST(OptionButton, ClickIsRaisedOnlyWhenItBecomesTrue)
{
    Form form("frmTest");
    auto& a = form.add<OptionButton>("a");
    auto& b = form.add<OptionButton>("b");
    int clicksA = 0;
    int clicksB = 0;
    a.onClick = [&] { ++clicksA; };
    b.onClick = [&] { ++clicksB; };

    a.setValue(true);
    a.setValue(true);
    b.setValue(true);  // clears a without a Click there
    b.setValue(false);

    EXPECT_EQ(clicksA, 1);
    EXPECT_EQ(clicksB, 1);
}

TEST(OptionButton, ASimulatedClickRaisesMouseDownClickMouseUpInOrder)
{
    Form form("frmTest");
    auto& option = form.add<OptionButton>("optn");
    std::vector<std::string> events;
    option.onGotFocus = [&] { events.push_back("GotFocus"); };
    option.onMouseDown = [&](std::int16_t button, std::int16_t, float x, float y) {
        events.push_back("MouseDown " + std::to_string(button) + " " + std::to_string(static_cast<int>(x + y))
                         + (option.Value() ? " on" : " off"));
    };
    option.onClick = [&] { events.push_back("Click"); };
    option.onMouseUp = [&](std::int16_t, std::int16_t, float, float) {
        events.push_back(std::string("MouseUp") + (option.Value() ? " on" : " off"));
    };

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

TEST(Label, AutoSizeFollowsTheCaptionAndFont)
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
}

TEST(Label, WordWrapKeepsTheWidthAndGrowsTheHeight)
{
    Label label;
    label.setFont(Font("Arial", 10));  // 100 twips a character
    label.setCaption("aaa bbb ccc");
    label.setAutoSize(true);
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
    auto& label = form.add<Label>("label");
    auto& box = form.add<PictureBox>("box");
    auto& inside = box.add<CheckBox>("inside");
    box.setVisible(false);

    for (Control* control : std::vector<Control*>{&hidden, &disabled, &label, &inside}) {
        SCOPED_TRACE(control->Name());
        EXPECT_EQ(errorNumber([&] { control->SetFocus(); }), vb::err::kInvalidProcedureCall);
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
    EXPECT_EQ(a.zIndex(), 0);
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
