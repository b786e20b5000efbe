#include "qti/ContentPackage.h"

#include <pugixml.hpp>
#include <zip.h>

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace quorin::qti {
namespace {

constexpr std::string_view kManifest = "imsmanifest.xml";
// Members above this size, or packages above the total, are refused rather than read into memory.
constexpr zip_uint64_t kMaxMemberBytes = 64u << 20;
constexpr zip_uint64_t kMaxPackageBytes = 512u << 20;

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

struct ZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

[[noreturn]] void fail(const std::filesystem::path& zip, std::string_view reason)
{
    throw PackageError(zip.string() + ": " + std::string(reason));
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            decoded.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
        } else {
            decoded.push_back(text[i]);
        }
    }
    return decoded;
}

bool isSymbolicLink(zip_t* archive, zip_uint64_t index)
{
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0)
        return false;
    return system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK;
}

std::string readMember(const std::filesystem::path& zip, zip_t* archive, zip_uint64_t index, const std::string& name)
{
    zip_stat_t stat;
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE))
        fail(zip, name + " cannot be read: " + zip_strerror(archive));
    if (stat.size > kMaxMemberBytes)
        fail(zip, name + " is larger than " + std::to_string(kMaxMemberBytes >> 20) + " MiB");
    const std::unique_ptr<zip_file_t, ZipFileCloser> file(zip_fopen_index(archive, index, 0));
    if (!file)
        fail(zip, name + " cannot be read: " + zip_strerror(archive));
    std::string bytes(stat.size, '\0');
    if (zip_fread(file.get(), bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
        fail(zip, name + " is damaged: " + zip_file_strerror(file.get()));
    return bytes;
}

std::string readManifestVersion(const pugi::xml_node resource)
{
    const std::string_view type = resource.attribute("type").value();
    return type.find("v3p0") != std::string_view::npos ? "3.0" : "2.2";
}

// The path with "." and empty segments dropped and ".." applied; empty when it is absolute,
// names a drive or scheme, or climbs out.
std::string normalizedPath(const std::string& decoded)
{
    if (decoded.empty() || decoded.front() == '/' || decoded.find('\\') != std::string::npos
        || decoded.find(':') != std::string::npos)
        return {};
    std::vector<std::string> segments;
    std::istringstream parts(decoded);
    for (std::string segment; std::getline(parts, segment, '/');) {
        if (segment.empty() || segment == ".")
            continue;
        if (segment != "..") {
            segments.push_back(segment);
            continue;
        }
        if (segments.empty())
            return {};
        segments.pop_back();
    }
    std::string joined;
    for (const auto& segment : segments)
        joined += (joined.empty() ? "" : "/") + segment;
    return joined;
}

}  // namespace

std::string ContentPackage::memberName(std::string_view name)
{
    return normalizedPath(percentDecoded(name));
}

ContentPackage ContentPackage::read(const std::filesystem::path& zip)
{
    int error = 0;
    const Zip archive(zip_open(zip.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_error_t reason;
        zip_error_init_with_code(&reason, error);
        const std::string text = zip_error_strerror(&reason);
        zip_error_fini(&reason);
        fail(zip, "not a readable zip: " + text);
    }
    ContentPackage package;
    zip_uint64_t total = 0;
    const auto count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        const char* raw = zip_get_name(archive.get(), index, 0);
        const std::string entry = raw ? raw : "";
        if (!entry.empty() && entry.back() == '/')
            continue;
        const auto name = normalizedPath(entry);
        if (name.empty())
            fail(zip, "member \"" + entry + "\" lies outside the package");
        if (isSymbolicLink(archive.get(), index))
            fail(zip, "member \"" + entry + "\" is a symbolic link");
        auto bytes = readMember(zip, archive.get(), index, entry);
        total += bytes.size();
        if (total > kMaxPackageBytes)
            fail(zip, "holds more than " + std::to_string(kMaxPackageBytes >> 20) + " MiB");
        package.members_[name] = std::move(bytes);
    }
    const auto manifest = package.members_.find(std::string(kManifest));
    if (manifest == package.members_.end())
        fail(zip, "holds no imsmanifest.xml");
    pugi::xml_document document;
    const auto parsed = document.load_buffer(manifest->second.data(), manifest->second.size());
    if (!parsed)
        fail(zip,
             "imsmanifest.xml is malformed XML at byte " + std::to_string(parsed.offset) + ": " + parsed.description());
    for (const auto& found : document.select_nodes("//*[local-name()='resource']")) {
        const auto resource = found.node();
        if (std::string_view(resource.attribute("type").value()).rfind("imsqti_item", 0) != 0)
            continue;
        PackageItem item{memberName(resource.attribute("href").value()), {}};
        for (const auto file : resource.children()) {
            if (std::string_view(file.name()).ends_with("file"))
                item.files.push_back(memberName(file.attribute("href").value()));
        }
        const auto check = [&](const std::string& name, const char* what) {
            if (name.empty())
                fail(zip, std::string("imsmanifest.xml names ") + what + " outside the package");
            if (!package.contains(name))
                fail(zip, std::string("imsmanifest.xml names the missing file ") + name);
        };
        check(item.href, "an item");
        for (const auto& file : item.files)
            check(file, "a file");
        package.version_ = readManifestVersion(resource);
        package.items_.push_back(std::move(item));
    }
    return package;
}

const std::string& ContentPackage::member(const std::string& name) const
{
    const auto found = members_.find(name);
    if (found == members_.end())
        throw PackageError(name + ": not in the package");
    return found->second;
}

void ContentPackage::addItem(const std::string& version, const std::string& href, std::string bytes,
                             const std::map<std::string, std::string>& files)
{
    version_ = version;
    PackageItem item{href, {href}};
    members_[href] = std::move(bytes);
    for (const auto& [name, fileBytes] : files) {
        members_[name] = fileBytes;
        item.files.push_back(name);
    }
    items_.push_back(std::move(item));
}

std::string ContentPackage::manifest() const
{
    const bool v3 = version_ == "3.0";
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    auto root = document.append_child("manifest");
    root.append_attribute("xmlns") =
        v3 ? "http://www.imsglobal.org/xsd/qti/qtiv3p0/imscp_v1p1" : "http://www.imsglobal.org/xsd/imscp_v1p1";
    root.append_attribute("identifier") = "MANIFEST";
    auto metadata = root.append_child("metadata");
    metadata.append_child("schema").text() = "QTI Package";
    metadata.append_child("schemaversion").text() = v3 ? "3.0.0" : "2.2.0";
    root.append_child("organizations");
    auto resources = root.append_child("resources");
    for (std::size_t i = 0; i < items_.size(); ++i) {
        auto resource = resources.append_child("resource");
        resource.append_attribute("identifier") = ("ITEM-" + std::to_string(i + 1)).c_str();
        resource.append_attribute("type") = v3 ? "imsqti_item_xmlv3p0" : "imsqti_item_xmlv2p2";
        resource.append_attribute("href") = items_[i].href.c_str();
        for (const auto& file : items_[i].files)
            resource.append_child("file").append_attribute("href") = file.c_str();
    }
    std::ostringstream text;
    document.save(text, "  ");
    return text.str();
}

void ContentPackage::write(const std::filesystem::path& zip) const
{
    auto temporary = zip;
    temporary += ".partial-" + std::to_string(::getpid());
    int error = 0;
    Zip archive(zip_open(temporary.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive)
        fail(zip, "cannot be written");
    const auto manifestText = manifest();
    const auto add = [&](const std::string& name, const std::string& bytes) {
        auto* source = zip_source_buffer(archive.get(), bytes.data(), bytes.size(), 0);
        if (!source || zip_file_add(archive.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(source);
            fail(zip, "cannot add " + name + ": " + zip_strerror(archive.get()));
        }
    };
    add(std::string(kManifest), manifestText);
    for (const auto& [name, bytes] : members_) {
        if (name != kManifest)
            add(name, bytes);
    }
    if (zip_close(archive.get()) != 0) {
        const std::string reason = zip_strerror(archive.get());
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        fail(zip, "cannot be written: " + reason);
    }
    static_cast<void>(archive.release());  // zip_close has freed it
    std::error_code renamed;
    std::filesystem::rename(temporary, zip, renamed);
    if (renamed) {
        std::filesystem::remove(temporary, renamed);
        fail(zip, "cannot be written: " + renamed.message());
    }
}

}  // namespace quorin::qti
