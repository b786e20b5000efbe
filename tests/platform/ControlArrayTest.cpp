#include "platform/CheckBox.h"
#include "platform/ControlArray.h"
#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/WebBrowser.h"
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

TEST(ControlArray, ElementZeroExistsFromTheStart)
{
    Form form("frmTest");
    auto& boxes = form.addArray<CheckBox>("chkBox");

    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.ubound(), 0);
    EXPECT_EQ(boxes[0].Name(), "chkBox");
    EXPECT_EQ(boxes[0].Index(), 0);
    EXPECT_EQ(form.findArray<CheckBox>("CHKBOX"), &boxes);
    EXPECT_EQ(form.findArray<OptionButton>("chkBox"), nullptr);
    EXPECT_EQ(form.find("chkBox", 0), &boxes[0]);
}

TEST(ControlArray, ALoadedElementCopiesElementZeroAndStartsHidden)
{
    Form form("frmTest");
    auto& container = form.add<PictureBox>("pcChoicesContainer");
    auto& boxes = container.addArray<CheckBox>("chkBox");
    auto& zero = boxes[0];
    zero.Move(150, 50, 400, 300);
    zero.setFont(Font("Verdana", 10, true));
    zero.setCaption("A.");
    zero.setTag("answer-a");
    zero.setEnabled(false);
    zero.setValue(1);

    auto& one = boxes.load(1);

    EXPECT_EQ(one.parent(), &container);
    EXPECT_EQ(one.Index(), 1);
    EXPECT_FALSE(one.Visible());
    EXPECT_EQ(one.Left(), 150);
    EXPECT_EQ(one.Top(), 50);
    EXPECT_EQ(one.Width(), 400);
    EXPECT_EQ(one.Height(), 300);
    EXPECT_EQ(one.font(), zero.font());
    EXPECT_EQ(one.Caption(), "A.");
    EXPECT_EQ(one.Tag(), "answer-a");
    EXPECT_FALSE(one.Enabled());
    EXPECT_EQ(one.Value(), 0);  // values are not inherited
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.ubound(), 1);
}


TEST(ControlArray, BadIndicesRaiseTheRuntimeErrors)
{
    Form form("frmTest");
    auto& boxes = form.addArray<CheckBox>("chkBox");
    boxes.load(2);

    struct Case {
        const char* what;
        std::function<void()> action;
        std::int32_t number;
    };
    const Case cases[] = {
        {"missing element", [&] { boxes[1]; }, 9},
        {"missing via at", [&] { boxes.at(7); }, 9},
        {"negative load", [&] { boxes.load(-1); }, 9},
        {"load twice", [&] { boxes.load(2); }, 360},
        {"unload element 0", [&] { boxes.unload(0); }, 362},
        {"unload missing", [&] { boxes.unload(5); }, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorNumber(c.action), c.number);
    }
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.find(1), nullptr);
}

TEST(ControlArray, UnloadDestroysTheElement)
{
    Form form("frmTest");
    auto& boxes = form.addArray<CheckBox>("chkBox");
    boxes.load(1);
    boxes.load(2);

    boxes.unload(1);

    EXPECT_FALSE(boxes.exists(1));
    EXPECT_TRUE(boxes.exists(2));
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.ubound(), 2);
    EXPECT_EQ(boxes.indices(), (std::vector<std::int16_t>{0, 2}));
    EXPECT_EQ(form.find("chkBox", 1), nullptr);
    EXPECT_EQ(form.controls().size(), 2u);
}

TEST(ControlArray, EventsCarryTheElementIndex)
{
    Form form("frmTest");
    auto& options = form.addArray<OptionButton>("optnBox");
    options.load(1);
    options.load(2);
    std::vector<std::string> events;
    options.onMouseDown = [&](std::int16_t index, std::int16_t, std::int16_t, float, float) {
        events.push_back("down " + std::to_string(index));
    };
    options.onClick = [&](std::int16_t index) { events.push_back("click " + std::to_string(index)); };
    options.onMouseUp = [&](std::int16_t index, std::int16_t, std::int16_t, float, float) {
        events.push_back("up " + std::to_string(index));
    };
    options.onKeyPress = [&](std::int16_t index, std::int16_t& key) {
        events.push_back("key " + std::to_string(index) + " " + std::to_string(key));
        key = 0;
    };

    options[2].setVisible(true);
    options[2].click();
    const auto returned = options[2].keyPress(66);
    options[0].setValue(true);

    EXPECT_EQ(returned, 0);
    const std::vector<std::string> expected = {"down 2", "click 2", "up 2", "key 2 66", "click 0"};
    EXPECT_EQ(events, expected);
    EXPECT_FALSE(options[2].Value());  // the elements form one group
}

TEST(ControlArray, BrowserElementsReportDocumentsByIndex)
{
    EventLoop::current().clear();
    Form form("frmTest");
    auto& browsers = form.addArray<WebBrowser>("txtChoice");
    browsers.load(1);
    std::vector<std::int16_t> completed;
    std::vector<std::int16_t> events;
    browsers.onDocumentComplete = [&](std::int16_t index) { completed.push_back(index); };
    browsers.onDocumentEvent = [&](std::int16_t index, HtmlEvent& event) {
        events.push_back(index);
        event.keyCode = 32;
    };

    browsers[1].LoadHTML("<html>b</html>");
    browsers[0].LoadHTML("<html>a</html>");
    EventLoop::current().runUntilIdle();
    auto key = HtmlEvent::key("keypress", 65);
    browsers[1].fireEvent(key);

    EXPECT_EQ(completed, (std::vector<std::int16_t>{1, 0}));
    EXPECT_EQ(events, (std::vector<std::int16_t>{1}));
    EXPECT_EQ(key.keyCode, 32);
}

TEST(ControlArray, UnloadingTheFormUnloadsRuntimeElementsOnly)
{
    Form form("frmTest");
    auto& container = form.add<PictureBox>("pc");
    auto& boxes = container.addArray<CheckBox>("chkBox");
    auto& buttons = form.addArray<OptionButton>("cmd");
    form.Load();
    boxes.load(1);
    boxes.load(2);
    buttons.load(1);
    boxes[2].setVisible(true);
    boxes[2].SetFocus();

    form.Unload();

    EXPECT_EQ(boxes.indices(), (std::vector<std::int16_t>{0}));
    EXPECT_EQ(buttons.indices(), (std::vector<std::int16_t>{0}));
    EXPECT_EQ(form.ActiveControl(), nullptr);
    EXPECT_EQ(container.controls().size(), 1u);
}

}  // namespace
