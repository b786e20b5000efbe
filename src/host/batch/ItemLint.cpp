#include "host/batch/ItemLint.h"

#include "host/driver/InputFiles.h"
#include "host/driver/Session.h"
#include "itemformat/ItemFormat.h"
#include "keyanswers/WholeKeyAnswers.h"
#include "vb/ComError.h"
#include "vb/Markup.h"
#include "vb/Strings.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <optional>
#include <set>

namespace velm::host {
namespace {

namespace fs = std::filesystem;

// The texts the component asks the static strings for: messages, then button captions.
constexpr const char* kMessageKeys[] = {"NumMaxResponses", "msgClearAll", "ScrollBoth", "ScrollButtons", "ScrollItem"};
constexpr const char* kButtonKeys[] = {"cmdClearAll", "cmdShowInstruction", "cmdCalculator", "cmdScroll"};

std::optional<long> wholeNumber(std::string_view text)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<double> decimalNumber(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size())
        return std::nullopt;
    return value;
}

bool isRemote(const std::string& source)
{
    return source.find("://") != std::string::npos || source.starts_with("data:");
}

}  // namespace

// One check of one file: its text, the item it defines and the findings so far.
class ItemLint::Run {
public:
    Run(const ItemLint& lint, fs::path file) : lint_(lint), file_(std::move(file)) {}

    std::vector<LintFinding> check()
    {
        text_ = quorin::itemformat::itemText(readFileText(file_));
        auto read = quorin::itemformat::read(text_);
        if (!read.item) {
            add(read.errorLine, true, read.error);
            return std::move(findings_);
        }
        item_ = std::move(*read.item);
        initialisesThroughTheComponent();
        checkChoices();
        checkAnswers();
        checkTexts();
        checkExhibits();
        checkStaticStrings();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const LintFinding& a, const LintFinding& b) { return a.line < b.line; });
        return std::move(findings_);
    }

private:
    void add(int line, bool error, std::string message)
    {
        findings_.push_back({file_, static_cast<std::size_t>(std::max(line, 0)), error, std::move(message)});
    }

    fs::path resources() const { return lint_.resourceDir_.empty() ? file_.parent_path() : lint_.resourceDir_; }
    bool hasResource(const std::string& name) const
    {
        std::error_code error;
        return !name.empty() && fs::is_regular_file(resources() / fs::path(name).filename(), error);
    }

    void initialisesThroughTheComponent()
    {
        SessionSettings settings;
        settings.staticStrings = lint_.staticStrings_;
        settings.supportDir = fs::temp_directory_path() / "velm-lint-support";
        std::error_code error;
        fs::create_directories(settings.supportDir, error);
        settings.resourceDir = resources();
        Session session(settings);
        session.start();
        const bool initialised = session.initialize(text_);
        bool reported = false;
        for (const auto& entry : session.support().log()) {
            if (entry.level != "error")
                continue;
            reported = true;
            componentErrors_.push_back(entry.text);
            add(item_.line, true,
                "the component reports error " + std::to_string(entry.number) + " in " + entry.routine + ": "
                    + entry.text);
        }
        if (!initialised && !reported)
            add(item_.line, true, "the item does not initialise");
        if (initialised)
            session.free();
    }

    void checkChoices()
    {
        if (!item_.hasChoices) {
            add(item_.line, true, "no Choices element");
            return;
        }
        if (item_.choices.empty())
            add(item_.choicesLine, true, "Choices has no Choice");
        const std::string maxText = item_.max.value_or("");
        const auto max = wholeNumber(maxText);
        if (!max || *max < 1)
            add(item_.choicesLine, true, "Max must be a whole number of at least 1, not \"" + maxText + "\"");
        max_ = max.value_or(0);
        if (item_.min) {
            const auto min = wholeNumber(*item_.min);
            if (!min)
                add(item_.choicesLine, true, "Min must be a whole number, not \"" + *item_.min + "\"");
            else if ((max && *min > *max) || *min > static_cast<long>(item_.choices.size()))
                add(item_.choicesLine, true,
                    "Min " + std::to_string(*min) + " is more than Max or the number of choices");
        }
        for (const auto& choice : item_.choices) {
            if (choice.answerId.empty())
                add(choice.line, true, "a Choice without AnswerID");
            else if (!identifiers_.insert(choice.answerId).second)
                add(choice.line, true, "AnswerID \"" + choice.answerId + "\" is given twice");
        }
    }

    void checkAnswers()
    {
        bool anyPositive = false;
        bool anyReachable = false;
        bool anyWellFormed = false;
        for (const auto& answer : item_.answers) {
            const std::string weightText = answer.weight.value_or("");
            const auto weight = decimalNumber(weightText);
            if (!weight)
                add(answer.line, true, "Weight \"" + weightText + "\" is not a number");
            const bool positive = weight && *weight > 0;
            anyPositive = anyPositive || positive;
            const std::string named = quorin::wholeKeyAnswers(answer.expression, "MC").value_or("");
            if (named.empty()) {
                add(answer.line, true, "the key \"" + answer.expression + "\" is not well formed or names no answer");
                continue;
            }
            const auto parts = vb::split(named, ',');
            for (const auto& part : parts) {
                if (!identifiers_.contains(part))
                    add(answer.line, true,
                        "the key \"" + answer.expression + "\" names " + part + ", which no choice has");
            }
            anyWellFormed = anyWellFormed || positive;
            anyReachable = anyReachable || (positive && static_cast<long>(parts.size()) <= max_);
        }
        if (!anyPositive)
            add(item_.hasAnswers ? item_.answersLine : item_.line, true, "no answer key has a positive weight");
        // A key that does not parse is its own fault, not also one of reach.
        else if (anyWellFormed && !anyReachable && max_ >= 1)
            add(item_.answersLine, true,
                "no key with a positive weight can be chosen within Max " + std::to_string(max_));
    }

    void checkHtml(int line, const std::string& html, const std::string& what, bool mustBeHtml)
    {
        if (mustBeHtml && !vb::isHtml(html))
            add(line, false, what + " does not begin with \"<html>\": the candidate sees nothing of it");
        for (const auto [start, end] : vb::imageSources(html)) {
            const std::string source = html.substr(start, end - start);
            if (!isRemote(source) && !hasResource(source))
                add(line, true, what + " shows the image \"" + source + "\", which the resources folder lacks");
        }
    }

    void checkTexts()
    {
        checkHtml(item_.stemTextLine, item_.stemHtml.value_or(""), "the stem", true);
        for (std::size_t i = 0; i < item_.choices.size(); ++i)
            checkHtml(item_.choices[i].line, item_.choices[i].html, "choice " + std::to_string(i + 1), true);
        if (item_.instructionsHtml)
            checkHtml(item_.instructionsLine, *item_.instructionsHtml, "the instructions", false);
    }

    void checkExhibits()
    {
        for (const auto& exhibit : item_.exhibits) {
            if (!hasResource(exhibit.initDataFilename))
                add(exhibit.line, true,
                    "the exhibit's init file \"" + exhibit.initDataFilename + "\" is not in the resources folder");
        }
    }

    void checkStaticStrings()
    {
        const std::string language = item_.language.value_or("");
        const auto root = lint_.statics_.child("Root");
        pugi::xml_node statics;
        for (const auto entry : root.children()) {
            if (language == entry.attribute("Id").value())
                statics = entry.child("Static");
        }
        if (!statics) {
            add(item_.line, true, "the static strings have no language \"" + language + "\"");
            return;
        }
        std::set<long> lettered;
        for (const auto key : statics.child("Keys").children()) {
            if (const auto id = wholeNumber(key.attribute("Id").value()); id && *key.attribute("Letter").value())
                lettered.insert(*id);
        }
        for (std::size_t i = 0; i < item_.choices.size(); ++i) {
            if (!lettered.contains(static_cast<long>(i)))
                add(item_.line, true,
                    "the static strings of " + language + " have no letter for choice " + std::to_string(i + 1));
        }
        for (const char* key : kMessageKeys) {
            if (!statics.child(key) && !componentReported(key))
                add(item_.line, true, "the static strings of " + language + " lack the message " + key);
        }
        for (const char* key : kButtonKeys) {
            if (!statics.child("ButtonText").child(key) && !componentReported(key))
                add(item_.line, true, "the static strings of " + language + " lack the button text " + key);
        }
    }

    // Whether the component already reported the static text of that key missing.
    bool componentReported(std::string_view key) const
    {
        const std::string ending = ", " + std::string(key);
        return std::any_of(componentErrors_.begin(), componentErrors_.end(),
                           [&](const std::string& text) { return text.ends_with(ending); });
    }

    const ItemLint& lint_;
    fs::path file_;
    std::string text_;
    quorin::itemformat::ItemDefinition item_;
    std::set<std::string> identifiers_;
    long max_ = 0;
    std::vector<std::string> componentErrors_;
    std::vector<LintFinding> findings_;
};

ItemLint::ItemLint(std::string staticStrings, fs::path resourceDir)
    : staticStrings_(std::move(staticStrings))
    , resourceDir_(std::move(resourceDir))
{
    if (!statics_.load_string(staticStrings_.c_str()) || !statics_.child("Root"))
        throw UsageError("the static strings are not a Root document");
}

bool ItemLint::isItemFile(const fs::path& file)
{
    if (file.extension() != ".xml")
        return false;
    // Enough of the file to see its document element without reading a whole bank into memory.
    const auto head = quorin::itemformat::itemText(readFileHead(file));
    const auto start = head.find("<MultipleChoiceItem");
    if (start == std::string::npos)
        return false;
    const auto firstElement = head.find_first_of('<', 0);
    std::size_t at = firstElement;
    while (at != std::string::npos && at < start && (head.compare(at, 2, "<?") == 0 || head.compare(at, 2, "<!") == 0))
        at = head.find('<', head.find('>', at));
    return at == start;
}

std::vector<LintFinding> ItemLint::check(const fs::path& file) const
{
    return Run(*this, file).check();
}

}  // namespace velm::host
