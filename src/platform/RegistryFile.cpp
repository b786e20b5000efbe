#include "platform/RegistryFile.h"

#include "platform/Files.h"
#include "vb/ComError.h"
#include "vb/Strings.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::string_view kHeader =
    "# velm component registry: programmatic name, class identifier, library path (tab-separated)";

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

[[noreturn]] void raiseDamaged(const std::filesystem::path& path, std::size_t line, std::string_view problem)
{
    throw vb::ComError(vb::err::kCannotCreateObject, std::string(vb::runtimeDescription(vb::err::kCannotCreateObject))
                                                         + ": registry file " + path.string() + " is damaged at line "
                                                         + std::to_string(line) + ": " + std::string(problem));
}

bool holdsSeparator(std::string_view field)
{
    return field.find_first_of("\t\r\n") != std::string_view::npos;
}

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    for (auto tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t')) {
        fields.push_back(line.substr(0, tab));
        line.remove_prefix(tab + 1);
    }
    fields.push_back(line);
    return fields;
}

RegistryEntry parseLine(const std::filesystem::path& path, std::size_t number, std::string_view line)
{
    const auto fields = splitTabs(line);
    if (fields.size() != 3)
        raiseDamaged(path, number, "expected programmatic name, class identifier and library path separated by tabs");
    if (std::any_of(fields.begin(), fields.end(), [](std::string_view field) { return field.empty(); }))
        raiseDamaged(path, number, "empty field");
    RegistryEntry entry{std::string(fields[0]), std::string(fields[1]), std::filesystem::path(fields[2])};
    if (!entry.library.is_absolute())
        raiseDamaged(path, number, "library path is not absolute");
    return entry;
}

bool isComment(std::string_view line)
{
    const auto text = vb::trimView(line, " \t");
    return text.empty() || text.front() == '#';
}

}  // namespace

std::filesystem::path RegistryFile::defaultPath()
{
    if (auto explicitPath = environment("VELM_REGISTRY"); !explicitPath.empty())
        return explicitPath;
    if (std::filesystem::path config = environment("XDG_CONFIG_HOME"); config.is_absolute())
        return config / "velm" / "registry";
    if (auto home = environment("HOME"); !home.empty())
        return std::filesystem::path(home) / ".config" / "velm" / "registry";
    return {};
}

RegistryFile::RegistryFile(std::filesystem::path path) : path_(std::move(path)) {}

RegistryFile RegistryFile::load(const std::filesystem::path& path)
{
    RegistryFile registry(path);
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error))
        return registry;
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    if (!file || !std::filesystem::is_regular_file(path, error))
        throw vb::ComError(vb::err::kCannotCreateObject,
                           std::string(vb::runtimeDescription(vb::err::kCannotCreateObject))
                               + ": cannot read registry file " + path.string());
    std::string line;
    for (std::size_t number = 1; std::getline(text, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!isComment(line))
            registry.entries_.push_back(parseLine(path, number, line));
    }
    return registry;
}

std::optional<RegistryEntry> RegistryFile::findByProgId(std::string_view progId) const
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const RegistryEntry& entry) {
        return vb::equalsIgnoreCase(entry.progId, progId);
    });
    return it == entries_.end() ? std::nullopt : std::optional(*it);
}

std::optional<RegistryEntry> RegistryFile::findByClassId(std::string_view classId) const
{
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const RegistryEntry& entry) {
        return vb::equalsIgnoreCase(entry.classId, classId);
    });
    return it == entries_.end() ? std::nullopt : std::optional(*it);
}

void RegistryFile::add(RegistryEntry entry)
{
    const std::string library = entry.library.string();
    for (std::string_view field :
         {std::string_view(entry.progId), std::string_view(entry.classId), std::string_view(library)}) {
        if (field.empty() || holdsSeparator(field))
            vb::raise(vb::err::kInvalidProcedureCall);
    }
    if (!entry.library.is_absolute())
        vb::raise(vb::err::kInvalidProcedureCall);
    std::erase_if(entries_, [&](const RegistryEntry& old) {
        return vb::equalsIgnoreCase(old.progId, entry.progId) || vb::equalsIgnoreCase(old.classId, entry.classId);
    });
    entries_.push_back(std::move(entry));
}

std::size_t RegistryFile::removeLibrary(const std::filesystem::path& library)
{
    const auto target = library.lexically_normal();
    return std::erase_if(entries_,
                         [&](const RegistryEntry& entry) { return entry.library.lexically_normal() == target; });
}

std::size_t RegistryFile::removeProgId(std::string_view progId)
{
    return std::erase_if(entries_,
                         [&](const RegistryEntry& entry) { return vb::equalsIgnoreCase(entry.progId, progId); });
}

void RegistryFile::save() const
{
    const auto fail = [this] {
        throw vb::ComError(vb::err::kPathFileAccess, std::string(vb::runtimeDescription(vb::err::kPathFileAccess))
                                                         + ": cannot write registry file " + path_.string());
    };
    if (path_.empty())
        fail();
    std::error_code error;
    if (path_.has_parent_path())
        std::filesystem::create_directories(path_.parent_path(), error);
    // A reader never sees half a file: the text goes to a file of this process, renamed over the old one.
    auto temporary = path_;
    temporary += ".tmp" + std::to_string(::getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << kHeader << '\n';
        for (const auto& entry : entries_)
            file << entry.progId << '\t' << entry.classId << '\t' << entry.library.string() << '\n';
        file.close();
        if (!file) {
            std::filesystem::remove(temporary, error);
            fail();
        }
    }
    std::filesystem::rename(temporary, path_, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        fail();
    }
}

}  // namespace platform
