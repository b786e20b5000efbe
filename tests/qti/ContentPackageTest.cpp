#include "qti/ContentPackage.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zip.h>

#include <sys/stat.h>

#include <fstream>

namespace quorin::qti {
namespace {

namespace fs = std::filesystem;

const std::string kManifest = R"(<manifest xmlns="http://www.imsglobal.org/xsd/imscp_v1p1"><resources>
  <resource identifier="R1" type="imsqti_item_xmlv2p2" href="items/q%201.xml">
    <file href="items/q 1.xml"/><file href="items/../images/a.png"/>
  </resource>
  <resource identifier="R2" type="webcontent" href="images/a.png"><file href="images/a.png"/></resource>
</resources></manifest>)";

struct Member {
    std::string name;
    std::string bytes;
    bool symbolicLink = false;
};

class ContentPackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("qti-package-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path zipOf(const std::vector<Member>& members)
    {
        const auto path = folder_ / "in.zip";
        fs::remove(path);
        zip_t* archive = zip_open(path.c_str(), ZIP_CREATE, nullptr);
        for (const auto& member : members) {
            auto* source = zip_source_buffer(archive, member.bytes.data(), member.bytes.size(), 0);
            const auto index = zip_file_add(archive, member.name.c_str(), source, 0);
            if (member.symbolicLink)
                zip_file_set_external_attributes(archive, index, 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
        }
        zip_close(archive);
        return path;
    }

    fs::path folder_;
};

TEST_F(ContentPackageTest, ReadsTheItemsItsManifestListsAndWritesThemBack)
{
    const auto package = ContentPackage::read(
        zipOf({{"imsmanifest.xml", kManifest}, {"items/q 1.xml", "<item/>"}, {"images/a.png", "PNG"}}));
    ASSERT_EQ(package.items().size(), 1u);
    EXPECT_EQ(package.items()[0].href, "items/q 1.xml");
    EXPECT_EQ(package.items()[0].files, (std::vector<std::string>{"items/q 1.xml", "images/a.png"}));
    EXPECT_EQ(package.member("images/a.png"), "PNG");

    ContentPackage written;
    written.addItem("3.0", "q1.xml", "<qti-assessment-item/>", {{"a.png", "PNG"}});
    written.write(folder_ / "out.zip");
    const auto back = ContentPackage::read(folder_ / "out.zip");
    ASSERT_EQ(back.items().size(), 1u);
    EXPECT_EQ(back.items()[0].files, (std::vector<std::string>{"q1.xml", "a.png"}));
    EXPECT_EQ(back.member("q1.xml"), "<qti-assessment-item/>");
    EXPECT_NE(back.member("imsmanifest.xml").find("imsqti_item_xmlv3p0"), std::string::npos);
}

TEST_F(ContentPackageTest, DamagedOrUnsafePackagesAreRefusedWithOneLine)
{
    // The members, the reason given.
    const std::pair<std::vector<Member>, std::string> cases[] = {
        {{{"imsmanifest.xml", kManifest}, {"../evil.xml", "x"}}, "member \"../evil.xml\" lies outside the package"},
        {{{"imsmanifest.xml", kManifest}, {"/etc/evil", "x"}}, "member \"/etc/evil\" lies outside the package"},
        {{{"imsmanifest.xml", kManifest}, {"items/q 1.xml", "/etc/passwd", true}}, "is a symbolic link"},
        {{{"items/q 1.xml", "<item/>"}}, "holds no imsmanifest.xml"},
        {{{"imsmanifest.xml", "<manifest><resources>"}}, "imsmanifest.xml is malformed XML"},
        {{{"imsmanifest.xml", kManifest}, {"items/q 1.xml", "<item/>"}}, "names the missing file images/a.png"},
        {{{"imsmanifest.xml", "<manifest><resource type=\"imsqti_item_xmlv2p2\" href=\"../x.xml\"/></manifest>"}},
         "names an item outside the package"},
    };
    // One line naming the reason.
    const auto refused = [](const std::string& reason) {
        return testing::Throws<PackageError>(testing::Property(
            &PackageError::what, testing::AllOf(testing::HasSubstr(reason), testing::Not(testing::HasSubstr("\n")))));
    };
    for (const auto& c : cases)
        EXPECT_THAT([&] { ContentPackage::read(zipOf(c.first)); }, refused(c.second));
    std::ofstream(folder_ / "not.zip") << "plain text";
    EXPECT_THAT([&] { ContentPackage::read(folder_ / "not.zip"); }, refused("not.zip: not a readable zip"));
}

TEST_F(ContentPackageTest, AFailedWriteLeavesNothingBehind)
{
    ContentPackage package;
    package.addItem("2.2", "q1.xml", "<assessmentItem/>", {});
    EXPECT_THROW(package.write(folder_ / "missing-folder" / "out.zip"), PackageError);
    EXPECT_TRUE(fs::is_empty(folder_));
}

}  // namespace
}  // namespace quorin::qti
