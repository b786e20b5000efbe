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

using Indices = std::vector<std::int16_t>;

TEST(Form, ItsWindowLivesFromLoadToUnloadACloseRequestOrDestructionAndUnloadDropsRuntimeElements)
{
    auto& windows = WindowSystem::instance();
    auto form = std::make_unique<Form>("frmMain");
    form->setCaption("Item");
    auto& container = form->add<PictureBox>("pc");
    auto& boxes = container.addArray<CheckBox>("chkBox");
    auto& buttons = form->addArray<OptionButton>("cmd");
    std::vector<std::string> events;
    form->onLoad = [&] { events.push_back("Load " + std::to_string(form->isLoaded())); };
    form->onUnload = [&] { events.push_back("Unload " + std::to_string(windows.isWindow(form->hWnd()))); };
    // A released window is gone from the window system and leads back to no form.
    const auto gone = [&](WindowHandle window) { return !windows.isWindow(window) && !Form::fromHandle(window); };

    EXPECT_EQ(form->hWnd(), kDesktopWindow);
    form->Load();
    form->Load();
    const auto first = form->hWnd();
    EXPECT_EQ((std::tuple{Form::fromHandle(first), windows.title(first), form->Visible()}),
              (std::tuple{form.get(), "Item", false}));
    boxes.load(1);
    boxes.load(2).setVisible(true);
    buttons.load(1);
    form->Show();
    boxes[2].SetFocus();
    form->Unload();
    form->Unload();
    EXPECT_TRUE(gone(first));
    EXPECT_EQ((std::tuple{boxes.indices(), buttons.indices(), form->ActiveControl(), container.controls().size()}),
              (std::tuple{Indices{0}, Indices{0}, nullptr, 1u}));

    form->Show();
    const auto second = form->hWnd();
    EXPECT_TRUE(second != first && form->Visible());
    const auto sent = windows.sentMessages().size();
    windows.sendMessage(second, kWmSysCommand, 0xF020, 0);  // minimize: not a close
    EXPECT_TRUE(form->isLoaded());
    windows.sendMessage(second, kWmSysCommand, kScClose, 0);
    windows.sendMessage(second, kWmSysCommand, kScClose, 0);  // to a window that is gone
    EXPECT_EQ((std::pair{gone(second), windows.sentMessages().size()}), (std::pair{true, sent + 3}));
    EXPECT_EQ(windows.sentMessages().back(), (WindowSystem::Message{second, kWmSysCommand, kScClose, 0}));

    form->Show();
    boxes[0].SetFocus();
    const auto third = form->hWnd();
    form.reset();  // destroying a loaded form releases its window silently
    EXPECT_TRUE(gone(third));
    EXPECT_EQ(events, (std::vector<std::string>{"Load 1", "Unload 1", "Load 1", "Unload 1", "Load 1"}));
}

TEST(Form, ResizeFollowsSizeChangesOfALoadedFormAndScaleSizeIsTheInnerSize)
{
    Form form("frmMain");
    int resizes = 0;
    form.onResize = [&] { ++resizes; };
    form.Move(0, 0, 6000, 4500);  // not loaded yet
    form.Load();
    const auto move = [&](float left, float top, float width, float height) {
        return [=, &form] { form.Move(left, top, width, height); };
    };
    // What happens and the resizes so far: a move alone is no resize, negative sizes count as 0, and
    // the first show after each load gives the window its size.
    // clang-format off
    const std::pair<std::function<void()>, int> steps[] = {
        {move(0, 0, 6000, 4500), 0}, {move(100, 200, 6000, 4500), 0}, {move(100, 200, 6001, 4500), 1},
        {move(0, 0, -5, -5), 2}, {move(0, 0, 0, 0), 2}, {[&] { form.Show(); }, 3}, {[&] { form.Hide(); }, 3},
        {[&] { form.Show(); }, 3}, {[&] { form.Unload(); }, 3}, {[&] { form.Show(); }, 4},
    };
    // clang-format on
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(resizes, expected);
    }

    form.Move(0, 0, 6000, 4500);
    const auto scaleSize = [&] { return std::pair{form.ScaleWidth(), form.ScaleHeight()}; };
    EXPECT_EQ(scaleSize(), std::pair(6000.0f - 8 * 15, 4500.0f - 27 * 15));
    form.setBorderStyle(0);
    EXPECT_EQ(scaleSize(), std::pair(6000.0f, 4500.0f));
}

TEST(ControlArray, ALoadedElementCopiesElementZeroAndStartsHiddenAndBadIndicesRaiseTheRuntimeErrors)
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
    // the value is not inherited
    EXPECT_EQ((std::tuple{one.parent(), one.font(), one.Tag(), one.Enabled(), one.Value()}),
              (std::tuple{&container, zero.font(), "answer-a", false, 0}));
    EXPECT_EQ((std::tuple{form.findArray<CheckBox>("CHKBOX"), form.findArray<OptionButton>("chkBox"),
                          form.find("chkBox", 1)}),
              (std::tuple{&boxes, nullptr, &one}));

    boxes.load(2);
    boxes.unload(1);
    const std::tuple<const char*, std::function<void()>, std::int32_t> cases[] = {
        {"unloaded element", [&] { boxes[1]; }, 9},          {"missing via at", [&] { boxes.at(7); }, 9},
        {"negative load", [&] { boxes.load(-1); }, 9},       {"load twice", [&] { boxes.load(2); }, 360},
        {"unload element 0", [&] { boxes.unload(0); }, 362}, {"unload missing", [&] { boxes.unload(1); }, 9},
    };
    for (const auto& [what, action, number] : cases)
        EXPECT_EQ(errorNumber(action), number) << what;
    EXPECT_EQ((std::tuple{boxes.indices(), boxes.count(), boxes.ubound(), container.controls().size()}),
              (std::tuple{Indices{0, 2}, 2, 2, 2u}));
}

// The item window's own tests see clicks and page events arrive by index; only here are the key a
// hook changes and the element whose document completes seen.
TEST(ControlArray, EventsOfOptionAndBrowserElementsCarryTheElementIndex)
{
    EventLoop::current().clear();
    Form form("frmTest");
    form.Show();
    auto& options = form.addArray<OptionButton>("optnBox");
    auto& browsers = form.addArray<WebBrowser>("txtChoice");
    options.load(2).setVisible(true);
    browsers.load(1);
    std::vector<std::string> events;
    const auto record = [&](const std::string& what, std::int16_t index) {
        events.push_back(what + std::to_string(index));
    };
    options.onClick = [&](std::int16_t index) { record("click ", index); };
    options.onKeyPress = [&](std::int16_t index, std::int16_t& key) {
        record("key " + std::to_string(key) + " @", index);
        key = 0;
    };
    browsers.onDocumentComplete = [&](std::int16_t index) { record("complete ", index); };

    options[2].click();
    EXPECT_EQ(options[2].keyPress(66), 0);
    options[0].setValue(true);
    browsers[1].LoadHTML("<html>b</html>");
    browsers[0].LoadHTML("<html>a</html>");
    EventLoop::current().runUntilIdle();

    EXPECT_EQ(events, (std::vector<std::string>{"click 2", "key 66 @2", "click 0", "complete 1", "complete 0"}));
}

}  // namespace
