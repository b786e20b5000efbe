#include "ItemDriver.h"

#include "itemwindow/frmMain.h"
#include "platform/EventLoop.h"
#include "support/modFormFunctions.h"
#include "vb/Strings.h"
#include "velm/DataIO.h"

#include <array>

namespace quorin::test {
namespace {

TEST(Lifecycle, InitParentsTheHiddenWindowShowAndResizePlaceItAndFreeGivesItBackAndReleasesEverything)
{
    ItemDriver item{ItemParts{}};
    auto& display = item.display();
    auto form = item.component->mainForm();
    ASSERT_NE(form, nullptr);
    const auto handle = form->hWnd();
    EXPECT_EQ((std::tuple{windows().parentOf(handle), form->PreviousParent(), form->Visible(), display.hwnd()}),
              (std::tuple{item.parentWindow, platform::kDesktopWindow, false, 0}));

    // Resize or Show, left, top, width, height, then the width and height the window gets.
    const std::array<std::int32_t, 7> cases[] = {{0, 0, 0, 100, 100, 100, 100},
                                                 {1, 0, 0, 100, 100, 8000, 4500},
                                                 {1, 15, 30, 7999, 4499, 8000, 4500},
                                                 {1, 15, 30, 8001, 4501, 8001, 4501}};
    for (const auto& [resize, left, top, width, height, shownWidth, shownHeight] : cases) {
        SCOPED_TRACE(std::string(resize ? "resize " : "show ") + std::to_string(width));
        ASSERT_TRUE(display.HideExternalDisplay());
        EXPECT_EQ(display.hwnd(), 0);
        EXPECT_TRUE(resize ? display.ResizeExternalDisplay(left, top, width, height)
                           : display.ShowExternalDisplay(left, top, width, height));
        platform::EventLoop::current().runUntilIdle();
        EXPECT_EQ((std::array{form->Left(), form->Top(), form->Width(), form->Height()}),
                  (std::array{1.0f * left, 1.0f * top, 1.0f * shownWidth, 1.0f * shownHeight}));
        EXPECT_EQ((std::tuple{windows().isVisible(handle), display.hwnd()}), (std::tuple{true, handle}));
    }

    platform::WindowHandle parentAtUnload = -1;
    form->onUnload = [&] { parentAtUnload = windows().parentOf(handle); };
    std::weak_ptr<clsMultipleChoice> released = item.component;
    EXPECT_TRUE(display.FreeExternalDisplay());
    EXPECT_EQ((std::tuple{parentAtUnload, windows().isWindow(handle), item.component->mainForm() == nullptr,
                          form->ParentClass() == nullptr, item.component->ExternalSupport() == nullptr}),
              (std::tuple{platform::kDesktopWindow, false, true, true, true}));
    EXPECT_TRUE(item.errors().empty());
    form.reset();
    item.component.reset();
    EXPECT_TRUE(released.expired());
}

TEST(Lifecycle, InitTakesTheStaticsOfTheItemsLanguageOrTheFirstTheGivenOrAnEmptyStateAndTheOptionBits)
{
    struct Case {
        const char *language, *font, *title, *clearAll;
        std::string state;
        std::int32_t options;
        std::array<bool, 3> readOnlyShowAnswersParlaDriver;
    };
    // clang-format off
    const Case cases[] = {
        {"ENU", "Verdana", "Quorin Examination", "Clear All", "", 0, {false, false, false}},
        {"DEU", "Arial", "Quorin Prüfung", "Alles löschen", stateWith({"B"}), 0x111, {true, true, true}},
        {"FRA", "", "Quorin Examination", "Clear All", "<State><Scroll>1</Scroll><Responses/></State>", 0x1,
         {true, false, false}},
        {"deu", "", "Quorin Examination", "Clear All", "", 0x10, {false, true, false}},
        {"ENU", "Verdana", "Quorin Examination", "Clear All", "", 0x100, {false, false, true}},
        {"ENU", "Verdana", "Quorin Examination", "Clear All", "", ~0x111, {false, false, false}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.language) + " " + std::to_string(c.options));
        // A State without Responses gets one, so that every selection can be recorded.
        ItemDriver item({.language = c.language, .extra = vb::replaceAll(c.state, "<Responses/>", "")}, c.options);
        auto& mc = *item.component;
        EXPECT_EQ((std::tuple{mc.mFontReg, mc.mFontBld, mc.gsAppTitle,
                              modFormFunctions::GetStaticMsg(mc, "cmdClearAll", false, 0, "ButtonText"), item.state()}),
                  (std::tuple{platform::Font(c.font, 10, false), platform::Font(c.font, 10, true), c.title, c.clearAll,
                              c.state.empty() ? "<State><Responses/></State>" : c.state}));
        const std::string xml = mc.ItemData().GetXml();
        EXPECT_EQ(xml.find("<Static>"), xml.rfind("<Static>"));
        const auto form = mc.mainForm();
        EXPECT_EQ((std::array{form->ReadOnly(), form->ShowAnswers(), form->ParlaDriver()}),
                  c.readOnlyShowAnswersParlaDriver);
    }
}

TEST(Lifecycle, MisusedCallsBeforeInitAreReportedAndASecondInitFailsAndKeepsTheFirst)
{
    ItemDriver item;
    auto& display = item.display();
    display.ExternalSupport(nullptr);
    EXPECT_FALSE(display.HideExternalDisplay());
    item.status();  // reported; the driver's message comes back unchanged
    EXPECT_EQ(item.errors()[1].number, vb::err::kObjectNotSet);
    EXPECT_EQ((std::tuple{item.component->ExternalSupport() == item.support, display.GetExternalStateBytes(),
                          item.score(), display.ShowExternalDisplay(0, 0, 100, 100), display.hwnd()}),
              (std::tuple{true, 12, Score{true, 0, 0, 0, 0, 0}, true, 0}));

    ASSERT_TRUE(item.init(itemXml()));
    item.restore(bytes(stateWith({"A", "C"})));
    const auto handle = item.component->mainForm()->hWnd();
    EXPECT_FALSE(item.init(itemXml({.responseType = "N", .extra = stateWith({"D"})})));
    EXPECT_EQ(item.errorRoutines(), (Texts{"ExternalSupport_Set", "DisplayInt_HideExternalDisplay",
                                           "GetExternalDisplayStatus", "InitExternalDisplay"}));
    EXPECT_EQ(
        (std::tuple{item.component->mainForm()->hWnd(), windows().childrenOf(item.parentWindow), item.response(1)}),
        (std::tuple{handle, std::vector<platform::WindowHandle>{handle}, "A, C"}));
    // A component the driver drops without Free still takes its window with it.
    std::weak_ptr<clsMultipleChoice> released = item.component;
    item.component.reset();
    EXPECT_EQ((std::tuple{released.expired(), windows().isWindow(handle)}), (std::tuple{true, false}));
}

TEST(Lifecycle, WithoutASupportObjectEveryCallFailsTheDriversCall)
{
    // Reporting needs the support object, so before the driver hands one over and after Free the
    // driver sees the error of the failed report.
    const auto bare = clsMultipleChoice::create();
    ItemDriver item({.extra = stateWith({"A"})});
    auto& display = item.display();
    item.rescore(bytes("B"));
    ASSERT_TRUE(display.FreeExternalDisplay());
    const auto logged = item.support->log().size();
    const auto definition = bytes(itemXml());
    Score x;
    vb::ByteArray buffer(64);
    const std::function<void()> calls[] = {
        [&] { bare->ExternalSupport(nullptr); },
        [&] { bare->HideExternalDisplay(); },
        [&] { bare->InitExternalDisplay(definition, 0, 0); },
        [&] { display.FreeExternalDisplay(); },
        [&] { display.InitExternalDisplay(definition, 0, 0); },
        [&] { display.GetExternalStateBytes(); },
        [&] { display.GetExternalStateArray(buffer, 64); },
        [&] { item.restore(bytes(stateWith({"B"}))); },
        [&] { display.GetResponse(1, buffer, 64); },
        [&] { display.GetResponseBytes(1, std::get<0>(x)); },
        [&] { item.score(); },
        [&] { item.rescore(bytes("A")); },
        [&] { display.GetScoreInfo(std::get<1>(x), std::get<5>(x), std::get<5>(x)); },
        [&] { item.status(); },
        [&] { display.ShowExternalDisplay(0, 0, 9000, 6000); },
        [&] { display.HideExternalDisplay(); },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i)
        EXPECT_EQ(failureOf(calls[i]), vb::err::kObjectNotSet) << "call " << i;
    EXPECT_EQ(item.support->log().size(), logged);
    EXPECT_TRUE(item.support->messages().empty());
}

TEST(Lifecycle, DamagedDefinitionOrStaticsEndInitialisationInAReportedError)
{
    const auto good = bytes(itemXml());
    const std::string utf8 = itemXml();
    const char* statics = velm::host::bundledStaticStrings();
    auto odd = good;
    odd.push_back('<');
    const auto missing = static_cast<std::int32_t>(0x8004000Au);
    const auto malformed = velm::DataIO::kMalformedXml;
    // What is wrong, the definition, the static strings, the number of the error reported (0: none).
    const std::tuple<const char*, vb::ByteArray, const char*, std::int32_t> cases[] = {
        {"statics empty", good, "", missing},
        {"statics of four characters between blanks", good, "  <a/>  ", missing},
        {"statics not XML", good, "<Root><Language Id=\"ENU\"><Static>", malformed},
        {"definition not XML", bytes("this is no item"), statics, malformed},
        {"definition empty", {}, statics, malformed},
        {"definition truncated", vb::ByteArray(good.begin(), good.begin() + good.size() / 2), statics, malformed},
        {"definition in UTF-8", vb::ByteArray(utf8.begin(), utf8.end()), statics, malformed},
        {"odd byte appended to the definition", odd, statics, 0},
        {"definition of another item type", bytes("<OtherItem><State/></OtherItem>"), statics,
         vb::err::kInvalidProcedureCall},
    };
    for (const auto& [name, definition, staticStrings, number] : cases) {
        SCOPED_TRACE(name);
        ItemDriver item(staticStrings);
        const bool initialised = item.display().InitExternalDisplay(definition, 0, 0);
        EXPECT_EQ((std::tuple{initialised, item.component->mainForm() != nullptr}),
                  (std::tuple{number == 0, number == 0}));
        EXPECT_TRUE(item.display().FreeExternalDisplay());
        const auto errors = item.errors();
        EXPECT_EQ(
            (std::tuple{item.errorRoutines(), item.support->messages().size(), errors.empty() ? 0 : errors[0].number,
                        !errors.empty() && errors[0].text == "Missing Static information"}),
            (std::tuple{number ? Texts{"InitExternalDisplay"} : Texts{}, number ? 1u : 0u, number, number == missing}));
    }
}

TEST(Lifecycle, StaticsLongEnoughButWithoutTextsInitialiseAndReportEveryTextTheWindowLooksFor)
{
    ItemDriver item("<ab/>");
    EXPECT_TRUE(item.init(itemXml()));
    // The scroll button's caption, the four letters, then the three captions of the button bar.
    EXPECT_EQ(item.errorRoutines(), (Texts{"GetStaticMsg", "GetStaticLetter", "GetStaticLetter", "GetStaticLetter",
                                           "GetStaticLetter", "GetStaticMsg", "GetStaticMsg", "GetStaticMsg"}));
    EXPECT_EQ((std::tuple{item.errors().front().text, item.support->messages().size()}),
              (std::tuple{"Static node not found, Static", 8u}));
}

}  // namespace
}  // namespace quorin::test
