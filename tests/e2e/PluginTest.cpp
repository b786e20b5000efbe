#include "host/driver/InputFiles.h"
#include "host/driver/Session.h"
#include "platform/ComponentRegistry.h"
#include "platform/Form.h"
#include "platform/RegistryFile.h"
#include "platform/WebBrowser.h"
#include "platform/WindowSystem.h"
#include "vb/ComError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr const char* kProgId = "QuorinMultipleChoice.clsMultipleChoice";

const fs::path kExamples = QUORIN_EXAMPLES_DIR;

// A registry file of the test's own, named by the variable the registry reads.
class Plugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(folder_ / "support");
        ::setenv("VELM_REGISTRY", (folder_ / "registry").c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("VELM_REGISTRY");
        fs::remove_all(folder_);
    }

    // A session on the plug-in, its case files found in resources.
    velm::host::Session session(const fs::path& resources = {}) const
    {
        return velm::host::Session({.staticStrings = velm::host::readFileText(kExamples / "HDStatic.xml"),
                                    .supportDir = folder_ / "support",
                                    .resourceDir = resources,
                                    .caseDir = {},
                                    .pluginPath = QUORIN_PLUGIN});
    }

    const fs::path folder_ = fs::temp_directory_path() / ("velm-plugin-" + std::to_string(::getpid()));
};

TEST_F(Plugin, DriverCreatesTheComponentThroughTheRegistryFileItsServerWrites)
{
    auto& registry = platform::ComponentRegistry::instance();
    registry.registerServer(QUORIN_PLUGIN);
    const auto entry = platform::RegistryFile::load(folder_ / "registry").findByProgId(kProgId);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->classId, "{25CF9467-62DF-4650-85BD-7D0AAB588217}");
    EXPECT_EQ(fs::canonical(entry->library), fs::canonical(QUORIN_PLUGIN));
    {
        auto session = this->session();
        session.start(kProgId);
        ASSERT_TRUE(session.initialize(velm::host::readFileText(kExamples / "basic-item.xml")));
        EXPECT_TRUE(session.display().ShowExternalDisplay(0, 0, 9000, 6000));
        EXPECT_NE(session.display().hwnd(), 0);
        EXPECT_EQ(session.rescore("A, C").correct, 1);
        EXPECT_TRUE(session.free());
        EXPECT_EQ(session.support().notesOf("FreeExternalDisplay"), (std::vector<std::string>{"Start", "End"}));
    }
    registry.unregisterServer(QUORIN_PLUGIN);
    EXPECT_FALSE(platform::RegistryFile::load(folder_ / "registry").findByProgId(kProgId).has_value());
    EXPECT_THAT([&] { registry.create(kProgId); },
                testing::Throws<vb::ComError>(testing::Field(&vb::ComError::number, vb::err::kCannotCreateObject)));
}

TEST_F(Plugin, AnItemNamingACaseStudySitsInTheQuestionPartOfOurCaseStudysWindow)
{
    auto session = this->session(kExamples);
    session.start(kProgId);
    ASSERT_TRUE(session.initialize(velm::host::readFileText(kExamples / "case-study-item.xml")));
    auto& windows = platform::WindowSystem::instance();
    const auto caseWindows = windows.childrenOf(session.driverWindow());
    ASSERT_EQ(caseWindows.size(), 1u);
    const auto* caseStudy = platform::Form::fromHandle(caseWindows[0]);
    ASSERT_NE(caseStudy, nullptr);
    EXPECT_EQ((std::tuple{caseStudy->Name(), caseStudy->Caption(), session.displayStatus().message}),
              (std::tuple{"frmCaseStudy", "Harbour freight ledger", "Case study not viewed: Harbour freight ledger"}));

    ASSERT_TRUE(session.display().ShowExternalDisplay(300, 150, 10000, 6000));
    session.runUntilIdle();
    EXPECT_TRUE(caseStudy->Visible());
    EXPECT_EQ((std::vector{caseStudy->Left(), caseStudy->Top(), caseStudy->Width(), caseStudy->Height()}),
              (std::vector{300.0f, 150.0f, 10000.0f, 6000.0f}));
    const auto* passage = caseStudy->findAs<platform::WebBrowser>("brwPassage");
    ASSERT_NE(passage, nullptr);
    EXPECT_EQ(passage->Width(), 4500);
    EXPECT_NE(passage->html().find("single crane"), std::string::npos);
    // The item's window, inside the case study's, takes the right-hand 55 % of it.
    const auto items = windows.childrenOf(caseWindows[0]);
    ASSERT_EQ(items.size(), 1u);
    const auto* item = platform::Form::fromHandle(items[0]);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ((std::vector{item->Left(), item->Top(), item->Width(), item->Height()}),
              (std::vector{4500.0f, 0.0f, 5500.0f, 6000.0f}));
    EXPECT_EQ(session.displayStatus().message, "Case study viewed: Harbour freight ledger");

    EXPECT_TRUE(session.display().HideExternalDisplay());
    EXPECT_FALSE(caseStudy->Visible());
    EXPECT_TRUE(session.free());
    EXPECT_TRUE(windows.childrenOf(session.driverWindow()).empty());
}

TEST_F(Plugin, ADamagedCaseFileFailsTheInitialisationWithItsReason)
{
    fs::create_directories(folder_ / "cases");
    std::ofstream(folder_ / "cases" / "C12.xml") << "<Passage>no case study here</Passage>";
    auto session = this->session(folder_ / "cases");
    session.start(kProgId);
    EXPECT_FALSE(session.initialize(velm::host::readFileText(kExamples / "case-study-item.xml")));
    const auto& log = session.support().log();
    const auto error = std::find_if(log.begin(), log.end(), [](const auto& entry) { return entry.level == "error"; });
    ASSERT_NE(error, log.end());
    EXPECT_EQ(error->text, "The case file has no CaseStudy element");
    EXPECT_EQ(error->routine, "InitExternalDisplay");
}

}  // namespace
