#include "host/cli/commands/LintCommand.h"

#include "host/batch/ItemLint.h"
#include "host/batch/QtiItemInput.h"
#include "host/driver/InputFiles.h"
#include "host/driver/Json.h"
#include "vb/Strings.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace velm::host {
namespace {

namespace fs = std::filesystem;

struct LintOptions {
    std::vector<std::string> paths;
    std::string staticPath;
    std::string resourceDir;
    bool json = false;
    bool allowUnfixed = false;
};

// The item files named or found under the folders named, each folder's in name order.
std::vector<fs::path> itemFiles(const std::vector<std::string>& paths)
{
    std::vector<fs::path> files;
    for (const auto& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            std::vector<fs::path> found;
            for (const auto& entry : fs::recursive_directory_iterator(path, error)) {
                if (entry.is_regular_file(error) && (ItemLint::isItemFile(entry.path()) || isQtiItemFile(entry.path())))
                    found.push_back(entry.path());
            }
            std::sort(found.begin(), found.end());
            files.insert(files.end(), found.begin(), found.end());
        } else if (fs::is_regular_file(path, error)) {
            files.emplace_back(path);
        } else {
            throw UsageError("no such file or folder: " + path);
        }
    }
    return files;
}

void printFinding(const LintFinding& finding, bool json, std::ostream& out)
{
    const char* severity = finding.error ? "error" : "warning";
    if (json) {
        const nlohmann::ordered_json line = {{"file", finding.file.string()},
                                             {"line", finding.line},
                                             {"severity", severity},
                                             {"message", finding.message}};
        out << jsonText(line) << '\n';
        return;
    }
    out << finding.file.string() << ':';
    if (finding.line > 0)
        out << finding.line << ':';
    out << ' ' << severity << ": " << finding.message << '\n';
}

void lint(const LintOptions& options, Console& console)
{
    const ItemLint checker(options.staticPath.empty() ? std::string(bundledStaticStrings())
                                                      : readFileText(options.staticPath),
                           options.resourceDir.empty() ? fs::path() : fs::absolute(options.resourceDir));
    std::size_t errors = 0;
    std::size_t files = 0;
    for (const auto& file : itemFiles(options.paths)) {
        ++files;
        for (const auto& finding :
             isQtiItemFile(file) ? checkQtiItem(checker, file, options.allowUnfixed) : checker.check(file)) {
            errors += finding.error ? 1 : 0;
            printFinding(finding, options.json, console.out);
        }
    }
    console.out.flush();
    if (errors > 0)
        throw std::runtime_error(vb::counted(errors, "error") + " in " + vb::counted(files, "item"));
}

}  // namespace

void addLintCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<LintOptions>();
    auto* command = app.add_subcommand("lint", "Check item files, or every item under a folder, before they go out.");
    command->add_option("PATH", options->paths, "Item files and folders.")->required();
    command->add_option("--static", options->staticPath,
                        "The static strings (XML, UTF-8); the bundled English ones without it.");
    command->add_option("--resources", options->resourceDir,
                        "Where images and exhibit files are; each item's own folder without it.");
    command->add_flag("--json", options->json, "One JSON object a finding, a line each.");
    command->add_flag("--allow-unfixed", options->allowUnfixed,
                      "A QTI item may shuffle its fixed choices with the others.");
    command->callback([options, &console] { lint(*options, console); });
}

}  // namespace velm::host
