#include "qti/ItemImport.h"

#include "qti/BodyHtml.h"
#include "qti/ImportRefusal.h"
#include "qti/Languages.h"
#include "qti/ScoringImport.h"

#include "itemformat/ItemFormat.h"
#include "vb/Strings.h"
#include "velm/ResponseProcessing.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <set>

namespace quorin::qti {
namespace {

// Our choices are named by the static letters, of which there are 26.
constexpr std::size_t kMaxChoices = 26;

bool hasName(pugi::xml_node node, const char* name)
{
    return std::strcmp(node.name(), name) == 0;
}

bool isTrue(pugi::xml_attribute attribute)
{
    const std::string_view value = attribute.as_string();
    return value == "true" || value == "1";
}

// The interactions anywhere in the body: every element whose name ends in "Interaction".
std::vector<pugi::xml_node> interactionsOf(pugi::xml_node body)
{
    std::vector<pugi::xml_node> found;
    forEachElement(body, [&found](pugi::xml_node node) {
        if (std::string_view(node.name()).ends_with("Interaction"))
            found.push_back(node);
    });
    return found;
}

void refuseWhatCannotCross(pugi::xml_node item)
{
    if (isTrue(item.attribute("adaptive")))
        throw ImportRefusal{"an adaptive item"};
    if (item.child("templateDeclaration") || item.child("templateProcessing"))
        throw ImportRefusal{"template processing"};
}

pugi::xml_node theChoiceInteraction(pugi::xml_node body)
{
    const auto interactions = interactionsOf(body);
    if (interactions.empty())
        throw ImportRefusal{"no choiceInteraction"};
    if (interactions.size() > 1)
        throw ImportRefusal{std::string("a second interaction (") + interactions[1].name() + ")"};
    if (!hasName(interactions.front(), "choiceInteraction"))
        throw ImportRefusal{std::string("a ") + interactions.front().name() + ", not a choiceInteraction"};
    return interactions.front();
}

struct SourceChoice {
    std::string identifier;
    bool fixed = false;
    pugi::xml_node node;
};

std::vector<SourceChoice> choicesOf(pugi::xml_node interaction)
{
    std::vector<SourceChoice> choices;
    std::set<std::string> seen;
    for (const auto node : interaction.children("simpleChoice")) {
        const std::string identifier = node.attribute("identifier").as_string();
        if (identifier.empty())
            throw ImportRefusal{"a simpleChoice without an identifier"};
        if (!seen.insert(identifier).second)
            throw ImportRefusal{"two simpleChoices named " + identifier};
        choices.push_back({identifier, isTrue(node.attribute("fixed")), node});
    }
    if (choices.empty())
        throw ImportRefusal{"a choiceInteraction without simpleChoices"};
    if (choices.size() > kMaxChoices)
        throw ImportRefusal{"more than " + std::to_string(kMaxChoices) + " choices"};
    return choices;
}

// Identifiers that are distinct capital letters stay; any others become A, B, C… in order, so
// that "Set Answers" (which reads one-letter keys) can show the correct answer.
std::vector<std::string> answerIdsOf(const std::vector<SourceChoice>& choices, std::vector<std::string>& notes)
{
    std::vector<std::string> ids;
    const bool letters = std::all_of(choices.begin(), choices.end(), [](const SourceChoice& c) {
        return c.identifier.size() == 1 && c.identifier[0] >= 'A' && c.identifier[0] <= 'Z';
    });
    for (std::size_t i = 0; i < choices.size(); ++i)
        ids.push_back(letters ? choices[i].identifier : std::string(1, static_cast<char>('A' + i)));
    if (!letters)
        notes.push_back("the choices are named A to " + ids.back()
                        + " in their order; the scoring keeps their identifiers");
    return ids;
}

std::string randomOrderOf(pugi::xml_node interaction, const std::vector<SourceChoice>& choices,
                          const ImportOptions& options, std::vector<std::string>& notes)
{
    if (!isTrue(interaction.attribute("shuffle")))
        return "false";
    const auto fixed = std::count_if(choices.begin(), choices.end(), [](const SourceChoice& c) { return c.fixed; });
    if (fixed == static_cast<std::ptrdiff_t>(choices.size()))
        return "false";
    if (fixed > 0 && !options.allowUnfixed)
        throw ImportRefusal{
            "fixed choices among shuffled ones (all or none are shuffled here; --allow-unfixed accepts it)"};
    if (fixed > 0)
        notes.push_back("fixed choices are shuffled with the others");
    return "true";
}

// A count attribute: its default when absent, a refusal when it is no whole number of at least 0.
int countOf(pugi::xml_attribute attribute, int absent)
{
    if (!attribute)
        return absent;
    const std::string_view text = attribute.as_string();
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        throw ImportRefusal{std::string(attribute.name()) + " \"" + std::string(text) + "\""};
    return value;
}

// A response of single cardinality holds one choice, whatever maxChoices says.
int maxChoicesOf(pugi::xml_node interaction, QtiVersion version, std::size_t choiceCount, bool single)
{
    const auto attribute = interaction.attribute("maxChoices");
    if (!attribute && version == QtiVersion::V2p0)
        throw ImportRefusal{"a choiceInteraction without maxChoices (QTI 2.0 requires it)"};
    const int max = countOf(attribute, version == QtiVersion::V2p1 ? 0 : 1);
    if (single)
        return 1;
    return max == 0 || static_cast<std::size_t>(max) > choiceCount ? static_cast<int>(choiceCount) : max;
}

std::string languageOf(pugi::xml_node item, const ImportOptions& options, std::vector<std::string>& notes)
{
    std::string fallback = options.languages.empty() ? "ENU" : options.languages.front();
    const std::string tag = item.attribute("xml:lang").as_string();
    if (tag.empty())
        return fallback;
    const std::string primary = vb::lowerAscii(tag.substr(0, tag.find_first_of("-_")));
    const char* id = languageIdOf(primary);
    if (id && std::find(options.languages.begin(), options.languages.end(), id) != options.languages.end())
        return id;
    notes.push_back("the static strings hold no language " + tag + "; " + fallback + " is used");
    return fallback;
}

std::string escapedText(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '&')
            escaped += "&amp;";
        else if (c == '<')
            escaped += "&lt;";
        else if (c == '>')
            escaped += "&gt;";
        else
            escaped += c;
    }
    return escaped;
}

std::string numberText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

// The correct response as a whole key over answer identifiers; empty when it names no choice.
std::vector<std::string> keyAnswersOf(const itemformat::QtiScoring& scoring)
{
    std::vector<std::string> answers;
    for (const auto& value : scoring.correct) {
        const auto found = std::find_if(scoring.choices.begin(), scoring.choices.end(),
                                        [&](const itemformat::ChoiceIdentifier& c) { return c.identifier == value; });
        if (found == scoring.choices.end())
            return {};
        answers.push_back(found->answerId);
        if (scoring.cardinality == "single")
            break;
    }
    return answers;
}

// The key "A AND C AND ONLY", weighing what the exact scoring gives that response.
void addKey(itemformat::ItemDefinition& item, const velm::ResponseProcessing& processing,
            std::vector<std::string>& notes)
{
    item.hasAnswers = true;
    const auto answers = keyAnswersOf(*item.qtiScoring);
    if (answers.empty()) {
        notes.push_back("no correct response among the choices: the item has no key for Set Answers");
        return;
    }
    std::string expression;
    for (const auto& answer : answers)
        expression += answer + " AND ";
    item.answers.push_back({expression + "ONLY", numberText(processing.score(answers)), 0});
}

itemformat::ItemDefinition definitionOf(const QtiDocument& document, const ImportOptions& options, ImportResult& result)
{
    const auto item = document.item();
    refuseWhatCannotCross(item);
    const auto body = item.child("itemBody");
    const auto interaction = theChoiceInteraction(body);
    const auto choices = choicesOf(interaction);
    const auto answerIds = answerIdsOf(choices, result.notes);

    itemformat::ItemDefinition definition;
    definition.language = languageOf(item, options, result.notes);
    definition.responseType = "X";
    definition.caseCode = "NONE";
    definition.hasStem = true;
    definition.heading = escapedText(item.attribute("title").as_string(item.attribute("identifier").as_string()));
    definition.hasExhibits = true;
    definition.exhibitsRequire = "false";
    definition.hasChoices = true;
    definition.min = std::to_string(countOf(interaction.attribute("minChoices"), 0));
    definition.randomOrder = randomOrderOf(interaction, choices, options, result.notes);

    BodyHtml html(result.notes);
    definition.stemHtml = html.stemOf(body, interaction);
    definition.instructionsHtml = html.instructions();
    for (std::size_t i = 0; i < choices.size(); ++i)
        definition.choices.push_back({answerIds[i], html.choiceOf(choices[i].node), 0});
    result.images = html.images();

    std::vector<itemformat::ChoiceIdentifier> identifiers;
    for (std::size_t i = 0; i < choices.size(); ++i)
        identifiers.push_back({answerIds[i], choices[i].identifier});
    definition.qtiScoring =
        scoringOf(item, interaction.attribute("responseIdentifier").as_string(), std::move(identifiers), result.notes);
    const bool single = definition.qtiScoring->cardinality == "single";
    definition.max = std::to_string(maxChoicesOf(interaction, document.version(), choices.size(), single));
    // The evaluator the scorer uses decides what scoring can come in, so nothing imported fails there.
    std::string error;
    const auto processing = velm::ResponseProcessing::fromXml(itemformat::write(definition), &error);
    if (!processing)
        throw ImportRefusal{error};
    addKey(definition, *processing, result.notes);
    return definition;
}

}  // namespace

ImportResult importItem(std::string_view text, const ImportOptions& options)
{
    ImportResult result;
    std::string error;
    const auto document = QtiDocument::load(text, error);
    if (!document) {
        result.refusal = error;
        return result;
    }
    result.version = document->version();
    try {
        result.definition = definitionOf(*document, options, result);
    } catch (const ImportRefusal& refusal) {
        result.refusal = refusal.reason;
        result.definition.reset();
        result.images.clear();
    }
    return result;
}

}  // namespace quorin::qti
