#include "host/batch/ItemLint.h"

#include "host/driver/InputFiles.h"
#include "host/driver/Session.h"
#include "keyanswers/WholeKeyAnswers.h"
#include "vb/ComError.h"
#include "vb/Markup.h"
#include "vb/Strings.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <iterator>
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

// One check of one file: its text, its document and the findings so far.
class ItemLint::Run {
public:
    Run(const ItemLint& lint, fs::path file) : lint_(lint), file_(std::move(file)) {}

    std::vector<LintFinding> check()
    {
        text_ = readFileText(file_);
        const auto parsed = document_.load_buffer(text_.data(), text_.size());
        if (!parsed) {
            findings_.push_back({file_, lineAt(static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0))), true,
                                 std::string("not well-formed XML: ") + parsed.description()});
            return std::move(findings_);
        }
        item_ = document_.child("MultipleChoiceItem");
        if (!item_) {
            add(document_.document_element(), true, "the document element is not MultipleChoiceItem");
            return std::move(findings_);
        }
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
    std::size_t lineAt(std::size_t offset) const
    {
        const auto end = text_.begin() + static_cast<std::ptrdiff_t>(std::min(offset, text_.size()));
        return 1 + static_cast<std::size_t>(std::count(text_.begin(), end, '\n'));
    }
    std::size_t lineOf(pugi::xml_node node) const
    {
        const auto offset = node.offset_debug();
        return node && offset >= 0 ? lineAt(static_cast<std::size_t>(offset)) : 0;
    }
    void add(pugi::xml_node node, bool error, std::string message)
    {
        findings_.push_back({file_, lineOf(node), error, std::move(message)});
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
            add(item_, true, "the component reports error " + std::to_string(entry.number) + " in " + entry.routine + ": "
                                 + entry.text);
        }
        if (!initialised && !reported)
            add(item_, true, "the item does not initialise");
        if (initialised)
            session.free();
    }

    void checkChoices()
    {
        const auto choices = item_.child("Choices");
        if (!choices) {
            add(item_, true, "no Choices element");
            return;
        }
        for (const auto choice : choices.children("Choice"))
            choices_.push_back(choice);
        if (choices_.empty())
            add(choices, true, "Choices has no Choice");
        const auto max = wholeNumber(choices.attribute("Max").value());
        if (!max || *max < 1)
            add(choices, true, "Max must be a whole number of at least 1, not \"" + std::string(choices.attribute("Max").value()) + "\"");
        max_ = max.value_or(0);
        if (const auto minText = choices.attribute("Min")) {
            const auto min = wholeNumber(minText.value());
            if (!min)
                add(choices, true, "Min must be a whole number, not \"" + std::string(minText.value()) + "\"");
            else if ((max && *min > *max) || *min > static_cast<long>(choices_.size()))
                add(choices, true, "Min " + std::to_string(*min) + " is more than Max or the number of choices");
        }
        for (const auto choice : choices_) {
            const std::string id = choice.attribute("AnswerID").value();
            if (id.empty())
                add(choice, true, "a Choice without AnswerID");
            else if (!identifiers_.insert(id).second)
                add(choice, true, "AnswerID \"" + id + "\" is given twice");
        }
    }

    void checkAnswers()
    {
        bool anyPositive = false;
        bool anyReachable = false;
        bool anyWellFormed = false;
        for (const auto answer : item_.child("Answers").children("Answer")) {
            const std::string weightText = answer.attribute("Weight").value();
            const auto weight = decimalNumber(weightText);
            if (!weight)
                add(answer, true, "Weight \"" + weightText + "\" is not a number");
            const bool positive = weight && *weight > 0;
            anyPositive = anyPositive || positive;
            const std::string expression = answer.text().get();
            const std::string named = quorin::wholeKeyAnswers(expression, "MC").value_or("");
            if (named.empty()) {
                add(answer, true, "the key \"" + expression + "\" is not well formed or names no answer");
                continue;
            }
            const auto parts = vb::split(named, ',');
            for (const auto& part : parts) {
                if (!identifiers_.contains(part))
                    add(answer, true, "the key \"" + expression + "\" names " + part + ", which no choice has");
            }
            anyWellFormed = anyWellFormed || positive;
            anyReachable = anyReachable || (positive && static_cast<long>(parts.size()) <= max_);
        }
        const auto answers = item_.child("Answers");
        if (!anyPositive)
            add(answers ? answers : item_, true, "no answer key has a positive weight");
        // A key that does not parse is its own fault, not also one of reach.
        else if (anyWellFormed && !anyReachable && max_ >= 1)
            add(answers, true, "no key with a positive weight can be chosen within Max " + std::to_string(max_));
    }

    void checkHtml(pugi::xml_node node, const std::string& what, bool mustBeHtml)
    {
        const std::string html = node.text().get();
        if (mustBeHtml && !vb::isHtml(html))
            add(node, false, what + " does not begin with \"<html>\": the candidate sees nothing of it");
        for (const auto [start, end] : vb::imageSources(html)) {
            const std::string source = html.substr(start, end - start);
            if (!isRemote(source) && !hasResource(source))
                add(node, true, what + " shows the image \"" + source + "\", which the resources folder lacks");
        }
    }

    void checkTexts()
    {
        checkHtml(item_.child("ItemStem").child("Text"), "the stem", true);
        for (std::size_t i = 0; i < choices_.size(); ++i)
            checkHtml(choices_[i], "choice " + std::to_string(i + 1), true);
        if (const auto instructions = item_.child("Instructions").child("Text"))
            checkHtml(instructions, "the instructions", false);
    }

    void checkExhibits()
    {
        for (const auto exhibit : item_.child("ActiveExhibits").children()) {
            const std::string file = exhibit.attribute("InitDataFilename").value();
            if (!hasResource(file))
                add(exhibit, true, "the exhibit's init file \"" + file + "\" is not in the resources folder");
        }
    }

    void checkStaticStrings()
    {
        const std::string language = item_.attribute("Language").value();
        const auto root = lint_.statics_.child("Root");
        pugi::xml_node statics;
        for (const auto entry : root.children()) {
            if (language == entry.attribute("Id").value())
                statics = entry.child("Static");
        }
        if (!statics) {
            add(item_, true, "the static strings have no language \"" + language + "\"");
            return;
        }
        std::set<long> lettered;
        for (const auto key : statics.child("Keys").children()) {
            if (const auto id = wholeNumber(key.attribute("Id").value()); id && *key.attribute("Letter").value())
                lettered.insert(*id);
        }
        for (std::size_t i = 0; i < choices_.size(); ++i) {
            if (!lettered.contains(static_cast<long>(i)))
                add(item_, true, "the static strings of " + language + " have no letter for choice " + std::to_string(i + 1));
        }
        for (const char* key : kMessageKeys) {
            if (!statics.child(key) && !componentReported(key))
                add(item_, true, "the static strings of " + language + " lack the message " + key);
        }
        for (const char* key : kButtonKeys) {
            if (!statics.child("ButtonText").child(key) && !componentReported(key))
                add(item_, true, "the static strings of " + language + " lack the button text " + key);
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
    pugi::xml_document document_;
    pugi::xml_node item_;
    std::vector<pugi::xml_node> choices_;
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
    const auto head = readFileHead(file);
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
