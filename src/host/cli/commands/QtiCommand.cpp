#include "host/cli/commands/QtiCommand.h"

#include "host/driver/InputFiles.h"
#include "itemformat/ItemFormat.h"
#include "qti/ContentPackage.h"
#include "qti/Exporter.h"
#include "qti/ItemImport.h"
#include "vb/Strings.h"

#include <CLI/CLI.hpp>
#include <pugixml.hpp>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>

namespace velm::host {
namespace {

namespace fs = std::filesystem;
using quorin::qti::ContentPackage;

struct QtiOptions {
    std::vector<std::string> paths;
    std::string out;
    std::string version = "3.0";
    std::string package;
    bool allowUnfixed = false;
};

// An item to convert: its text, what to call it, and how to find the files it names.
struct Source {
    std::string name;
    std::string stem;
    std::string text;
    // The bytes of a file the item names, relative to the item; nothing when it is missing.
    std::function<std::optional<std::string>(const std::string&)> file;
};

// Outcomes, counted for the summary line.
struct Tally {
    std::size_t done = 0;
    std::size_t refused = 0;
};

std::string bytesText(const vb::ByteArray& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}
vb::ByteArray textBytes(const std::string& text)
{
    return vb::ByteArray(text.begin(), text.end());
}

std::function<std::optional<std::string>(const std::string&)> filesBeside(const fs::path& item)
{
    return [folder = item.parent_path()](const std::string& relative) -> std::optional<std::string> {
        const auto name = ContentPackage::memberName(relative);
        std::error_code error;
        if (name.empty() || !fs::is_regular_file(folder / name, error))
            return std::nullopt;
        return bytesText(readFileBytes(folder / name));
    };
}

// Every package member the item names, found relative to the item's folder in the package.
std::vector<Source> sourcesOf(const std::shared_ptr<ContentPackage>& package, const fs::path& zip)
{
    std::vector<Source> sources;
    for (const auto& item : package->items()) {
        const auto folder = fs::path(item.href).parent_path().string();
        sources.push_back(
            {zip.string() + ":" + item.href, fs::path(item.href).stem().string(), package->member(item.href),
             [package, folder](const std::string& relative) -> std::optional<std::string> {
                 const auto name = ContentPackage::memberName(folder.empty() ? relative : folder + "/" + relative);
                 if (name.empty() || !package->contains(name))
                     return std::nullopt;
                 return package->member(name);
             }});
    }
    return sources;
}

bool isPackage(const fs::path& path)
{
    return path.extension() == ".zip";
}

// Whether a file found in a folder is one to convert: an item of the kind wanted, or malformed
// XML (its refusal says so); manifests, static strings and other documents are passed over.
bool isWanted(const std::string& text, bool qti)
{
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size(), pugi::parse_minimal))
        return true;
    std::string_view name = document.document_element().name();
    name = name.substr(name.find(':') == std::string_view::npos ? 0 : name.find(':') + 1);
    return qti ? name == "assessmentItem" || name == "qti-assessment-item" : name == "MultipleChoiceItem";
}

// The files named, and the .xml and .zip files under the folders named, each folder's in name
// order; all read before anything is written, so unreadable input writes nothing.
std::vector<Source> sourcesOf(const std::vector<std::string>& paths, bool qti)
{
    std::vector<fs::path> files;
    std::set<fs::path> inFolders;
    for (const auto& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            std::set<fs::path> found;
            for (const auto& entry : fs::recursive_directory_iterator(path, error)) {
                const auto extension = entry.path().extension();
                if (entry.is_regular_file(error) && (extension == ".xml" || (qti && extension == ".zip")))
                    found.insert(entry.path());
            }
            files.insert(files.end(), found.begin(), found.end());
            inFolders.insert(found.begin(), found.end());
        } else if (fs::exists(path, error)) {
            files.emplace_back(path);
        } else {
            throw UsageError("no such file or folder: " + path);
        }
    }
    std::vector<Source> sources;
    for (const auto& file : files) {
        if (qti && isPackage(file)) {
            try {
                const auto found = sourcesOf(std::make_shared<ContentPackage>(ContentPackage::read(file)), file);
                sources.insert(sources.end(), found.begin(), found.end());
            } catch (const quorin::qti::PackageError& error) {
                throw UsageError(error.what());
            }
            continue;
        }
        auto text = readFileText(file);
        if (inFolders.contains(file) && !isWanted(text, qti))
            continue;
        sources.push_back({file.string(), file.stem().string(), std::move(text), filesBeside(file)});
    }
    return sources;
}

// A file name in the output not yet taken in this run: "q1", then "q1-2", …
std::string freshStem(const std::string& stem, std::set<std::string>& taken)
{
    auto name = stem;
    for (int n = 2; !taken.insert(name).second; ++n)
        name = stem + "-" + std::to_string(n);
    return name;
}

void report(Console& console, const std::string& name, const std::string& refusal, const std::string& done,
            Tally& tally)
{
    if (refusal.empty()) {
        console.out << name << ": " << done << '\n';
        ++tally.done;
    } else {
        console.out << name << ": refused: " << refusal << '\n';
        ++tally.refused;
    }
}

void finish(Console& console, const Tally& tally, const char* verb)
{
    console.out << vb::counted(tally.done + tally.refused, "item") << ": " << tally.done << ' ' << verb << ", "
                << tally.refused << " refused" << std::endl;
    if (tally.refused > 0)
        throw std::runtime_error(vb::counted(tally.refused, "item") + " refused");
}

fs::path outputFolder(const std::string& out)
{
    std::error_code error;
    fs::create_directories(out, error);
    if (!fs::is_directory(out, error))
        throw UsageError("cannot make the folder " + out);
    return out;
}

void importItems(const QtiOptions& options, Console& console)
{
    const auto sources = sourcesOf(options.paths, true);
    const auto out = outputFolder(options.out);
    std::set<std::string> taken;
    Tally tally;
    for (const auto& source : sources) {
        auto result = quorin::qti::importItem(source.text, {.allowUnfixed = options.allowUnfixed});
        std::map<std::string, std::string> images;
        for (const auto& image : result.images) {
            // The image lands beside the item under its own file name, never elsewhere.
            if (ContentPackage::memberName(image.name) != image.name || image.name.find('/') != std::string::npos) {
                result.refusal = "the image " + image.source + " has no file name";
                break;
            }
            const auto bytes = source.file(image.source);
            if (!bytes && result.refusal.empty())
                result.refusal = "the image " + image.source + " is missing";
            if (bytes)
                images[image.name] = *bytes;
        }
        if (!result.refusal.empty()) {
            report(console, source.name, result.refusal, {}, tally);
            continue;
        }
        const auto target = out / (freshStem(source.stem, taken) + ".xml");
        for (const auto& [name, bytes] : images)
            writeFileBytes(out / name, textBytes(bytes));
        writeFileBytes(target, textBytes(quorin::itemformat::write(*result.definition)));
        std::string done = "imported as " + target.string();
        for (const auto& note : result.notes)
            done += "; " + note;
        report(console, source.name, {}, done, tally);
    }
    finish(console, tally, "imported");
}

void exportItems(const QtiOptions& options, Console& console)
{
    if (options.out.empty() && options.package.empty())
        throw UsageError("qti export needs --out DIR or --package FILE.zip");
    const auto version = options.version == "2.2" ? quorin::qti::QtiVersion::V2p2 : quorin::qti::QtiVersion::V3p0;
    const auto sources = sourcesOf(options.paths, false);
    const auto out = options.out.empty() ? fs::path() : outputFolder(options.out);
    ContentPackage package;
    std::set<std::string> taken;
    Tally tally;
    for (const auto& source : sources) {
        const auto read = quorin::itemformat::read(source.text);
        if (!read.item) {
            report(console, source.name, read.error, {}, tally);
            continue;
        }
        const auto stem = freshStem(source.stem, taken);
        auto result = quorin::qti::exportItem(*read.item, version, stem);
        std::map<std::string, std::string> images;
        for (const auto& image : result.images) {
            const auto bytes = source.file(image);
            if (!bytes && result.refusal.empty())
                result.refusal = "the image " + image + " is missing";
            if (bytes)
                images[ContentPackage::memberName(image)] = *bytes;
        }
        if (!result.refusal.empty()) {
            report(console, source.name, result.refusal, {}, tally);
            continue;
        }
        std::string done = "exported";
        if (!out.empty()) {
            for (const auto& [name, bytes] : images) {
                fs::create_directories((out / name).parent_path());
                writeFileBytes(out / name, textBytes(bytes));
            }
            writeFileBytes(out / (stem + ".xml"), textBytes(result.xml));
            done += " as " + (out / (stem + ".xml")).string();
        }
        if (!options.package.empty()) {
            std::map<std::string, std::string> files;
            for (const auto& [name, bytes] : images)
                files[stem + "/" + name] = bytes;
            package.addItem(options.version, stem + "/" + stem + ".xml", result.xml, files);
            done += (out.empty() ? " into " : " and into ") + options.package;
        }
        report(console, source.name, {}, done, tally);
    }
    if (!options.package.empty()) {
        try {
            package.write(options.package);
        } catch (const quorin::qti::PackageError& error) {
            throw UsageError(error.what());
        }
    }
    finish(console, tally, "exported");
}

}  // namespace

void addQtiCommand(CLI::App& app, Console& console)
{
    auto* qti = app.add_subcommand("qti", "Bring QTI choice items in, or send ours out as QTI.");
    qti->require_subcommand(1);

    auto importing = std::make_shared<QtiOptions>();
    auto* import =
        qti->add_subcommand("import", "QTI 2.0-3.0 choice items (files, folders, content packages) into our format.");
    import->add_option("PATH", importing->paths, "QTI item files, folders and .zip content packages.")->required();
    import->add_option("--out", importing->out, "The folder the items and their images go to.")->required();
    import->add_flag("--allow-unfixed", importing->allowUnfixed,
                     "Shuffle fixed choices with the others rather than refuse the item.");
    import->callback([importing, &console] { importItems(*importing, console);
});

auto exporting = std::make_shared<QtiOptions>();
auto* exportCommand = qti->add_subcommand("export", "Our items (files, folders) as QTI items or a content package.");
exportCommand->add_option("PATH", exporting->paths, "Item files and folders.")->required();
exportCommand->add_option("--out", exporting->out, "The folder the QTI items and their images go to.");
exportCommand->add_option("--version", exporting->version, "The QTI version written.")
    ->check(CLI::IsMember({"2.2", "3.0"}));
exportCommand->add_option("--package", exporting->package, "Also, or instead, write a content package (.zip).");
exportCommand->callback([exporting, &console] { exportItems(*exporting, console); });
}  // namespace velm::host

}  // namespace velm::host
