#pragma once

#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorin::qti {

// A package, item or file that cannot be read or written; the message is one line naming the
// file and the reason.
class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One item a package's manifest lists: the item file and every file its resource names.
struct PackageItem {
    std::string href;
    std::vector<std::string> files;
};

// An IMS content package: a zip whose "imsmanifest.xml" lists the item files and the files
// (images) they use. Member names are paths inside the package, "/"-separated, never climbing out.
class ContentPackage {
public:
    // Reads the whole package; PackageError when the zip is damaged or unsafe (a member climbing
    // out of the package, a symbolic link), its manifest is missing or malformed, or names a
    // file the zip does not hold.
    static ContentPackage read(const std::filesystem::path& zip);

    // The items the manifest lists, in its order.
    const std::vector<PackageItem>& items() const { return items_; }
    // Whether the package holds the member.
    bool contains(const std::string& name) const { return members_.contains(name); }
    // The bytes of a member; PackageError when there is none.
    const std::string& member(const std::string& name) const;

    // Adds an item file of the QTI version ("2.2" or "3.0") and the files it uses, each given
    // as its name in the package and its bytes.
    void addItem(const std::string& version, const std::string& href, std::string bytes,
                 const std::map<std::string, std::string>& files);

    // Writes the package with its manifest, into a file beside Zip renamed over it once
    // complete, so a failure leaves no half-written package; PackageError when that fails.
    void write(const std::filesystem::path& zip) const;

    // Name, a path relative to the package (percent-escapes decoded), as a member name;
    // empty when it is absolute, climbs out or is empty.
    static std::string memberName(std::string_view name);

private:
    std::string manifest() const;

    std::map<std::string, std::string> members_;
    std::vector<PackageItem> items_;
    std::string version_ = "3.0";
};

}  // namespace quorin::qti
