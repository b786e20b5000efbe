#include "PlatformTesting.h"

#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/ScrollContainer.h"
#include "platform/TextMetrics.h"
#include "platform/WebBrowser.h"
#include "vb/Variant.h"

#include <functional>
#include <optional>
#include <tuple>

using namespace platform;
using platform_testing::errorNumber;

namespace {

TEST(CheckBox, ClickIsRaisedOnlyWhenTheValueChangesAndTheCandidateTogglesOnlyAVisibleEnabledBox)
{
    const std::pair<std::vector<std::int16_t>, int> cases[] = {
        {{0}, 0}, {{1}, 1}, {{1, 1}, 1}, {{1, 0, 0}, 2}, {{2, 1, 1, 0}, 3}};
    for (const auto& [values, expectedClicks] : cases) {
        CheckBox box;
        int clicks = 0;
        box.onClick = [&] { ++clicks; };
        for (auto value : values)
            box.setValue(value);
        EXPECT_EQ((std::tuple{clicks, box.Value(), errorNumber([&] { box.setValue(3); })}),
                  (std::tuple{expectedClicks, values.back(), 380}));
    }

    CheckBox box;
    std::vector<std::int16_t> seen;
    box.onClick = [&] { seen.push_back(box.Value()); };
    for (const auto& [enabled, visible] : {std::pair{true, true}, {true, true}, {false, true}, {true, false}}) {
        box.setEnabled(enabled);
        box.setVisible(visible);
        box.click();
    }
    EXPECT_EQ(seen, (std::vector<std::int16_t>{1, 0}));
}

TEST(OptionButton, OptionsOfOneContainerAreExclusiveAndClickOnlyWhenTheyBecomeTrue)
{
    Form form("frmTest");
    auto& box = form.add<PictureBox>("pc");
    OptionButton* options[] = {&form.add<OptionButton>("a"), &form.add<OptionButton>("b"), &box.add<OptionButton>("c"),
                               &box.add<OptionButton>("d")};
    std::string clicks;
    for (auto* option : options)
        option->onClick = [&clicks, option] { clicks += option->Name(); };

    // option, value, values of a, b, c and d afterwards, Clicks raised
    const std::tuple<int, bool, std::string, std::string> steps[] = {
        {0, true, "1000", "a"}, {0, true, "1000", ""},  // setting a value to itself raises nothing
        {2, true, "1010", "c"}, {1, true, "0110", "b"},  // b clears a without a Click there
        {3, true, "0101", "d"}, {3, false, "0100", ""}, {1, true, "0100", ""}, {1, false, "0000", ""},
    };
    for (const auto& [target, value, after, raised] : steps) {
        clicks.clear();
        options[target]->setValue(value);
        std::string values;
        for (auto* option : options)
            values += option->Value() ? '1' : '0';
        EXPECT_EQ(values + " " + clicks, after + " " + raised);
    }
}

TEST(OptionButton, ASimulatedClickFocusesThenRaisesMouseDownClickMouseUp)
{
    Form form("frmTest");
    form.Show();
    auto& option = form.add<OptionButton>("optn");
    std::string events;
    const auto state = [&] { return option.Value() ? " on, " : " off, "; };
    option.onGotFocus = [&] { events += "GotFocus, "; };
    option.onMouseDown = [&](std::int16_t button, std::int16_t, float x, float y) {
        events += "MouseDown " + std::to_string(button) + " " + std::to_string(static_cast<int>(x + y)) + state();
    };
    option.onClick = [&] { events += "Click, "; };
    option.onMouseUp = [&](std::int16_t, std::int16_t, float, float) { events += std::string("MouseUp") + state(); };

    option.click(kLeftButton, 0, 30, 15);  // selects
    option.click();  // already selected: no Click
    option.click(kRightButton);  // the right button selects nothing

    EXPECT_EQ(events, "GotFocus, MouseDown 1 45 off, Click, MouseUp on, MouseDown 1 0 on, MouseUp on, "
                      "MouseDown 2 0 on, MouseUp on, ");
}

TEST(Label, AutoSizeFollowsTheCaptionAndFontAndWordWrapGrowsOnlyTheHeight)
{
    Label label;
    label.Move(0, 0, 5000, 100);
    label.setFont(Font("Arial", 10));  // 100 twips a character, 240 a line
    std::string sizes;
    const auto step = [&](const std::function<void()>& change) {
        change();
        sizes += vb::numberText(label.Width()) + "x" + vb::numberText(label.Height()) + " ";
    };
    step([&] { label.setCaption("aaa bbb ccc"); });  // no automatic sizing yet
    step([&] { label.setAutoSize(true); });
    step([&] { label.setFont(Font("Arial", 10, true)); });  // 110 a character
    step([&] {
        label.setFont(Font("Arial", 10));
        label.setWordWrap(true);
        label.setWidth(699);
    });
    step([&] { label.setWidth(700); });
    EXPECT_EQ(sizes, "5000x100 1100x240 1210x240 699x720 700x480 ");
}

// Expected sizes follow the documented rule: em = points × 20 twips, advance em × 0.5 (bold
// em × 0.55), line height round(em × 1.2).
TEST(TextMetrics, MeasuresOneLinePerLineBreakAndWrapsAtBlanksCuttingLongWords)
{
    const Font arial("Arial", 10);  // advance 100, line 240
    // font, text, wrapping width (none: unwrapped), size
    // clang-format off
    const std::tuple<Font, std::string, std::optional<std::int32_t>, TextMetrics::Size> cases[] = {
        {Font(), "Abc", {}, {248, 198}},  // 3 × 82.5 = 247.5
        {arial, "ab\r\nabcd", {}, {400, 480}}, {arial, "ab\nabcd\n", {}, {400, 720}},  // a trailing break opens a line
        {arial, "", {}, {0, 240}}, {arial, "\xC3\xA9t\xC3\xA9", {}, {300, 240}},  // code points, not bytes
        {Font("Arial", 0), "abc", {}, {0, 0}}, {arial, "abcdefghij", 400, {400, 720}},  // 4 + 4 + 2
        {arial, "a  b", 1000, {300, 240}},  // blank runs count once
        {arial, "ab\r\ncd", 1000, {200, 480}}, {arial, "abc", 0, {100, 720}},  // at least one character per line
        {Font("Arial", 10, true), "aaa bbb", 770, {770, 240}},  // bold: fits its own measured width
        {Font("Arial", 10, true), "aaa bbb", 769, {330, 480}},
    };
    // clang-format on
    for (const auto& [font, text, width, size] : cases) {
        EXPECT_EQ(width ? TextMetrics::measureWrapped(font, text, *width) : TextMetrics::measure(font, text), size)
            << text << " @" << width.value_or(-1);
    }
}

TEST(Control, FocusMovesOnlyToControlsTheCandidateCanReachAndZOrderPutsOneInFrontOrBehind)
{
    Form form("frmTest");
    form.Show();
    auto& first = form.add<CommandButton>("first");
    auto& second = form.add<CheckBox>("second");
    auto& box = form.add<PictureBox>("box");
    auto& inside = box.add<CheckBox>("inside");
    std::string events;
    first.onGotFocus = [&] { events += "+first "; };
    first.onLostFocus = [&] { events += "-first "; };
    second.onGotFocus = [&] { events += "+second "; };
    first.SetFocus();
    first.SetFocus();
    second.SetFocus();
    EXPECT_EQ((std::pair{events, form.ActiveControl()}),
              (std::pair<std::string, Control*>{"+first -first +second ", &second}));

    second.setVisible(false);
    EXPECT_TRUE(!form.ActiveControl() && !second.hasFocus());
    first.setEnabled(false);
    box.setVisible(false);
    for (Control* control : std::vector<Control*>{&first, &second, &inside, &form.add<Label>("label")})
        EXPECT_EQ(errorNumber([&] { control->SetFocus(); }), vb::err::kInvalidProcedureCall) << control->Name();
    EXPECT_EQ(form.ActiveControl(), nullptr);
    box.setVisible(true);
    EXPECT_EQ(errorNumber([&] { inside.SetFocus(); }), 0);
    box.setVisible(false);
    EXPECT_TRUE(!form.ActiveControl() && !inside.hasFocus());

    EXPECT_EQ(form.zOrder(), (std::vector<Control*>{form.find("label"), &box, &second, &first}));
    first.ZOrder(0);
    form.find("label")->ZOrder(1);
    EXPECT_EQ(form.zOrder(), (std::vector<Control*>{&first, &box, &second, form.find("label")}));
    EXPECT_EQ(form.find("label")->zIndex(), 3);
}

TEST(Control, CandidateActionsReachOnlyControlsWhoseContainersAndFormAreShownAndEnabled)
{
    Form form("frmTest");
    auto& outer = form.add<PictureBox>("outer");
    auto& inner = outer.add<PictureBox>("inner");
    auto& check = inner.add<CheckBox>("check");
    auto& option = inner.add<OptionButton>("option");
    auto& button = inner.add<CommandButton>("button");
    auto& browser = inner.add<WebBrowser>("browser");
    std::string seen;
    check.onClick = [&] { seen += 'c'; };
    option.onMouseDown = [&](std::int16_t, std::int16_t, float, float) { seen += 'o'; };
    button.onClick = [&] { seen += 'b'; };
    inner.onKeyPress = [&](std::int16_t&) { seen += 'k'; };
    browser.onDocumentEvent = [&](HtmlEvent&) { seen += 'e'; };
    const auto act = [&] {
        seen.clear();
        check.click();
        option.click();
        option.setValue(false);
        button.click();
        inner.keyPress('a');
        auto event = HtmlEvent::click("x");
        browser.fireEvent(event);
        return seen;
    };

    // what changes, what the candidate's actions reach
    // clang-format off
    const std::pair<std::function<void()>, std::string> steps[] = {
        {[] {}, ""},  // the form is not shown
        {[&] { form.Show(); }, "cobke"},
        {[&] { outer.setVisible(false); }, ""}, {[&] { outer.setVisible(true); }, "cobke"},
        {[&] { inner.setEnabled(false); }, ""}, {[&] { inner.setEnabled(true); }, "cobke"},
        {[&] { form.Hide(); }, ""}, {[&] { form.Show(); }, "cobke"}};
    // clang-format on
    for (const auto& [change, reached] : steps) {
        change();
        EXPECT_EQ(act(), reached);
        EXPECT_EQ(inner.canFocus(), !reached.empty());
    }
}

TEST(ScrollContainer, VChangeFollowsChangesOfTheVerticalPositionOnly)
{
    ScrollContainer scroll;
    scroll.setHeight(3000);
    scroll.setScrollingHeight(4500);
    std::vector<std::int32_t> seen;
    scroll.onVChange = [&] { seen.push_back(scroll.VerticalPosition()); };
    scroll.setHorizontalPosition(50);
    scroll.setVerticalPosition(700);
    scroll.setVerticalPosition(700);
    scroll.scrollToEnd();
    scroll.setScrollingHeight(1000);
    scroll.scrollToEnd();
    EXPECT_EQ(seen, (std::vector<std::int32_t>{700, 1500, 0}));
}

}  // namespace
