#include "qti/KeyScoring.h"

#include "velm/KeyExpression.h"

#include "vb/Strings.h"
#include "vb/Variant.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <set>
#include <sstream>

namespace quorin::qti {
namespace {

using Op = velm::KeyExpression::Op;

struct UsableKey {
    const itemformat::AnswerKey* key;
    velm::KeyExpression expression;
    double weight;
};

struct Refusal {
    std::string reason;
};

// The weight as our scorer reads it: 1 when absent; nothing when it is not a finite number,
// and then the key is never met.
std::optional<double> weightOf(const std::optional<std::string>& weight)
{
    if (!weight)
        return 1.0;
    if (!vb::isNumeric(*weight))
        return std::nullopt;
    const double value = vb::toDouble(*weight);
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::string numberText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

bool isIdentifier(std::string_view text)
{
    const auto isStart = [](unsigned char c) { return std::isalpha(c) || c == '_'; };
    const auto isPart = [&](unsigned char c) { return isStart(c) || std::isdigit(c) || c == '-' || c == '.'; };
    return !text.empty() && isStart(text.front()) && std::all_of(text.begin() + 1, text.end(), isPart);
}

// Answer identifiers the standard accepts as they are; the others are named by their position.
std::vector<itemformat::ChoiceIdentifier> identifiersOf(const std::vector<itemformat::Choice>& choices)
{
    std::set<std::string> seen;
    std::vector<itemformat::ChoiceIdentifier> identifiers;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const auto& answerId = choices[i].answerId;
        if (!seen.insert(answerId).second)
            throw Refusal{"two choices have the answer identifier \"" + answerId + "\""};
        identifiers.push_back({answerId, isIdentifier(answerId) ? answerId : "CHOICE_" + std::to_string(i + 1)});
    }
    return identifiers;
}

std::vector<UsableKey> usableKeysOf(const itemformat::ItemDefinition& item)
{
    std::vector<UsableKey> keys;
    for (const auto& key : item.answers) {
        velm::KeyExpression expression(key.expression);
        const auto weight = weightOf(key.weight);
        if (!expression.isValid() || !weight)
            continue;
        const auto& steps = expression.steps();
        if (std::any_of(steps.begin(), steps.end(), [](const auto& step) { return step.op == Op::Before; }))
            throw Refusal{"the key \"" + key.expression
                          + "\" orders its responses (BEFORE); a choice response has no order"};
        keys.push_back({&key, std::move(expression), *weight});
    }
    // Stable, so that keys of equal weight keep their order: either gives the same score.
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.weight > b.weight; });
    return keys;
}

// Builds the rules in a scratch document, each expression made below a holder and moved in place.
class RuleWriter {
public:
    RuleWriter(const std::vector<itemformat::ChoiceIdentifier>& choices, bool single)
        : choices_(choices)
        , single_(single)
    {
        holder_ = document_.append_child("holder");
    }

    // The choices (their identifiers) that a term names, compared as our scorer compares them.
    std::vector<std::string> choicesNamed(const std::string& term) const
    {
        std::vector<std::string> named;
        for (const auto& choice : choices_) {
            if (vb::upperAscii(choice.answerId) == term)
                named.push_back(choice.identifier);
        }
        return named;
    }

    pugi::xml_node conditionOf(const velm::KeyExpression& key)
    {
        const auto terms = key.terms();
        std::vector<pugi::xml_node> stack;
        for (const auto& step : key.steps()) {
            if (step.op == Op::Term) {
                stack.push_back(termOf(terms[step.term]));
            } else if (step.op == Op::Not) {
                stack.back() = wrap("not", {stack.back()});
            } else {
                const auto right = stack.back();
                stack.pop_back();
                stack.back() = join(step.op == Op::And ? "and" : "or", stack.back(), right);
            }
        }
        if (!key.isOnly())
            return stack.back();
        std::vector<pugi::xml_node> parts{stack.back()};
        for (const auto& choice : choices_) {
            if (std::find(terms.begin(), terms.end(), vb::upperAscii(choice.answerId)) == terms.end())
                parts.push_back(wrap("not", {chosen(choice.identifier)}));
        }
        return parts.size() == 1 ? parts.front() : wrap("and", parts);
    }

    // responseCondition: an empty response scores 0, else the first key met scores its weight.
    void addChain(const std::vector<UsableKey>& keys)
    {
        auto condition = document_.append_child("responseCondition");
        auto empty = condition.append_child("responseIf");
        empty.append_child("isNull").append_child("variable").append_attribute("identifier") = "RESPONSE";
        setScore(empty, 0);
        for (const auto& key : keys) {
            auto branch = condition.append_child("responseElseIf");
            branch.append_move(conditionOf(key.expression));
            setScore(branch, key.weight);
        }
    }

    std::string rulesXml() const
    {
        std::ostringstream text;
        for (const auto rule : document_.children("responseCondition"))
            rule.print(text, "", pugi::format_raw);
        return text.str();
    }

private:
    pugi::xml_node make(const char* name) { return holder_.append_child(name); }

    pugi::xml_node wrap(const char* name, const std::vector<pugi::xml_node>& operands)
    {
        auto node = make(name);
        for (const auto operand : operands)
            node.append_move(operand);
        return node;
    }

    // A chain of one connective stays one element: "A AND B AND C" is one and of three.
    pugi::xml_node join(const char* name, pugi::xml_node left, pugi::xml_node right)
    {
        if (std::string_view(left.name()) == name) {
            left.append_move(right);
            return left;
        }
        return wrap(name, {left, right});
    }

    pugi::xml_node identifierValue(const std::string& identifier)
    {
        auto value = make("baseValue");
        value.append_attribute("baseType") = "identifier";
        value.text() = identifier.c_str();
        return value;
    }

    pugi::xml_node responseVariable()
    {
        auto variable = make("variable");
        variable.append_attribute("identifier") = "RESPONSE";
        return variable;
    }

    // Whether the candidate chose the choice: a single response matches it, a set holds it.
    pugi::xml_node chosen(const std::string& identifier)
    {
        if (single_)
            return wrap("match", {responseVariable(), identifierValue(identifier)});
        return wrap("member", {identifierValue(identifier), responseVariable()});
    }

    pugi::xml_node termOf(const std::string& term)
    {
        const auto named = choicesNamed(term);
        if (named.empty()) {
            auto never = make("baseValue");
            never.append_attribute("baseType") = "boolean";
            never.text() = "false";
            return never;
        }
        std::vector<pugi::xml_node> tests;
        tests.reserve(named.size());
        for (const auto& identifier : named)
            tests.push_back(chosen(identifier));
        return tests.size() == 1 ? tests.front() : wrap("or", tests);
    }

    void setScore(pugi::xml_node branch, double value)
    {
        auto set = branch.append_child("setOutcomeValue");
        set.append_attribute("identifier") = "SCORE";
        auto number = set.append_child("baseValue");
        number.append_attribute("baseType") = "float";
        number.text() = numberText(value).c_str();
    }

    const std::vector<itemformat::ChoiceIdentifier>& choices_;
    bool single_;
    pugi::xml_document document_;
    pugi::xml_node holder_;
};

// The choices an exact key names when it is "T AND U … AND ONLY" over distinct choices, each
// term naming one; nothing for any other key.
std::optional<std::vector<std::string>> exactChoicesOf(const velm::KeyExpression& key, const RuleWriter& writer)
{
    if (!key.isOnly())
        return std::nullopt;
    const auto& steps = key.steps();
    if (!std::all_of(steps.begin(), steps.end(),
                     [](const auto& step) { return step.op == Op::Term || step.op == Op::And; }))
        return std::nullopt;
    std::vector<std::string> choices;
    for (const auto& term : key.terms()) {
        const auto named = writer.choicesNamed(term);
        if (named.size() != 1)
            return std::nullopt;
        choices.push_back(named.front());
    }
    return choices;
}

// The choices a key names outside any NOT: what "Set Answers" would show for it.
std::vector<std::string> positiveChoicesOf(const velm::KeyExpression& key, const RuleWriter& writer)
{
    const auto terms = key.terms();
    std::vector<std::vector<std::pair<std::size_t, bool>>> stack;
    for (const auto& step : key.steps()) {
        if (step.op == Op::Term) {
            stack.push_back({{step.term, true}});
        } else if (step.op == Op::Not) {
            for (auto& term : stack.back())
                term.second = !term.second;
        } else {
            auto right = std::move(stack.back());
            stack.pop_back();
            stack.back().insert(stack.back().end(), right.begin(), right.end());
        }
    }
    std::vector<std::string> choices;
    for (const auto& [term, positive] : stack.back()) {
        for (const auto& identifier : writer.choicesNamed(terms[term])) {
            if (positive && std::find(choices.begin(), choices.end(), identifier) == choices.end())
                choices.push_back(identifier);
        }
    }
    return choices;
}

itemformat::QtiScoring scoringOf(const itemformat::ItemDefinition& item)
{
    if (item.choices.empty())
        throw Refusal{"the item has no choices"};
    itemformat::QtiScoring scoring;
    scoring.choices = identifiersOf(item.choices);
    const bool single = item.maxAnswers() == 1;
    scoring.cardinality = single ? "single" : "multiple";
    const auto keys = usableKeysOf(item);
    RuleWriter writer(scoring.choices, single);
    if (keys.empty())
        return scoring;
    if (keys.size() == 1 && keys.front().weight == 1) {
        const auto exact = exactChoicesOf(keys.front().expression, writer);
        if (exact && (!single || exact->size() == 1)) {
            scoring.templateName = "match_correct";
            scoring.correct = *exact;
            return scoring;
        }
    }
    scoring.correct = positiveChoicesOf(keys.front().expression, writer);
    if (single && scoring.correct.size() > 1)
        scoring.correct.resize(1);
    writer.addChain(keys);
    scoring.rulesXml = writer.rulesXml();
    return scoring;
}

}  // namespace

KeyScoringResult keyScoringOf(const itemformat::ItemDefinition& item)
{
    try {
        return {scoringOf(item), {}};
    } catch (const Refusal& refusal) {
        return {{}, refusal.reason};
    }
}

}  // namespace quorin::qti
