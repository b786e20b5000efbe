#include "ItemDriver.h"

#include "itemwindow/frmMain.h"
#include "platform/ComponentRegistry.h"
#include "platform/EventLoop.h"

#include <array>
#include <fstream>

#include <stdlib.h>
#include <unistd.h>

namespace quorin::test {
namespace {

// A case study that writes down every call the item makes, with its arguments, and gives the
// question the right-hand 55 % of the item's rectangle.
class RecordingCaseStudy : public platform::ComObject, public CaseStudyInt {
public:
    void DisplayInt_SetParentWnd(std::int32_t hParentWnd) override { record("DisplayInt_SetParentWnd", hParentWnd); }
    void InitCaseStudy(velm::ByteArray& arFile, std::int32_t& lBytes, std::int32_t& lOptions,
                       std::shared_ptr<velm::ParentInt>& support, const std::string& sPart) override
    {
        record("InitCaseStudy " + sPart, lBytes, lOptions);
        file = arFile;
        supportGiven = support;
        if (supportToHandBack)
            support = *supportToHandBack;
    }
    std::int32_t getCaseParent() override
    {
        record("getCaseParent");
        return window;
    }
    void DisplayInt_ShowExternalDisplay(std::int32_t& l, std::int32_t& t, std::int32_t& w, std::int32_t& h) override
    {
        record("DisplayInt_ShowExternalDisplay", l, t, w, h);
        l = t = w = h = -1;
    }
    void DisplayInt_ResizeExternalDisplay(std::int32_t& l, std::int32_t& t, std::int32_t& w, std::int32_t& h) override
    {
        record("DisplayInt_ResizeExternalDisplay", l, t, w, h);
        l = t = w = h = -1;
    }
    void QuestionSize(std::int32_t& l, std::int32_t& t, std::int32_t& w, std::int32_t& h) override
    {
        record("QuestionSize", l, t, w, h);
        l = w * 45 / 100;
        t = 0;
        w = w * 55 / 100;
    }
    // Hidden before the item's window, freed after it is gone: both say what the item's window was then.
    void DisplayInt_HideExternalDisplay() override { record("DisplayInt_HideExternalDisplay " + itemWindow()); }
    void DisplayInt_GetExternalDisplayStatus(std::int32_t& lDispState, bool& bViewedAll,
                                             std::string& sStateMsg) override
    {
        record("DisplayInt_GetExternalDisplayStatus");
        lDispState = 77;
        bViewedAll = true;
        sStateMsg = "Case study C12 viewed";
    }
    void DisplayInt_FreeExternalDisplay() override { record("DisplayInt_FreeExternalDisplay " + itemWindow()); }

    // The item's window: its visibility, or "none".
    std::function<std::string()> itemWindow = [] { return std::string(); };
    std::vector<std::string> calls;
    velm::ByteArray file;
    std::shared_ptr<velm::ParentInt> supportGiven;
    std::optional<std::shared_ptr<velm::ParentInt>> supportToHandBack;  // none: the item's own stays
    platform::WindowHandle window = windows().createWindow("CaseStudy", "Case study");

private:
    // The call's name and its numbers, each after a blank.
    template <typename... Numbers>
    void record(std::string call, Numbers... numbers)
    {
        ((call += " " + std::to_string(numbers)), ...);
        calls.push_back(std::move(call));
    }
};

// Items bound to case files in a resources folder of their own, with the recording case study
// registered under the name the component creates.
class CaseStudy : public ::testing::Test {
protected:
    CaseStudy()
    {
        std::filesystem::remove_all(resources);
        std::filesystem::create_directories(resources);
        // A registry of the test's own: a case study installed on this machine must not answer.
        ::setenv("VELM_REGISTRY", (resources / "registry").c_str(), 1);
        platform::ComponentRegistry::instance().registerFactory(std::string(clsMultipleChoice::kCaseStudyProgId),
                                                                [this] {
                                                                    ++created;
                                                                    return caseStudy;
                                                                });
    }
    ~CaseStudy() override
    {
        platform::ComponentRegistry::instance().unregisterFactory(clsMultipleChoice::kCaseStudyProgId);
        ::unsetenv("VELM_REGISTRY");
        windows().destroyWindow(caseStudy->window);
        std::filesystem::remove_all(resources);
    }

    std::unique_ptr<ItemDriver> driver()
    {
        auto item =
            std::make_unique<ItemDriver>(velm::host::bundledStaticStrings(), ItemDriver::supportFolder(), resources);
        caseStudy->itemWindow = [component = std::weak_ptr(item->component)] {
            const auto owner = component.lock();
            if (!owner || !owner->mainForm())
                return std::string("none");
            return std::string(owner->mainForm()->Visible() ? "visible" : "hidden");
        };
        return item;
    }

    // A folder of each test's own: tests run side by side, and each writes its own case files.
    const std::filesystem::path resources = std::filesystem::temp_directory_path()
                                            / ("quorin-case-study-" + std::to_string(::getpid()) + "-"
                                               + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::shared_ptr<RecordingCaseStudy> caseStudy = std::make_shared<RecordingCaseStudy>();
    int created = 0;
};

TEST_F(CaseStudy, WithoutAUsableCaseFileTheItemIsPlainAndOnlyANamedCodeShowsTheMessage)
{
    std::ofstream(resources / "NONE.xml") << "<CaseStudy/>";
    std::ofstream(resources / ".xml") << "<CaseStudy/>";
    std::ofstream(resources / "C13.xml") << "";
    // NONE in any case and empty mean no case study; C12 has no file and C13 an empty one.
    for (const std::string code : {"NONE", "none", "NoNe", "", "C12", "C13"}) {
        SCOPED_TRACE(code);
        auto item = driver();
        ASSERT_TRUE(item->init(itemXml({.caseCode = code})));
        Texts boxes;
        for (const auto& box : item->support->messages())
            boxes.push_back(std::to_string(box.style) + " " + box.text);
        EXPECT_EQ(boxes, code.starts_with('C') ? Texts{"0 Can't find case study for this item.  Looking for " + code}
                                               : Texts{});
        const auto form = item->component->mainForm();
        EXPECT_EQ((std::tuple{created, form->CaseStudy(), windows().parentOf(form->hWnd())}),
                  (std::tuple{0, false, item->parentWindow}));
        EXPECT_TRUE(item->display().ShowExternalDisplay(0, 0, 9000, 6000));
        platform::EventLoop::current().runUntilIdle();
        EXPECT_EQ((std::tuple{form->Width(), item->status(), item->errors().empty()}), (std::tuple{9000.0f, 2, true}));
    }
}

TEST_F(CaseStudy, ABoundCaseStudyReceivesEveryCallInOrderAndPlacesTheQuestion)
{
    const std::string caseFile = "<CaseStudy><Title>Harbour</Title></CaseStudy>";
    std::ofstream(resources / "C12.xml") << caseFile;
    auto item = driver();
    auto& display = item->display();
    ASSERT_TRUE(item->init(itemXml({.caseCode = "C12"}), 257));
    const auto form = item->component->mainForm();
    EXPECT_EQ((std::tuple{created, caseStudy->file, caseStudy->supportGiven == item->support, form->CaseStudy(),
                          windows().parentOf(form->hWnd())}),
              (std::tuple{1, velm::ByteArray(caseFile.begin(), caseFile.end()), true, true, caseStudy->window}));

    EXPECT_TRUE(display.ShowExternalDisplay(100, 200, 9000, 6000));
    platform::EventLoop::current().runUntilIdle();
    // The question's part of the rectangle, as the case study left it.
    EXPECT_EQ((std::array{form->Left(), form->Top(), form->Width(), form->Height()}),
              (std::array{4050.0f, 0.0f, 4950.0f, 6000.0f}));
    // A later resize starts again from the driver's values, clamped as always.
    EXPECT_TRUE(display.ResizeExternalDisplay(0, 0, 7000, 7000));
    platform::EventLoop::current().runUntilIdle();
    EXPECT_EQ(form->Width(), 4400);

    std::int32_t state = -1;
    bool viewedAll = false;
    std::string message;
    display.GetExternalDisplayStatus(state, viewedAll, message);
    EXPECT_EQ((std::tuple{state, viewedAll, message}), (std::tuple{2, form->ViewedAll(), "Case study C12 viewed"}));

    EXPECT_EQ((std::tuple{display.HideExternalDisplay(), display.FreeExternalDisplay(),
                          item->component->caseStudy() == nullptr}),
              (std::tuple{true, true, true}));
    const std::vector<std::string> calls = {
        "DisplayInt_SetParentWnd " + std::to_string(item->parentWindow),
        "InitCaseStudy Question " + std::to_string(caseFile.size()) + " 257",
        "getCaseParent",
        "DisplayInt_ShowExternalDisplay 100 200 9000 6000",
        "QuestionSize 100 200 9000 6000",
        "DisplayInt_ResizeExternalDisplay 0 0 8000 7000",
        "QuestionSize 0 0 8000 7000",
        "DisplayInt_GetExternalDisplayStatus",
        "DisplayInt_HideExternalDisplay visible",
        "DisplayInt_FreeExternalDisplay none",
    };
    EXPECT_EQ(caseStudy->calls, calls);
    EXPECT_TRUE(item->errors().empty());
}

TEST_F(CaseStudy, TheSupportObjectTheCaseStudyHandsBackServesTheItemButNothingKeepsThePreviousOne)
{
    std::ofstream(resources / "C12.xml") << "x";
    const auto other = std::make_shared<velm::host::SupportObject>(velm::host::bundledStaticStrings(),
                                                                   ItemDriver::supportFolder(), resources);
    for (const bool handsBackOther : {true, false}) {
        SCOPED_TRACE(handsBackOther ? "another" : "nothing");
        caseStudy->supportToHandBack = handsBackOther ? other : nullptr;
        auto item = driver();
        ASSERT_TRUE(item->init(itemXml({.caseCode = "C12"})));
        // A one-byte case file arrives whole, its byte with it.
        const auto expected = handsBackOther ? other : std::shared_ptr<velm::ParentInt>(item->support);
        EXPECT_EQ((std::tuple{caseStudy->file, item->component->ExternalSupport() == expected,
                              item->display().ShowExternalDisplay(0, 0, 9000, 6000), item->state().empty(),
                              item->errors().empty()}),
                  (std::tuple{velm::ByteArray{'x'}, true, true, false, true}));
    }
}

TEST_F(CaseStudy, ACaseStudyThatCannotBeCreatedFailsTheInitialisation)
{
    std::ofstream(resources / "C12.xml") << "<CaseStudy/>";
    platform::ComponentRegistry::instance().unregisterFactory(clsMultipleChoice::kCaseStudyProgId);
    auto item = driver();
    EXPECT_FALSE(item->init(itemXml({.caseCode = "C12"})));
    EXPECT_EQ(item->errorRoutines(), (Texts{"InitExternalDisplay"}));
    // The driver's later calls are answered, with the missing object reported, not a crash.
    EXPECT_FALSE(item->display().ShowExternalDisplay(0, 0, 9000, 6000));
}

}  // namespace
}  // namespace quorin::test
