#include "ItemDriver.h"

#include "itemwindow/frmMain.h"
#include "support/modFormFunctions.h"
#include "velm/DataIO.h"

#include <gtest/gtest.h>

namespace quorin::test {
namespace {

platform::WindowSystem& windows() { return platform::WindowSystem::instance(); }

TEST(Lifecycle, InitialisationLogsItsNotesInOrderAndParentsTheHiddenWindow)
{
    ItemDriver item;
    ASSERT_TRUE(item.init(itemXml()));

    EXPECT_EQ(item.support->notesOf("InitExternalDisplay"),
              (Texts{"Start", "about to init main form", "Completed Init of item", "done refresh display", "End"}));
    const auto form = item.component->mainForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Name(), "frmMain");
    EXPECT_EQ(windows().parentOf(form->hWnd()), item.parentWindow);
    EXPECT_EQ(form->PreviousParent(), platform::kDesktopWindow);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->ParentClass(), item.component);
    EXPECT_TRUE(item.errors().empty());
}

TEST(Lifecycle, InitialisationTakesTheStaticsOfTheItemsLanguageOrElseTheFirstAndAnEmptyStateIfNoneIsGiven)
{
    struct Case {
        const char *language, *font, *title, *clearAll;
        std::string state;
    };
    const Case cases[] = {
        {"ENU", "Verdana", "Quorin Examination", "Clear All", ""},
        {"DEU", "Arial", "Quorin Prüfung", "Alles löschen", stateWith({"B"})},
        {"FRA", "", "Quorin Examination", "Clear All", "<State><Scroll>1</Scroll></State>"},
        {"deu", "", "Quorin Examination", "Clear All", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.language = c.language, .state = c.state})));
        auto& mc = *item.component;
        EXPECT_EQ(mc.mFontReg, platform::Font(c.font, 10, false));
        EXPECT_EQ(mc.mFontBld, platform::Font(c.font, 10, true));
        EXPECT_EQ(mc.gsAppTitle, c.title);
        const std::string xml = mc.ItemData().GetXml();
        EXPECT_EQ(xml.find("<Static>"), xml.rfind("<Static>"));
        EXPECT_EQ(modFormFunctions::GetStaticMsg(mc, "cmdClearAll", false, 0, "ButtonText"), c.clearAll);
        EXPECT_EQ(item.state(), c.state.empty() ? "<State><Responses/></State>" : c.state);
    }
}

TEST(Lifecycle, OptionBitsConfigureTheItemWindow)
{
    struct Case {
        std::int32_t options;
        bool readOnly, showAnswers, parlaDriver;
    };
    const Case cases[] = {{0, false, false, false},    {0x1, true, false, false}, {0x10, false, true, false},
                          {0x100, false, false, true}, {0x111, true, true, true}, {~0x111, false, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml(), c.options));
        const auto form = item.component->mainForm();
        EXPECT_EQ(form->ReadOnly(), c.readOnly);
        EXPECT_EQ(form->ShowAnswers(), c.showAnswers);
        EXPECT_EQ(form->ParlaDriver(), c.parlaDriver);
    }
}

TEST(Lifecycle, ShowKeepsTheRectangleResizeRaisesItToTheMinimumAndHideHidesIt)
{
    struct Case {
        bool resize;
        std::int32_t left, top, width, height, shownWidth, shownHeight;
    };
    const Case cases[] = {{false, 0, 0, 100, 100, 100, 100},
                          {true, 0, 0, 100, 100, 8000, 4500},
                          {true, 15, 30, 7999, 4499, 8000, 4500},
                          {true, 15, 30, 8001, 4501, 8001, 4501}};
    ItemDriver item;
    auto& display = item.display();
    ASSERT_TRUE(item.init(itemXml()));
    const auto form = item.component->mainForm();
    EXPECT_EQ(display.hwnd(), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.resize ? "resize " : "show ") + std::to_string(c.width));
        ASSERT_TRUE(display.HideExternalDisplay());
        EXPECT_EQ(display.hwnd(), 0);
        EXPECT_TRUE(c.resize ? display.ResizeExternalDisplay(c.left, c.top, c.width, c.height)
                             : display.ShowExternalDisplay(c.left, c.top, c.width, c.height));
        EXPECT_EQ((std::array{form->Left(), form->Top(), form->Width(), form->Height()}),
                  (std::array{c.left, c.top, c.shownWidth, c.shownHeight}));
        EXPECT_TRUE(windows().isVisible(form->hWnd()));
        EXPECT_EQ(display.hwnd(), form->hWnd());
        const auto note = item.support->notesOf(c.resize ? "ResizeExternalDisplay" : "ShowExternalDisplay").back();
        EXPECT_NE(note.find(std::to_string(c.shownWidth)), std::string::npos) << note;
        EXPECT_NE(note.find(std::to_string(c.shownHeight)), std::string::npos) << note;
    }
    EXPECT_TRUE(item.errors().empty());
}

TEST(Lifecycle, FreeGivesTheWindowBackUnloadsItAndReleasesEverything)
{
    ItemDriver item;
    ASSERT_TRUE(item.init(itemXml()));
    ASSERT_TRUE(item.display().ShowExternalDisplay(0, 0, 9000, 6000));
    auto form = item.component->mainForm();
    const auto handle = form->hWnd();
    platform::WindowHandle parentAtUnload = -1;
    bool visibleAtUnload = true;
    form->onUnload = [&] {
        parentAtUnload = windows().parentOf(handle);
        visibleAtUnload = windows().isVisible(handle);
    };
    std::weak_ptr<clsMultipleChoice> released = item.component;

    EXPECT_TRUE(item.display().FreeExternalDisplay());

    EXPECT_EQ(parentAtUnload, platform::kDesktopWindow);
    EXPECT_FALSE(visibleAtUnload);
    EXPECT_FALSE(windows().isWindow(handle));
    EXPECT_TRUE(windows().childrenOf(item.parentWindow).empty());
    EXPECT_EQ(item.support->notesOf("FreeExternalDisplay"), (Texts{"Start", "End"}));
    EXPECT_EQ(item.component->mainForm(), nullptr);
    EXPECT_EQ(form->ParentClass(), nullptr);
    EXPECT_EQ(item.component->ExternalSupport(), nullptr);
    EXPECT_EQ(item.display().hwnd(), 0);
    EXPECT_TRUE(item.errors().empty());
    form.reset();
    item.component.reset();
    EXPECT_TRUE(released.expired());
}

TEST(Lifecycle, ASecondInitFailsThroughTheTrapAndKeepsTheFirstUntilTheComponentIsDropped)
{
    ItemDriver item;
    ASSERT_TRUE(item.init(itemXml()));
    item.restore(stateWith({"A", "C"}));
    const auto handle = item.component->mainForm()->hWnd();

    EXPECT_FALSE(item.init(itemXml({.responseType = "N", .state = stateWith({"D"})})));

    EXPECT_EQ(item.errorRoutines(), Texts{"InitExternalDisplay"});
    EXPECT_EQ(windows().childrenOf(item.parentWindow), std::vector<platform::WindowHandle>{handle});
    EXPECT_EQ(item.response(1), "A, C");
    std::weak_ptr<clsMultipleChoice> released = item.component;
    item.component.reset();
    EXPECT_TRUE(released.expired());
    EXPECT_FALSE(windows().isWindow(handle));
}

TEST(Lifecycle, AfterFreeEveryCallFailsTheDriversCall)
{
    ItemDriver item;
    ASSERT_TRUE(item.init(itemXml({.state = stateWith({"A"})})));
    ASSERT_TRUE(item.display().FreeExternalDisplay());
    const auto logged = item.support->log().size();
    auto& display = item.display();
    std::int16_t n = 0;
    float f = 0;
    std::int32_t l = 0;
    bool b = false;
    std::string s;
    vb::ByteArray buffer(64);
    const std::function<void()> calls[] = {
        [&] { display.FreeExternalDisplay(); },
        [&] { item.init(itemXml()); },
        [&] { display.GetExternalStateBytes(); },
        [&] { display.GetExternalStateArray(buffer, 64); },
        [&] { item.restore(stateWith({"B"})); },
        [&] { display.GetResponse(1, buffer, 64); },
        [&] { display.GetResponseBytes(1, b); },
        [&] { display.ScoreExternalDisplay(n, n, n, n, f); },
        [&] { item.rescore(bytes("A")); },
        [&] { display.GetScoreInfo(n, f, f); },
        [&] { display.GetExternalDisplayStatus(l, b, s); },
        [&] { display.ShowExternalDisplay(0, 0, 9000, 6000); },
        [&] { display.HideExternalDisplay(); },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i)
        EXPECT_TRUE(failureOf(calls[i]).has_value()) << "call " << i;
    EXPECT_EQ(display.hwnd(), 0);
    EXPECT_EQ(item.support->log().size(), logged);
    EXPECT_TRUE(item.support->messages().empty());
}

TEST(Lifecycle, BeforeInitCallsNeedingTheWindowAreReportedAndTheRestAnswerCleanly)
{
    ItemDriver item;
    auto& display = item.display();
    EXPECT_FALSE(display.HideExternalDisplay());
    std::int32_t status = -1;
    bool viewedAll = true;
    std::string message = "kept";
    display.GetExternalDisplayStatus(status, viewedAll, message);
    EXPECT_EQ(item.errorRoutines(), (Texts{"DisplayInt_HideExternalDisplay", "GetExternalDisplayStatus"}));
    EXPECT_EQ(item.errors()[0].number, vb::err::kObjectNotSet);
    EXPECT_EQ(message, "kept");

    EXPECT_EQ(display.GetExternalStateBytes(), 12);
    EXPECT_EQ(item.score(), (Score{true, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(display.ShowExternalDisplay(0, 0, 100, 100));
    EXPECT_EQ(display.hwnd(), 0);
    EXPECT_TRUE(display.FreeExternalDisplay());
    EXPECT_EQ(item.errors().size(), 2u);
}

TEST(Lifecycle, ExternalSupportWithNothingIsReportedAndKeepsTheEarlierSupport)
{
    ItemDriver item;
    item.display().ExternalSupport(nullptr);

    EXPECT_EQ(item.errorRoutines(), Texts{"ExternalSupport_Set"});
    EXPECT_EQ(item.errors()[0].number, vb::kObjectErrorBase);
    ASSERT_EQ(item.support->messages().size(), 1u);
    EXPECT_EQ(item.support->messages()[0].text,
              "Error: Description - External Support is nothing.  Number - -2147221504"
              "  Source - Multiple Choice  Routine - ExternalSupport_Set  LineNumber - 0");
    EXPECT_EQ(item.component->ExternalSupport(), item.support);
    EXPECT_TRUE(item.init(itemXml()));
}

TEST(Lifecycle, AFailureBeforeTheSupportObjectExistsFailsTheDriversCall)
{
    const auto component = clsMultipleChoice::create();
    velm::DisplayInt& display = *component;
    const auto definition = bytes(itemXml());
    // Reporting needs the support object, so the driver sees the error of the failed report.
    const std::function<void()> calls[] = {
        [&] { display.ExternalSupport(nullptr); },
        [&] { display.HideExternalDisplay(); },
        [&] { display.InitExternalDisplay(definition, 0, 0); },
    };
    for (const auto& call : calls) {
        const auto failure = failureOf(call);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, vb::err::kObjectNotSet);
    }
    EXPECT_EQ(component->mainForm(), nullptr);
}

TEST(Lifecycle, DamagedDefinitionOrStaticsEndInitialisationInAReportedError)
{
    const auto good = bytes(itemXml());
    const std::string utf8 = itemXml();
    const std::string statics = exampleStaticStrings();
    auto odd = good;
    odd.push_back('<');
    const char* missing = "Missing Static information";
    struct Case {
        const char* name;
        vb::ByteArray definition;
        std::string statics;
        const char* error;  // nullptr: the item loads; "": the XML does not load
    };
    const Case cases[] = {
        {"statics empty", good, "", missing},
        {"statics of four characters between blanks", good, "  <a/>  ", missing},
        {"statics of five characters", good, "<ab/>", nullptr},
        {"statics not XML", good, "<Root><Language Id=\"ENU\"><Static>", ""},
        {"definition not XML", bytes("this is no item"), statics, ""},
        {"definition empty", {}, statics, ""},
        {"definition truncated", vb::ByteArray(good.begin(), good.begin() + good.size() / 2), statics, ""},
        {"definition in UTF-8", vb::ByteArray(utf8.begin(), utf8.end()), statics, ""},
        {"odd byte appended to the definition", odd, statics, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ItemDriver item(c.statics);
        EXPECT_EQ(item.display().InitExternalDisplay(c.definition, 0, 0), c.error == nullptr);
        EXPECT_EQ(item.component->mainForm() != nullptr, c.error == nullptr);
        EXPECT_EQ(item.errorRoutines(), c.error ? Texts{"InitExternalDisplay"} : Texts{});
        if (c.error == missing) {
            EXPECT_EQ(item.errors()[0].number, static_cast<std::int32_t>(0x8004000Au));
            EXPECT_EQ(item.errors()[0].text, missing);
            EXPECT_NE(item.support->messages()[0].text.find("Source - InitExternalDisplay"), std::string::npos);
            EXPECT_EQ(item.component->ItemData().GetXml().rfind("<MultipleChoiceItem", 0), 0u);
        }
        EXPECT_EQ(item.display().hwnd(), 0);
        EXPECT_TRUE(item.display().FreeExternalDisplay());
    }
}

}  // namespace
}  // namespace quorin::test
