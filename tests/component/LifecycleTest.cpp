#include "ComponentFixture.h"

#include "itemwindow/frmMain.h"
#include "support/modFormFunctions.h"
#include "velm/DataIO.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quorin::test {
namespace {

using Texts = std::vector<std::string>;

platform::WindowSystem& windows() { return platform::WindowSystem::instance(); }

using Lifecycle = ComponentFixture;

TEST_F(Lifecycle, InitialisationWritesItsNotesInOrderAndParentsTheHiddenWindow)
{
    ASSERT_TRUE(driver.init(itemXml()));

    EXPECT_EQ(support.notesOf("InitExternalDisplay"),
              (Texts{"Start", "about to init main form", "Completed Init of item", "done refresh display", "End"}));
    const auto form = component.mainForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->Name(), "frmMain");
    EXPECT_EQ(windows().parentOf(form->hWnd()), driver.parentWindow());
    EXPECT_EQ(form->PreviousParent(), platform::kDesktopWindow);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->ParentClass().get(), &component);
    EXPECT_EQ(component.AppVersion(), "1.0.0");
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(Lifecycle, InsertsTheStaticBlockOfTheItemsLanguageOrElseTheFirst)
{
    struct Case {
        const char *language, *font, *title, *clearAll;
    };
    const Case cases[] = {
        {"ENU", "Verdana", "Quorin Examination", "Clear All"},
        {"DEU", "Arial", "Quorin Prüfung", "Alles löschen"},
        {"FRA", "", "Quorin Examination", "Clear All"},
        {"deu", "", "Quorin Examination", "Clear All"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.language = c.language})));
        auto& mc = item.component();
        EXPECT_EQ(mc.mFontReg, platform::Font(c.font, 10, false));
        EXPECT_EQ(mc.mFontBld, platform::Font(c.font, 10, true));
        EXPECT_EQ(mc.gsAppTitle, c.title);
        const std::string xml = mc.ItemData().GetXml();
        EXPECT_EQ(xml.find("<Static>"), xml.rfind("<Static>"));
        EXPECT_EQ(modFormFunctions::GetStaticMsg(mc, "cmdClearAll", false, 0, "ButtonText"), c.clearAll);
    }
}

TEST_F(Lifecycle, CreatesAnEmptyStateOnlyWhenTheItemHasNone)
{
    for (const std::string given : {"", "<State><Responses><Response>B</Response></Responses></State>",
                                    "<State><Scroll>1</Scroll></State>"}) {
        SCOPED_TRACE(given);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.state = given})));
        EXPECT_EQ(item.state(), given.empty() ? "<State><Responses/></State>" : given);
    }
}

TEST_F(Lifecycle, OptionBitsConfigureTheItemWindow)
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
        const auto form = item.component().mainForm();
        EXPECT_EQ(form->ReadOnly(), c.readOnly);
        EXPECT_EQ(form->ShowAnswers(), c.showAnswers);
        EXPECT_EQ(form->ParlaDriver(), c.parlaDriver);
    }
}

TEST_F(Lifecycle, ShowKeepsTheRectangleResizeRaisesItToTheMinimumAndHideHidesIt)
{
    struct Case {
        bool resize;
        std::int32_t left, top, width, height, shownWidth, shownHeight;
    };
    const Case cases[] = {
        {false, 0, 0, 100, 100, 100, 100},       {true, 0, 0, 100, 100, 8000, 4500},
        {true, 15, 30, 7999, 4499, 8000, 4500},  {true, 15, 30, 8000, 4500, 8000, 4500},
        {true, 15, 30, 8001, 4501, 8001, 4501},  {false, 15, 30, 7999, 4499, 7999, 4499},
    };
    auto& display = driver.display();
    ASSERT_TRUE(driver.init(itemXml()));
    const auto form = component.mainForm();
    EXPECT_EQ(display.hwnd(), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.resize ? "resize " : "show ") + std::to_string(c.width));
        ASSERT_TRUE(display.HideExternalDisplay());
        EXPECT_EQ(display.hwnd(), 0);
        EXPECT_TRUE(c.resize ? display.ResizeExternalDisplay(c.left, c.top, c.width, c.height)
                             : display.ShowExternalDisplay(c.left, c.top, c.width, c.height));
        EXPECT_EQ(form->Left(), c.left);
        EXPECT_EQ(form->Top(), c.top);
        EXPECT_EQ(form->Width(), c.shownWidth);
        EXPECT_EQ(form->Height(), c.shownHeight);
        EXPECT_TRUE(windows().isVisible(form->hWnd()));
        EXPECT_EQ(display.hwnd(), form->hWnd());
        const auto note = support.notesOf(c.resize ? "ResizeExternalDisplay" : "ShowExternalDisplay").back();
        EXPECT_NE(note.find(std::to_string(c.shownWidth)), std::string::npos) << note;
        EXPECT_NE(note.find(std::to_string(c.shownHeight)), std::string::npos) << note;
    }
    EXPECT_NE(display.hwnd(), 0);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(Lifecycle, FreeGivesTheWindowBackUnloadsItAndReleasesEverything)
{
    ASSERT_TRUE(driver.init(itemXml()));
    ASSERT_TRUE(driver.display().ShowExternalDisplay(0, 0, 9000, 6000));
    auto form = component.mainForm();
    const auto handle = form->hWnd();
    platform::WindowHandle parentAtUnload = -1;
    bool visibleAtUnload = true;
    form->onUnload = [&] {
        parentAtUnload = windows().parentOf(handle);
        visibleAtUnload = windows().isVisible(handle);
    };
    std::weak_ptr<clsMultipleChoice> released = component.shared_from_this();

    EXPECT_TRUE(driver.display().FreeExternalDisplay());

    EXPECT_EQ(parentAtUnload, platform::kDesktopWindow);
    EXPECT_FALSE(visibleAtUnload);
    EXPECT_FALSE(windows().isWindow(handle));
    EXPECT_TRUE(windows().childrenOf(driver.parentWindow()).empty());
    EXPECT_EQ(support.notesOf("FreeExternalDisplay"), (Texts{"Start", "End"}));
    EXPECT_EQ(component.mainForm(), nullptr);
    EXPECT_EQ(form->ParentClass(), nullptr);
    EXPECT_EQ(component.ExternalSupport(), nullptr);
    EXPECT_EQ(driver.display().hwnd(), 0);
    EXPECT_TRUE(driver.errors().empty());
    form.reset();
    driver.release();
    EXPECT_TRUE(released.expired());
}

TEST_F(Lifecycle, AComponentDroppedWithoutFreeIsReleasedWithItsWindow)
{
    ASSERT_TRUE(driver.init(itemXml()));
    const auto handle = component.mainForm()->hWnd();
    std::weak_ptr<clsMultipleChoice> released = component.shared_from_this();
    driver.release();
    EXPECT_TRUE(released.expired());
    EXPECT_FALSE(windows().isWindow(handle));
}

TEST_F(Lifecycle, AfterFreeEveryCallButReleaseFailsTheDriversCall)
{
    ASSERT_TRUE(driver.init(itemXml({.state = stateWith({"A"})})));
    ASSERT_TRUE(driver.display().FreeExternalDisplay());
    const auto logged = support.log().size();
    auto& display = driver.display();
    std::int16_t n = 0;
    float f = 0;
    std::int32_t l = 0;
    bool b = false;
    std::string s;
    vb::ByteArray buffer(64);
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"Free", [&] { display.FreeExternalDisplay(); }},
        {"Init", [&] { driver.init(itemXml()); }},
        {"GetExternalStateBytes", [&] { display.GetExternalStateBytes(); }},
        {"GetExternalStateArray", [&] { display.GetExternalStateArray(buffer, 64); }},
        {"SetExternalStateArray", [&] { driver.restore(stateWith({"B"})); }},
        {"GetResponse", [&] { display.GetResponse(1, buffer, 64); }},
        {"GetResponseBytes", [&] { display.GetResponseBytes(1, b); }},
        {"Score", [&] { display.ScoreExternalDisplay(n, n, n, n, f); }},
        {"Rescore", [&] { driver.rescore("A"); }},
        {"GetScoreInfo", [&] { display.GetScoreInfo(n, f, f); }},
        {"GetExternalDisplayStatus", [&] { display.GetExternalDisplayStatus(l, b, s); }},
        {"Show", [&] { display.ShowExternalDisplay(0, 0, 9000, 6000); }},
        {"Hide", [&] { display.HideExternalDisplay(); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(failureOf(call).has_value());
    }
    EXPECT_EQ(display.hwnd(), 0);
    EXPECT_EQ(support.log().size(), logged);
    EXPECT_TRUE(support.messages().empty());
}

TEST_F(Lifecycle, BeforeInitCallsNeedingTheWindowAreReportedAndTheRestAnswerCleanly)
{
    auto& display = driver.display();
    EXPECT_FALSE(display.HideExternalDisplay());
    std::int32_t status = -1;
    bool viewedAll = true;
    std::string message = "kept";
    display.GetExternalDisplayStatus(status, viewedAll, message);
    EXPECT_EQ(driver.errorRoutines(), (Texts{"DisplayInt_HideExternalDisplay", "GetExternalDisplayStatus"}));
    EXPECT_EQ(driver.errors()[0].number, vb::err::kObjectNotSet);
    EXPECT_EQ(message, "kept");

    EXPECT_EQ(display.GetExternalStateBytes(), 12);
    EXPECT_EQ(driver.score(), (Score{true, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(display.ShowExternalDisplay(0, 0, 100, 100));
    EXPECT_EQ(display.hwnd(), 0);
    EXPECT_TRUE(display.FreeExternalDisplay());
    EXPECT_EQ(driver.errors().size(), 2u);
}

TEST_F(Lifecycle, ASecondInitFailsThroughTheTrapAndKeepsTheFirst)
{
    ASSERT_TRUE(driver.init(itemXml({.responseType = "S"})));
    driver.restore(stateWith({"A", "C"}));
    const auto handle = component.mainForm()->hWnd();

    EXPECT_FALSE(driver.init(itemXml({.responseType = "N", .state = stateWith({"D"})})));

    EXPECT_EQ(driver.errorRoutines(), Texts{"InitExternalDisplay"});
    EXPECT_EQ(component.mainForm()->hWnd(), handle);
    EXPECT_EQ(windows().childrenOf(driver.parentWindow()), std::vector<platform::WindowHandle>{handle});
    EXPECT_EQ(driver.response(1), "A, C");
}

TEST_F(Lifecycle, ExternalSupportWithNothingIsReportedAndKeepsTheEarlierSupport)
{
    driver.display().ExternalSupport(nullptr);

    const auto errors = driver.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, vb::kObjectErrorBase);
    EXPECT_EQ(errors[0].text, "External Support is nothing");
    EXPECT_EQ(errors[0].routine, "ExternalSupport_Set");
    ASSERT_EQ(support.messages().size(), 1u);
    EXPECT_EQ(support.messages()[0].text, "Error: Description - External Support is nothing.  Number - -2147221504"
                                          "  Source - Multiple Choice  Routine - ExternalSupport_Set  LineNumber - 0");
    EXPECT_EQ(component.ExternalSupport().get(), &support);
    EXPECT_TRUE(driver.init(itemXml()));
}

TEST(LifecycleWithoutSupport, AFailureBeforeTheSupportObjectFailsTheDriversCall)
{
    const auto component = clsMultipleChoice::create();
    velm::DisplayInt& display = *component;
    const auto definition = bytes(itemXml());
    // Reporting needs the support object, so the driver sees the error of the failed report.
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"ExternalSupport", [&] { display.ExternalSupport(nullptr); }},
        {"HideExternalDisplay", [&] { display.HideExternalDisplay(); }},
        {"InitExternalDisplay", [&] { display.InitExternalDisplay(definition, 0, 0); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        const auto failure = failureOf(call);
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(failure->number, vb::err::kObjectNotSet);
    }
    EXPECT_EQ(component->mainForm(), nullptr);
}

TEST_F(Lifecycle, MissingDamagedOrShortInputEndsInitialisationInAReportedError)
{
    const auto good = bytes(itemXml());
    const std::string utf8 = itemXml();
    const std::string statics = exampleStaticStrings();
    auto odd = good;
    odd.push_back('<');
    struct Case {
        const char* name;
        vb::ByteArray definition;
        std::string statics;
        const char* error;  // nullptr: the item loads
    };
    const char* missing = "Missing Static information";
    const char* malformed = "";
    const Case cases[] = {
        {"statics 0", good, "0", missing},
        {"statics empty", good, "", missing},
        {"statics blank", good, "     ", missing},
        {"statics of four characters", good, "<a/>", missing},
        {"statics of four characters between blanks", good, "  <a/>  ", missing},
        {"statics of five characters", good, "<ab/>", nullptr},
        {"statics not XML", good, "<Root><Language Id=\"ENU\"><Static>", malformed},
        {"definition not XML", bytes("this is no item"), statics, malformed},
        {"definition empty", {}, statics, malformed},
        {"definition blank", bytes("    "), statics, malformed},
        {"definition truncated", vb::ByteArray(good.begin(), good.begin() + good.size() / 2), statics, malformed},
        {"definition's last byte cut", vb::ByteArray(good.begin(), good.end() - 1), statics, malformed},
        {"definition in UTF-8", vb::ByteArray(utf8.begin(), utf8.end()), statics, malformed},
        {"odd byte appended to the definition", odd, statics, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ItemDriver item(c.statics);
        EXPECT_EQ(item.display().InitExternalDisplay(c.definition, 0, 0), c.error == nullptr);
        EXPECT_EQ(item.component().mainForm() != nullptr, c.error == nullptr);
        EXPECT_EQ(item.errorRoutines(), c.error ? Texts{"InitExternalDisplay"} : Texts{});
        if (c.error == missing) {
            EXPECT_EQ(item.errors()[0].number, static_cast<std::int32_t>(0x8004000Au));
            EXPECT_EQ(item.errors()[0].text, missing);
            EXPECT_NE(item.support().messages()[0].text.find("Source - InitExternalDisplay"), std::string::npos);
            EXPECT_EQ(item.component().ItemData().GetXml().rfind("<MultipleChoiceItem", 0), 0u);
        }
        EXPECT_EQ(item.display().hwnd(), 0);
        EXPECT_TRUE(item.display().FreeExternalDisplay());
    }
}

}  // namespace
}  // namespace quorin::test
