#include "host/live/LiveServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using velm::host::LiveServer;
namespace fs = std::filesystem;

TEST(LiveServer, PathsAreDecodedOnlyWhenEveryEscapeIsWhole)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b.bmp", "/a/b.bmp"},        {"/a%20b", "/a b"},  {"/%2e%2e/x", "/../x"}, {"/%2F", "//"},
        {"/bad%2", ""},                  {"/bad%zz", ""},     {"/nul%00x", ""},       {"", ""},
        {"/%C3%A9t%C3%A9", "/\xC3\xA9t\xC3\xA9"},
    };
    for (const auto& [path, decoded] : cases)
        EXPECT_EQ(LiveServer::decodedPath(path), decoded) << path;
}

class ServedFiles : public ::testing::Test {
protected:
    ServedFiles()
    {
        root_ = fs::temp_directory_path() / ("velm-served-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "support" / "deeper");
        fs::create_directories(root_ / "outside");
        write(root_ / "support" / "Left_cornerhdt.bmp");
        write(root_ / "support" / "deeper" / "key.png");
        write(root_ / "outside" / "secret.txt");
        fs::create_symlink(root_ / "outside" / "secret.txt", root_ / "support" / "link.txt");
        fs::create_directory_symlink(root_ / "outside", root_ / "support" / "linked");
        folders_ = {fs::canonical(root_ / "support")};
    }
    ~ServedFiles() override { fs::remove_all(root_); }

    static void write(const fs::path& file) { std::ofstream(file) << "bytes"; }
    std::string path(const std::string& relative) const { return (root_ / relative).string(); }

    fs::path root_;
    std::vector<fs::path> folders_;
};

TEST_F(ServedFiles, OnlyFilesInsideTheFoldersAreServedWhateverThePathSays)
{
    const std::pair<std::string, bool> cases[] = {
        {path("support/Left_cornerhdt.bmp"), true},
        {path("support/deeper/key.png"), true},
        {path("support/deeper/../Left_cornerhdt.bmp"), true},
        {path("support/./deeper//key.png"), true},
        {path("support/../outside/secret.txt"), false},
        {path("outside/secret.txt"), false},
        {path("support/link.txt"), false},            // a link out of the folder
        {path("support/linked/secret.txt"), false},   // a folder link out of it
        {path("support"), false},                     // the folder itself
        {path("support/deeper"), false},
        {path("support/missing.bmp"), false},
        {"relative/support/Left_cornerhdt.bmp", false},
        {"", false},
        {"/", false},
    };
    for (const auto& [url, served] : cases)
        EXPECT_EQ(!LiveServer::servedFile(url, folders_).empty(), served) << url;
}

TEST(LiveServer, ListensOnTheLoopbackAddressAndNamesItsPageWithTheToken)
{
    velm::host::LiveServerSettings settings;
    settings.token = "abc123";
    const LiveServer server(settings);
    EXPECT_GT(server.port(), 0);
    EXPECT_EQ(server.origin(), "http://127.0.0.1:" + std::to_string(server.port()));
    EXPECT_EQ(server.pageUrl(), server.origin() + "/?token=abc123");
    EXPECT_EQ(server.clientCount(), 0u);
    settings.port = server.port();
    EXPECT_THROW(LiveServer{settings}, std::runtime_error);  // the port is taken
}

}  // namespace
