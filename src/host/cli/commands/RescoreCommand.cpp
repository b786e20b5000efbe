#include "host/cli/commands/RescoreCommand.h"

#include "host/batch/RescoreWriter.h"
#include "host/batch/ResponseReader.h"
#include "host/cli/ItemOptions.h"
#include "host/driver/InputFiles.h"
#include "host/visit/WindowView.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <stdexcept>

namespace velm::host {
namespace {

using Format = ResponseReader::Format;

constexpr auto kProgressInterval = std::chrono::milliseconds(500);

struct RescoreOptions {
    ItemOptions item;
    std::string responsesPath = "-";
    std::string format;
};

// The lines done and the rate, rewritten in place on a terminal every half second.
class Progress {
public:
    explicit Progress(std::ostream* terminal) : terminal_(terminal) {}

    void count()
    {
        ++lines_;
        if (!terminal_ || (lines_ & 0x3FF) != 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (now - shown_ >= kProgressInterval)
            show(now);
    }
    void finish()
    {
        if (terminal_ && lines_ > 0)
            show(std::chrono::steady_clock::now()), *terminal_ << std::endl;
    }

private:
    void show(std::chrono::steady_clock::time_point now)
    {
        shown_ = now;
        const double seconds = std::chrono::duration<double>(now - started_).count();
        const auto rate = seconds > 0 ? static_cast<long long>(static_cast<double>(lines_) / seconds) : 0LL;
        *terminal_ << "\r" << lines_ << " lines, " << rate << " lines/s" << std::flush;
    }

    std::ostream* terminal_;
    std::size_t lines_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point shown_ = started_;
};

RescoreOutcome rescoreOne(Session& session, const ResponseRecord& record)
{
    if (!record.error.empty())
        return {{}, record.error};
    auto& support = session.support();
    support.clearRecords();
    RescoreOutcome outcome{session.rescore(record.response), {}};
    if (outcome.score.result)
        return outcome;
    for (const auto& entry : support.log()) {
        if (entry.level == "error")
            outcome.error = entry.text;
    }
    if (outcome.error.empty())
        outcome.error = "the component could not score the response";
    return outcome;
}

Format formatOf(const RescoreOptions& options)
{
    if (options.format == "csv")
        return Format::Csv;
    if (options.format == "json")
        return Format::JsonLines;
    const auto& path = options.responsesPath;
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".csv") == 0 ? Format::Csv : Format::JsonLines;
}

void rescore(const RescoreOptions& options, Console& console)
{
    const std::string itemText = options.item.itemText(console);
    std::ifstream file;
    if (options.responsesPath == "-") {
        if (console.inTaken)
            throw UsageError("the item and the responses cannot both come from the standard input");
        console.inTaken = true;
    } else {
        // Any stream serves, a named pipe as well as a file; a folder does not.
        std::error_code error;
        if (std::filesystem::is_directory(options.responsesPath, error))
            throw UsageError("cannot read the responses " + options.responsesPath + ": it is a folder");
        file.open(options.responsesPath, std::ios::binary);
        if (!file)
            throw UsageError("cannot read the responses " + options.responsesPath);
    }
    std::istream& in = options.responsesPath == "-" ? console.in : file;
    Session session(options.item.settings(console));
    session.start();
    if (!session.initialize(itemText))
        throw UsageError("the item " + options.item.itemPath + " could not be initialised");
    session.runUntilIdle();

    const Format format = formatOf(options);
    ResponseReader reader(in, format);
    RescoreWriter writer(console.out, format);
    const bool terminal = &console.err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    Progress progress(terminal ? &console.err : nullptr);
    std::size_t records = 0;
    std::size_t failures = 0;
    while (const auto record = reader.next()) {
        const auto outcome = rescoreOne(session, *record);
        failures += outcome.error.empty() ? 0 : 1;
        ++records;
        writer.write(*record, outcome);
        progress.count();
    }
    progress.finish();
    console.out.flush();
    if (in.bad())
        throw UsageError("reading the responses failed");
    if (failures > 0)
        throw std::runtime_error(std::to_string(failures) + " of " + std::to_string(records)
                                 + " records could not be scored");
}

}  // namespace

void addRescoreCommand(CLI::App& app, Console& console)
{
    auto options = std::make_shared<RescoreOptions>();
    auto* command = app.add_subcommand(
        "rescore", "Score stored responses, one JSON line or CSV record each, through the component, in input order.");
    options->item.addTo(*command);
    command->add_option("responses", options->responsesPath, "The responses file; - or nothing for standard input.");
    command
        ->add_option("--format", options->format,
                     "json (JSON lines) or csv; by default csv for a .csv file, else json.")
        ->check(CLI::IsMember({"json", "csv"}));
    command->callback([options, &console] { rescore(*options, console); });
}

}  // namespace velm::host
