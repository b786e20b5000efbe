#include "host/InputFiles.h"
#include "host/Session.h"
#include "platform/ComponentRegistry.h"
#include "platform/RegistryFile.h"
#include "vb/ComError.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
        velm::host::Session session({.staticStrings = velm::host::readFileText(kExamples / "HDStatic.xml"),
                                     .supportDir = folder_ / "support",
                                     .resourceDir = {},
                                     .pluginPath = QUORIN_PLUGIN});
        session.start(kProgId);
        ASSERT_TRUE(session.initialize(velm::host::readFileText(kExamples / "basic-item.xml")));
        EXPECT_TRUE(session.display().ShowExternalDisplay(0, 0, 9000, 6000));
        EXPECT_NE(session.display().hwnd(), 0);
        const auto score = session.rescore("A, C");
        EXPECT_TRUE(score.result);
        EXPECT_EQ(score.correct, 1);
        EXPECT_TRUE(session.free());
        EXPECT_EQ(session.support().notesOf("FreeExternalDisplay"), (std::vector<std::string>{"Start", "End"}));
    }
    registry.unregisterServer(QUORIN_PLUGIN);
    EXPECT_FALSE(platform::RegistryFile::load(folder_ / "registry").findByProgId(kProgId).has_value());
    try {
        registry.create(kProgId);
        FAIL() << "an unregistered name must not create anything";
    } catch (const vb::ComError& error) {
        EXPECT_EQ(error.number, vb::err::kCannotCreateObject);
    }
}

}  // namespace
