#pragma once

#include "itemformat/QtiScoring.h"

#include <optional>
#include <string>
#include <vector>

namespace quorin::itemformat {

// One choice: its answer identifier and its HTML text.
struct Choice {
    std::string answerId;
    std::string html;
    int line = 0;

    bool operator==(const Choice&) const = default;
};

// One answer key: its expression and its "Weight" attribute as written (nothing when absent).
struct AnswerKey {
    std::string expression;
    std::optional<std::string> weight;
    int line = 0;

    bool operator==(const AnswerKey&) const = default;
};

// One exhibit button: the attributes the window reads, as written.
struct Exhibit {
    std::string buttonText;
    std::string progid;
    std::string initDataFilename;
    std::string selfClosing;
    int line = 0;

    bool operator==(const Exhibit&) const = default;
};

// A multiple-choice item as its definition holds it. Attribute values are kept as written, so
// tools can name a value the component would refuse; nothing means the element or attribute is
// absent. Each line is the element's line in the text read (0 for items built in memory).
struct ItemDefinition {
    std::optional<std::string> language;
    std::optional<std::string> responseType;
    std::optional<std::string> caseCode;
    // The line of the document element, for what concerns the item as a whole.
    int line = 0;

    // "ItemStem": its "Heading" and its "Text" (HTML).
    bool hasStem = false;
    std::optional<std::string> heading;
    std::optional<std::string> stemHtml;
    int stemLine = 0;
    int stemTextLine = 0;

    // "ActiveExhibits": its "Require" attribute and its children.
    bool hasExhibits = false;
    std::optional<std::string> exhibitsRequire;
    std::vector<Exhibit> exhibits;
    int exhibitsLine = 0;

    // "Choices": "Max", "Min", "RandomOrder" and the choices in definition order.
    bool hasChoices = false;
    std::optional<std::string> max;
    std::optional<std::string> min;
    std::optional<std::string> randomOrder;
    std::vector<Choice> choices;
    int choicesLine = 0;

    // "Answers": the answer keys in order.
    bool hasAnswers = false;
    std::vector<AnswerKey> answers;
    int answersLine = 0;

    // "Instructions" / "Text" (HTML); the line is the Text's, where a fault of the HTML shows.
    std::optional<std::string> instructionsHtml;
    int instructionsLine = 0;

    // The exact scoring an imported item keeps; nothing for items scored by their keys.
    std::optional<QtiScoring> qtiScoring;

    // The outer XML of every other child of the document element (a stored "State", say), in
    // order; written back after the known elements.
    std::vector<std::string> otherElements;

    // "Max" as a whole number; nothing when absent or not one.
    std::optional<int> maxAnswers() const;
    // "Min" as a whole number; nothing when absent or not one.
    std::optional<int> minAnswers() const;
    // "RandomOrder" as the window reads it: true or false in any case, or a number, non-zero true.
    bool isRandomOrder() const;

    // Equal content, lines not compared.
    bool sameContent(const ItemDefinition& other) const;
};

}  // namespace quorin::itemformat
