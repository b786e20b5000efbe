#include "PlatformTesting.h"

#include "platform/CheckBox.h"
#include "platform/CommandButton.h"
#include "platform/ControlArray.h"
#include "platform/Form.h"
#include "platform/OptionButton.h"
#include "platform/PictureBox.h"
#include "platform/WebBrowser.h"

#include <tuple>

using namespace platform;
using platform_testing::errorNumber;

namespace {

TEST(ControlArray, ElementZeroExistsFromTheStartAndBadIndicesRaise)
{
    Form form("frmTest");
    auto& boxes = form.addArray<CheckBox>("chkBox");
    EXPECT_EQ(boxes[0].Name(), "chkBox");
    EXPECT_EQ(boxes[0].Index(), 0);
    EXPECT_EQ(form.findArray<CheckBox>("CHKBOX"), &boxes);
    EXPECT_EQ(form.findArray<OptionButton>("chkBox"), nullptr);
    EXPECT_EQ(form.find("chkBox", 0), &boxes[0]);
    boxes.load(1);
    boxes.load(2);
    boxes.unload(1);

    const std::tuple<const char*, std::function<void()>, std::int32_t> cases[] = {
        {"unloaded element", [&] { boxes[1]; }, 9},         {"missing via at", [&] { boxes.at(7); }, 9},
        {"negative load", [&] { boxes.load(-1); }, 9},      {"load twice", [&] { boxes.load(2); }, 360},
        {"unload element 0", [&] { boxes.unload(0); }, 362}, {"unload missing", [&] { boxes.unload(1); }, 9},
    };
    for (const auto& [what, action, number] : cases)
        EXPECT_EQ(errorNumber(action), number) << what;
    EXPECT_EQ(boxes.indices(), (std::vector<std::int16_t>{0, 2}));
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.ubound(), 2);
    EXPECT_EQ(form.find("chkBox", 1), nullptr);
    EXPECT_EQ(form.controls().size(), 2u);
}

TEST(ControlArray, ALoadedElementCopiesElementZeroAndStartsHiddenInTheSameContainer)
{
    Form form("frmMain");
    form.Move(0, 0, 9000, 6000);
    auto& container = form.add<PictureBox>("pcChoicesContainer");
    container.Move(0, 1200, 8000, 3000);
    auto& boxes = container.addArray<CheckBox>("chkBox");
    auto& zero = boxes[0];
    zero.Move(150, 50, 400, 300);
    zero.setFont(Font("Verdana", 10, true));
    zero.setCaption("A.");
    zero.setTag("answer-a");
    zero.setEnabled(false);
    zero.setValue(1);
    form.add<CommandButton>("cmdExit").setCaption("Exit");

    auto& one = boxes.load(1);

    EXPECT_EQ(form.controlTree(), "frmMain Form 0,0 9000x6000 hidden \"\"\n"
                                  "  pcChoicesContainer PictureBox 0,1200 8000x3000 visible \"\"\n"
                                  "    chkBox(0) CheckBox 150,50 400x300 visible \"A.\"\n"
                                  "    chkBox(1) CheckBox 150,50 400x300 hidden \"A.\"\n"
                                  "  cmdExit CommandButton 0,0 0x0 visible \"Exit\"\n");
    EXPECT_EQ(one.parent(), &container);
    EXPECT_EQ(one.font(), zero.font());
    EXPECT_EQ(one.Tag(), "answer-a");
    EXPECT_FALSE(one.Enabled());
    EXPECT_EQ(one.Value(), 0);  // values are not inherited
}

TEST(ControlArray, EventsCarryTheElementIndex)
{
    Form form("frmTest");
    auto& options = form.addArray<OptionButton>("optnBox");
    options.load(1);
    options.load(2);
    std::vector<std::string> events;
    const auto record = [&](const std::string& what, std::int16_t index) { events.push_back(what + std::to_string(index)); };
    options.onMouseDown = [&](std::int16_t index, std::int16_t, std::int16_t, float, float) { record("down ", index); };
    options.onClick = [&](std::int16_t index) { record("click ", index); };
    options.onMouseUp = [&](std::int16_t index, std::int16_t, std::int16_t, float, float) { record("up ", index); };
    options.onKeyPress = [&](std::int16_t index, std::int16_t& key) {
        record("key " + std::to_string(key) + " @", index);
        key = 0;
    };

    options[2].setVisible(true);
    options[2].click();
    EXPECT_EQ(options[2].keyPress(66), 0);
    options[0].setValue(true);

    EXPECT_EQ(events, (std::vector<std::string>{"down 2", "click 2", "up 2", "key 66 @2", "click 0"}));
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
