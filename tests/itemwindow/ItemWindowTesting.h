#pragma once

#include "ItemDriver.h"
#include "itemwindow/frmMain.h"
#include "platform/EventLoop.h"
#include "platform/HeadlessBrowserEngine.h"
#include "platform/ManualClock.h"
#include "platform/Screen.h"

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace quorin::test {

// Each test gets a manual clock, the headless browser engine, a support folder of its own (which
// is also where the driver finds the item's resources) and one item, shown as the driver shows it, with the candidate's actions to apply to it.
class ItemWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loop.clear();
        loop.setClock(clock);
        platform::BrowserEngine::setCurrent(engine);
        std::filesystem::remove_all(supportDir);
        std::filesystem::create_directories(supportDir);
    }
    void TearDown() override
    {
        item.reset();
        loop.clear();
        loop.setClock(nullptr);
        platform::BrowserEngine::setCurrent(nullptr);
        platform::Screen::instance().reset();
        std::filesystem::remove_all(supportDir);
    }

    // Initialises a new instance with that item; false when initialisation failed.
    bool init(const ItemParts& definition, std::int32_t options = 0)
    {
        item = std::make_unique<ItemDriver>(velm::host::bundledStaticStrings(), supportDir, supportDir);
        return item->init(itemXml(definition), options);
    }
    // Initialises and shows the item, then lets every document complete.
    void open(const ItemParts& definition, std::int32_t options = 0)
    {
        ASSERT_TRUE(init(definition, options));
        show();
    }
    void show(std::array<std::int32_t, 4> rect = {0, 0, 9000, 6000})
    {
        item->display().ShowExternalDisplay(rect[0], rect[1], rect[2], rect[3]);
        loop.runUntilIdle();
    }

    frmMain& window() const { return *item->component->mainForm(); }
    bool single() const { return window().optnBox[0].Caption() != ""; }
    std::int16_t positions() const { return single() ? window().optnBox.count() : window().chkBox.count(); }
    platform::Control& answerControl(std::int16_t position) const
    {
        return single() ? static_cast<platform::Control&>(window().optnBox[position]) : window().chkBox[position];
    }

    // Every document of the window: the frame pages, the stem, then each choice text.
    std::vector<platform::WebBrowser*> documents() const
    {
        auto& w = window();
        std::vector<platform::WebBrowser*> all{&w.brwTitle,   &w.brwLeftEdge, &w.brwRightEdge,
                                               &w.brwButtons, &w.brwBottom,   &w.txtItemStem};
        for (std::int16_t p = 0; p < w.txtChoice.count(); ++p)
            all.push_back(&w.txtChoice[p]);
        return all;
    }

    // The candidate clicks the answer control at that position.
    void click(std::int16_t position)
    {
        single() ? window().optnBox[position].click() : window().chkBox[position].click();
        loop.runUntilIdle();
    }
    // The candidate clicks inside the text of the choice at that position.
    void clickText(std::int16_t position)
    {
        auto event = platform::HtmlEvent::click("");
        window().txtChoice[position].fireEvent(event);
        loop.runUntilIdle();
    }
    // The candidate types a character with the focus on the choices.
    void type(char character)
    {
        auto& choices = window().pcChoicesContainer;
        if (choices.canFocus())
            choices.SetFocus();
        choices.keyPress(static_cast<std::int16_t>(character));
        loop.runUntilIdle();
    }

    // The candidate presses that button of the button bar.
    void pressButton(const std::string& id)
    {
        auto event = platform::HtmlEvent::click(id);
        window().brwButtons.fireEvent(event);
        loop.runUntilIdle();
    }

    // The letters of the selected positions, in position order ("AC").
    std::string selected() const
    {
        std::string letters;
        for (std::int16_t p = 0; p < positions(); ++p) {
            const bool on = single() ? window().optnBox[p].Value() : window().chkBox[p].Value() == 1;
            if (on)
                letters += answerControl(p).Caption().substr(0, 1);
        }
        return letters;
    }
    // The identifiers of the positions, in position order ("BDAC").
    std::string order() const
    {
        std::string tags;
        for (std::int16_t p = 0; p < positions(); ++p)
            tags += answerControl(p).Tag();
        return tags;
    }
    // The texts of the message boxes shown so far.
    Texts messages() const
    {
        Texts texts;
        for (const auto& message : item->support->messages())
            texts.push_back(message.text);
        return texts;
    }

    // What the driver reads as ViewedAll.
    bool viewedAll() const { return item->displayStatus().second; }

    platform::EventLoop& loop = platform::EventLoop::current();
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    std::shared_ptr<platform::HeadlessBrowserEngine> engine = std::make_shared<platform::HeadlessBrowserEngine>();
    std::filesystem::path supportDir =
        std::filesystem::temp_directory_path() / ("quorin-window-" + std::to_string(getpid()));
    std::unique_ptr<ItemDriver> item;
};

}  // namespace quorin::test
