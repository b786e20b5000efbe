#include "PlatformTesting.h"

#include "platform/Bitmap.h"
#include "platform/ComponentRegistry.h"
#include "platform/FileSystemObject.h"
#include "platform/Files.h"

#include <fstream>
#include <set>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
using platform_testing::errorNumber;

using FilesTest = platform_testing::TempFolderTest;

TEST(FilePattern, MatchesLikeTheSystemsWildcards)
{
    // pattern, names it matches, names it does not
    // clang-format off
    const std::tuple<const char*, std::vector<const char*>, std::vector<const char*>> cases[] = {
        {"*hdt.htm", {"12hdt.htm", "12HDT.HTM", "hdt.htm"}, {"12hdt.html", "12hdt.htm.bak"}},
        {"?.txt", {"a.txt", "\xC3\xA9.txt"}, {"ab.txt", ".txt"}}, {"m*ss*pi", {"mississippi"}, {}},
        {"*sipx*", {}, {"mississippi"}}, {"a*b?", {"abcbd"}, {}}, {"*", {""}, {}}, {"?", {}, {""}}, {"", {}, {"x"}}};
    // clang-format on
    for (const auto& [pattern, matching, other] : cases) {
        for (const char* name : matching)
            EXPECT_TRUE(platform::matchesPattern(name, pattern)) << name << " ~ " << pattern;
        for (const char* name : other)
            EXPECT_FALSE(platform::matchesPattern(name, pattern)) << name << " ~ " << pattern;
    }
}

TEST_F(FilesTest, BitmapIsA24BitBottomUpWindowsBitmapAndBadPathsOrPixelsRaise)
{
    platform::Bitmap image({0x99, 0xCC, 0xFF});
    image.setPixel(0, 0, {255, 0, 0});
    image.setPixel(15, 15, {0, 255, 0});
    const auto path = folder / "Bottom_Tilehdt.bmp";
    platform::writeBitmap(path, image);

    std::ifstream file(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_EQ(bytes.size(), 54u + 16 * 48);
    const auto hex = [&](std::size_t at, std::size_t size) {
        std::string text;
        for (std::size_t i = at; i < at + size; ++i)
            text += "0123456789abcdef"[bytes[i] >> 4] + std::string(1, "0123456789abcdef"[bytes[i] & 15]);
        return text;
    };
    // The header up to the image size, the colours used, then the bottom row's first and last pixel
    // and the top row's first, each blue, green, red.
    EXPECT_EQ(
        hex(0, 38) + " " + hex(46, 4) + " " + hex(54, 3) + " " + hex(54 + 45, 3) + " " + hex(54 + 15 * 48, 3),
        "424d360300000000000036000000280000001000000010000000010018000000000000030000 00000000 ffcc99 00ff00 0000ff");
    EXPECT_EQ(platform::readBitmap(path), image);
    writeFile("short.bmp");
    EXPECT_FALSE(platform::readBitmap(folder / "short.bmp"));
    EXPECT_FALSE(platform::readBitmap(folder / "missing.bmp"));
    EXPECT_EQ(errorNumber([&] { platform::writeBitmap(folder / "missing" / "a.bmp", image); }), 75);
    EXPECT_EQ(errorNumber([&] { platform::writeBitmap(folder, image); }), 75);  // a folder
    for (const auto& [x, y] : {std::pair{-1, 0}, {16, 0}, {0, -1}, {0, 16}}) {
        EXPECT_EQ(errorNumber([&] { image.setPixel(x, y, {1, 2, 3}); }), vb::err::kSubscriptOutOfRange);
        EXPECT_EQ(errorNumber([&] { image.pixel(x, y); }), vb::err::kSubscriptOutOfRange);
    }
    EXPECT_EQ(platform::readBitmap(path), image);  // untouched by the refused pixels
}

TEST_F(FilesTest, TheScriptingFileSystemObjectDeletesMatchingFilesOfTheFolderItselfAndReportsWhenNothingMatched)
{
    for (const char* name : {"1hdt.htm", "22HDT.HTM", "hdt.htm", "Lt_Lower_Cornerhdt.bmp", "3hdt.html"})
        writeFile(name);
    fs::create_directories(folder / "4hdt.htm");
    fs::create_directories(folder / "sub");
    writeFile("sub/5hdt.htm");
    const auto files =
        platform::ComponentRegistry::instance().createAs<platform::FileSystemObject>("scripting.filesystemobject");

    // pattern, error number
    const std::pair<std::string, std::int32_t> calls[] = {
        {(folder / "*hdt.htm").string(), 0},
        {(folder / "*hdt.htm").string(), vb::err::kFileNotFound},
        {(folder / "missing" / "*").string(), vb::err::kFileNotFound},
        {(folder / "3hdt.html" / "*").string(), vb::err::kFileNotFound},  // a file is no folder
        {folder.string() + "/", vb::err::kFileNotFound},
    };
    for (const auto& [pattern, number] : calls)
        EXPECT_EQ(errorNumber([&] { files->DeleteFile(pattern); }), number) << pattern;
    std::set<std::string> remaining;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        remaining.insert(entry.path().lexically_relative(folder).string());
    EXPECT_EQ(remaining,
              (std::set<std::string>{"Lt_Lower_Cornerhdt.bmp", "3hdt.html", "4hdt.htm", "sub", "sub/5hdt.htm"}));
    EXPECT_TRUE(platform::fileExists(folder / "3hdt.html") && !platform::fileExists(folder / "sub"));
}

}  // namespace
