#include "itemformat/ItemFormat.h"

#include "vb/Strings.h"
#include "vb/Text.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <vector>

namespace quorin::itemformat {
namespace {

// The component's own parse keeps an element whose only content is blanks; so does this.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata_single;

struct StringWriter : pugi::xml_writer {
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

// Line numbers of byte offsets in one text.
class LineIndex {
public:
    explicit LineIndex(std::string_view text)
    {
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\n')
                starts_.push_back(i + 1);
        }
    }

    int lineOf(std::ptrdiff_t offset) const
    {
        if (offset < 0)
            return 0;
        const auto after = std::upper_bound(starts_.begin(), starts_.end(), static_cast<std::size_t>(offset));
        return static_cast<int>(after - starts_.begin()) + 1;
    }

private:
    std::vector<std::size_t> starts_;
};

// All text and CDATA below the node in document order, as the component's GetText reads it;
// walked without recursion, since a hostile item may nest elements without end.
std::string allText(pugi::xml_node node)
{
    std::string text;
    pugi::xml_node current = node.first_child();
    while (current) {
        if (current.type() == pugi::node_pcdata || current.type() == pugi::node_cdata)
            text += current.value();
        if (current.first_child()) {
            current = current.first_child();
            continue;
        }
        while (current != node && !current.next_sibling())
            current = current.parent();
        if (current == node)
            break;
        current = current.next_sibling();
    }
    return text;
}

std::optional<std::string> attributeOf(pugi::xml_node node, const char* name)
{
    const auto attribute = node.attribute(name);
    if (!attribute)
        return std::nullopt;
    return std::string(attribute.value());
}

std::optional<double> numberOf(pugi::xml_node node, const char* name)
{
    const auto attribute = node.attribute(name);
    if (!attribute)
        return std::nullopt;
    return attribute.as_double();
}

std::string outerXml(pugi::xml_node node)
{
    StringWriter writer;
    node.print(writer, "", pugi::format_raw);
    return writer.text;
}

std::optional<int> wholeNumber(const std::optional<std::string>& text)
{
    if (!text)
        return std::nullopt;
    const auto digits = vb::trimView(*text, " ");
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

QtiScoring readScoring(pugi::xml_node node, const LineIndex& lines)
{
    QtiScoring scoring;
    scoring.line = lines.lineOf(node.offset_debug());
    scoring.cardinality = node.attribute("Cardinality").as_string("single");
    scoring.templateName = node.attribute("Template").as_string();
    scoring.scoreDefault = node.attribute("ScoreDefault").as_double(0);
    for (const auto choice : node.children("QtiChoice"))
        scoring.choices.push_back(
            {choice.attribute("AnswerID").as_string(), choice.attribute("Identifier").as_string()});
    for (const auto value : node.child("QtiCorrect").children("QtiValue"))
        scoring.correct.push_back(allText(value));
    if (const auto mapping = node.child("QtiMapping")) {
        Mapping map;
        map.defaultValue = mapping.attribute("DefaultValue").as_double(0);
        map.lowerBound = numberOf(mapping, "LowerBound");
        map.upperBound = numberOf(mapping, "UpperBound");
        for (const auto entry : mapping.children("QtiMapEntry"))
            map.entries.push_back({entry.attribute("Key").as_string(), entry.attribute("Value").as_double(0)});
        scoring.mapping = std::move(map);
    }
    for (const auto rule : node.child("QtiRules").children())
        scoring.rulesXml += outerXml(rule);
    return scoring;
}

void readStem(pugi::xml_node node, const LineIndex& lines, ItemDefinition& item)
{
    item.hasStem = true;
    item.stemLine = lines.lineOf(node.offset_debug());
    if (const auto heading = node.child("Heading"))
        item.heading = allText(heading);
    if (const auto text = node.child("Text")) {
        item.stemHtml = allText(text);
        item.stemTextLine = lines.lineOf(text.offset_debug());
    }
}

void readExhibits(pugi::xml_node node, const LineIndex& lines, ItemDefinition& item)
{
    item.hasExhibits = true;
    item.exhibitsLine = lines.lineOf(node.offset_debug());
    item.exhibitsRequire = attributeOf(node, "Require");
    for (const auto child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        item.exhibits.push_back({child.attribute("ButtonText").as_string(), child.attribute("Progid").as_string(),
                                 child.attribute("InitDataFilename").as_string(),
                                 child.attribute("SelfClosing").as_string(), lines.lineOf(child.offset_debug())});
    }
}

void readChoices(pugi::xml_node node, const LineIndex& lines, ItemDefinition& item)
{
    item.hasChoices = true;
    item.choicesLine = lines.lineOf(node.offset_debug());
    item.max = attributeOf(node, "Max");
    item.min = attributeOf(node, "Min");
    item.randomOrder = attributeOf(node, "RandomOrder");
    for (const auto child : node.children()) {
        if (child.type() == pugi::node_element)
            item.choices.push_back(
                {child.attribute("AnswerID").as_string(), allText(child), lines.lineOf(child.offset_debug())});
    }
}

void readAnswers(pugi::xml_node node, const LineIndex& lines, ItemDefinition& item)
{
    item.hasAnswers = true;
    item.answersLine = lines.lineOf(node.offset_debug());
    for (const auto child : node.children()) {
        if (child.type() == pugi::node_element)
            item.answers.push_back({allText(child), attributeOf(child, "Weight"), lines.lineOf(child.offset_debug())});
    }
}

// The first of several equal elements is the one the component finds; later ones stay as they are.
bool isFirstOfItsName(pugi::xml_node node)
{
    return !node.previous_sibling(node.name());
}

void readChild(pugi::xml_node node, const LineIndex& lines, ItemDefinition& item)
{
    const std::string_view name = node.name();
    if (name == "ItemStem" && isFirstOfItsName(node))
        return readStem(node, lines, item);
    if (name == "ActiveExhibits" && isFirstOfItsName(node))
        return readExhibits(node, lines, item);
    if (name == "Choices" && isFirstOfItsName(node))
        return readChoices(node, lines, item);
    if (name == "Answers" && isFirstOfItsName(node))
        return readAnswers(node, lines, item);
    if (name == "Instructions" && isFirstOfItsName(node) && node.child("Text")) {
        item.instructionsHtml = allText(node.child("Text"));
        item.instructionsLine = lines.lineOf(node.child("Text").offset_debug());
        return;
    }
    if (name == "QtiScoring" && isFirstOfItsName(node)) {
        item.qtiScoring = readScoring(node, lines);
        return;
    }
    item.otherElements.push_back(outerXml(node));
}

void setAttribute(pugi::xml_node node, const char* name, const std::optional<std::string>& value)
{
    if (value)
        node.append_attribute(name) = value->c_str();
}

void appendCData(pugi::xml_node parent, const char* name, const std::string& html)
{
    parent.append_child(name).append_child(pugi::node_cdata).set_value(html.c_str());
}

void appendText(pugi::xml_node parent, const char* name, const std::string& text)
{
    parent.append_child(name).text() = text.c_str();
}

// Numbers are written in their shortest exact form, so a value comes back the same.
std::string numberText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

// Appends the outer XML of an element written as text; text that is no element is dropped.
void appendXml(pugi::xml_node parent, const std::string& xml)
{
    parent.append_buffer(xml.data(), xml.size(), kParseOptions);
}

void writeScoring(pugi::xml_node root, const QtiScoring& scoring)
{
    auto node = root.append_child("QtiScoring");
    node.append_attribute("Cardinality") = scoring.cardinality.c_str();
    if (!scoring.templateName.empty())
        node.append_attribute("Template") = scoring.templateName.c_str();
    node.append_attribute("ScoreDefault") = numberText(scoring.scoreDefault).c_str();
    for (const auto& choice : scoring.choices) {
        auto written = node.append_child("QtiChoice");
        written.append_attribute("AnswerID") = choice.answerId.c_str();
        written.append_attribute("Identifier") = choice.identifier.c_str();
    }
    auto correct = node.append_child("QtiCorrect");
    for (const auto& value : scoring.correct)
        appendText(correct, "QtiValue", value);
    if (scoring.mapping) {
        auto mapping = node.append_child("QtiMapping");
        mapping.append_attribute("DefaultValue") = numberText(scoring.mapping->defaultValue).c_str();
        if (scoring.mapping->lowerBound)
            mapping.append_attribute("LowerBound") = numberText(*scoring.mapping->lowerBound).c_str();
        if (scoring.mapping->upperBound)
            mapping.append_attribute("UpperBound") = numberText(*scoring.mapping->upperBound).c_str();
        for (const auto& entry : scoring.mapping->entries) {
            auto written = mapping.append_child("QtiMapEntry");
            written.append_attribute("Key") = entry.key.c_str();
            written.append_attribute("Value") = numberText(entry.value).c_str();
        }
    }
    if (!scoring.rulesXml.empty())
        appendXml(node.append_child("QtiRules"), scoring.rulesXml);
}

void writeStem(pugi::xml_node root, const ItemDefinition& item)
{
    auto stem = root.append_child("ItemStem");
    if (item.heading)
        appendText(stem, "Heading", *item.heading);
    if (item.stemHtml)
        appendCData(stem, "Text", *item.stemHtml);
}

void writeExhibits(pugi::xml_node root, const ItemDefinition& item)
{
    auto exhibits = root.append_child("ActiveExhibits");
    setAttribute(exhibits, "Require", item.exhibitsRequire);
    for (const auto& exhibit : item.exhibits) {
        auto node = exhibits.append_child("Exhibit");
        node.append_attribute("ButtonText") = exhibit.buttonText.c_str();
        node.append_attribute("Progid") = exhibit.progid.c_str();
        node.append_attribute("InitDataFilename") = exhibit.initDataFilename.c_str();
        node.append_attribute("SelfClosing") = exhibit.selfClosing.c_str();
    }
}

void writeChoices(pugi::xml_node root, const ItemDefinition& item)
{
    auto choices = root.append_child("Choices");
    setAttribute(choices, "Max", item.max);
    setAttribute(choices, "Min", item.min);
    setAttribute(choices, "RandomOrder", item.randomOrder);
    for (const auto& choice : item.choices) {
        auto node = choices.append_child("Choice");
        node.append_attribute("AnswerID") = choice.answerId.c_str();
        node.append_child(pugi::node_cdata).set_value(choice.html.c_str());
    }
}

void writeAnswers(pugi::xml_node root, const ItemDefinition& item)
{
    auto answers = root.append_child("Answers");
    for (const auto& key : item.answers) {
        auto node = answers.append_child("Answer");
        setAttribute(node, "Weight", key.weight);
        node.text() = key.expression.c_str();
    }
}

}  // namespace

std::optional<int> ItemDefinition::maxAnswers() const
{
    return wholeNumber(max);
}

std::optional<int> ItemDefinition::minAnswers() const
{
    return wholeNumber(min);
}

bool ItemDefinition::isRandomOrder() const
{
    if (!randomOrder)
        return false;
    if (vb::equalsIgnoreCase(*randomOrder, "true"))
        return true;
    const auto number = wholeNumber(randomOrder);
    return number && *number != 0;
}

bool ItemDefinition::sameContent(const ItemDefinition& other) const
{
    return write(*this) == write(other);
}

bool QtiScoring::sameContent(const QtiScoring& other) const
{
    return cardinality == other.cardinality && templateName == other.templateName && scoreDefault == other.scoreDefault
           && choices == other.choices && correct == other.correct && mapping == other.mapping
           && rulesXml == other.rulesXml;
}

// UTF-16 files (the exhibit items are) are read as UTF-8 so that offsets count lines alike.
std::string itemText(std::string_view text)
{
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE)
        return vb::textFromBytes(reinterpret_cast<const std::uint8_t*>(text.data()) + 2, text.size() - 2);
    if (text.size() >= 2 && text[0] != '\0' && text[1] == '\0')
        return vb::textFromBytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        return std::string(text.substr(3));
    return std::string(text);
}

ReadResult read(std::string_view text)
{
    const std::string utf8 = itemText(text);
    const LineIndex lines(utf8);
    pugi::xml_document document;
    const auto parsed = document.load_buffer(utf8.data(), utf8.size(), kParseOptions, pugi::encoding_utf8);
    if (!parsed)
        return {std::nullopt, std::string("not well-formed XML: ") + parsed.description(), lines.lineOf(parsed.offset)};
    const auto root = document.document_element();
    if (std::strcmp(root.name(), "MultipleChoiceItem") != 0)
        return {std::nullopt, "the document element is not MultipleChoiceItem", lines.lineOf(root.offset_debug())};
    ItemDefinition item;
    item.language = attributeOf(root, "Language");
    item.responseType = attributeOf(root, "ResponseType");
    item.caseCode = attributeOf(root, "CaseCode");
    item.line = lines.lineOf(root.offset_debug());
    for (const auto child : root.children()) {
        if (child.type() == pugi::node_element)
            readChild(child, lines, item);
    }
    return {std::move(item), {}, 0};
}

std::string write(const ItemDefinition& item)
{
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    auto root = document.append_child("MultipleChoiceItem");
    setAttribute(root, "Language", item.language);
    setAttribute(root, "ResponseType", item.responseType);
    setAttribute(root, "CaseCode", item.caseCode);
    if (item.hasStem)
        writeStem(root, item);
    if (item.hasExhibits)
        writeExhibits(root, item);
    if (item.hasChoices)
        writeChoices(root, item);
    if (item.hasAnswers)
        writeAnswers(root, item);
    if (item.instructionsHtml) {
        auto instructions = root.append_child("Instructions");
        appendCData(instructions, "Text", *item.instructionsHtml);
    }
    if (item.qtiScoring)
        writeScoring(root, *item.qtiScoring);
    for (const auto& xml : item.otherElements)
        appendXml(root, xml);
    StringWriter writer;
    document.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    return writer.text;
}

}  // namespace quorin::itemformat
