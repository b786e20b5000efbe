#include "velm/ResponseProcessing.h"

#include <pugixml.hpp>

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>
#include <limits>
#include <map>

namespace velm {
namespace {

// Beyond this many choices the score range of the item's own rules is not enumerated.
constexpr std::size_t kMaxEnumeratedChoices = 16;
constexpr int kMaxDepth = 100;

struct Value {
    enum class Kind { Null, Boolean, Number, Identifier, Set };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string identifier;
    // Sorted, each identifier once: a choice response is a set.
    std::vector<std::string> set;

    bool isNull() const { return kind == Kind::Null; }
    static Value ofBoolean(bool b) { return {Kind::Boolean, b, 0, {}, {}}; }
    static Value ofNumber(double n) { return {Kind::Number, false, n, {}, {}}; }
};

Value setOf(std::vector<std::string> identifiers)
{
    std::sort(identifiers.begin(), identifiers.end());
    identifiers.erase(std::unique(identifiers.begin(), identifiers.end()), identifiers.end());
    if (identifiers.empty())
        return {};
    return {Value::Kind::Set, false, 0, {}, std::move(identifiers)};
}

// The identifiers a value holds: one for a single value, the members of a set.
std::vector<std::string> membersOf(const Value& value)
{
    if (value.kind == Value::Kind::Set)
        return value.set;
    if (value.kind == Value::Kind::Identifier)
        return {value.identifier};
    return {};
}

enum class Op { Match, Member, Contains, And, Or, Not, IsNull, Sum, BaseValue, Response, Score, Correct, MapResponse };

struct Expression {
    Op op = Op::BaseValue;
    Value constant;
    std::vector<Expression> operands;
};

struct Rule;

struct Branch {
    // Nothing for the final "else".
    std::optional<Expression> condition;
    std::vector<Rule> rules;
};

struct Rule {
    // A rule sets SCORE to its value, or runs the first branch whose condition is true.
    std::optional<Expression> value;
    std::vector<Branch> branches;
};

struct Mapping {
    std::map<std::string, double> entries;
    double defaultValue = 0;
    std::optional<double> lowerBound;
    std::optional<double> upperBound;

    double clamp(double value) const
    {
        if (lowerBound && value < *lowerBound)
            value = *lowerBound;
        if (upperBound && value > *upperBound)
            value = *upperBound;
        return value;
    }
};

struct ParseError {
    std::string message;
};

bool hasName(pugi::xml_node node, const char* name)
{
    return std::strcmp(node.name(), name) == 0;
}

std::vector<pugi::xml_node> elementChildren(pugi::xml_node node)
{
    std::vector<pugi::xml_node> children;
    for (const auto child : node.children()) {
        if (child.type() == pugi::node_element)
            children.push_back(child);
    }
    return children;
}

std::string trimmedText(pugi::xml_node node)
{
    std::string text = node.child_value();
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

Value baseValueOf(pugi::xml_node node)
{
    const std::string type = node.attribute("baseType").as_string();
    const std::string text = trimmedText(node);
    if (type == "float" || type == "integer") {
        char* end = nullptr;
        const double number = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0')
            throw ParseError{"baseValue \"" + text + "\" is not a number"};
        return Value::ofNumber(number);
    }
    if (type == "boolean")
        return Value::ofBoolean(text == "true" || text == "1");
    if (type == "identifier" || type == "string")
        return text.empty() ? Value{} : Value{Value::Kind::Identifier, false, 0, text, {}};
    throw ParseError{"baseValue of type \"" + type + "\""};
}

// Rules nest as deep as their author wrote them; evaluation recurses, so the depth is bounded.
void checkDepth(int depth)
{
    if (depth > kMaxDepth)
        throw ParseError{"rules nested deeper than " + std::to_string(kMaxDepth)};
}

void requireIdentifier(pugi::xml_node node, const char* wanted)
{
    if (std::strcmp(node.attribute("identifier").as_string(), wanted) != 0)
        throw ParseError{std::string(node.name()) + " of \"" + node.attribute("identifier").as_string() + "\""};
}

Expression expressionOf(pugi::xml_node node, int depth)
{
    checkDepth(depth);
    static const std::map<std::string, Op, std::less<>> operators = {
        {"match", Op::Match}, {"member", Op::Member}, {"contains", Op::Contains}, {"and", Op::And},
        {"or", Op::Or},       {"not", Op::Not},       {"isNull", Op::IsNull},     {"sum", Op::Sum}};
    // (Operand counts are checked so that evaluation never reads past its operands.)
    static const std::map<Op, std::pair<std::size_t, std::size_t>> arity = {
        {Op::Match, {2, 2}},     {Op::Member, {2, 2}}, {Op::Contains, {2, 2}}, {Op::And, {1, SIZE_MAX}},
        {Op::Or, {1, SIZE_MAX}}, {Op::Not, {1, 1}},    {Op::IsNull, {1, 1}},   {Op::Sum, {1, SIZE_MAX}}};
    const std::string_view name = node.name();
    if (name == "baseValue")
        return {Op::BaseValue, baseValueOf(node), {}};
    if (name == "variable") {
        if (std::strcmp(node.attribute("identifier").as_string(), "SCORE") == 0)
            return {Op::Score, {}, {}};
        requireIdentifier(node, "RESPONSE");
        return {Op::Response, {}, {}};
    }
    if (name == "correct" || name == "mapResponse") {
        requireIdentifier(node, "RESPONSE");
        return {name == "correct" ? Op::Correct : Op::MapResponse, {}, {}};
    }
    const auto found = operators.find(name);
    if (found == operators.end())
        throw ParseError{"the expression " + std::string(name)};
    Expression expression{found->second, {}, {}};
    for (const auto child : elementChildren(node))
        expression.operands.push_back(expressionOf(child, depth + 1));
    const auto [least, most] = arity.at(found->second);
    if (expression.operands.size() < least || expression.operands.size() > most)
        throw ParseError{std::string(name) + " with " + std::to_string(expression.operands.size()) + " operands"};
    return expression;
}

std::vector<Rule> rulesOf(const std::vector<pugi::xml_node>& nodes, std::size_t first, int depth);

Expression onlyExpressionOf(pugi::xml_node node, int depth)
{
    const auto children = elementChildren(node);
    if (children.empty())
        throw ParseError{std::string(node.name()) + " without an expression"};
    return expressionOf(children.front(), depth);
}

Branch branchOf(pugi::xml_node node, bool conditional, int depth)
{
    const auto children = elementChildren(node);
    Branch branch;
    if (conditional) {
        if (children.empty())
            throw ParseError{std::string(node.name()) + " without a condition"};
        branch.condition = expressionOf(children.front(), depth);
    }
    branch.rules = rulesOf(children, conditional ? 1 : 0, depth);
    return branch;
}

Rule conditionOf(pugi::xml_node node, int depth)
{
    Rule rule;
    const auto children = elementChildren(node);
    for (std::size_t i = 0; i < children.size(); ++i) {
        const std::string_view name = children[i].name();
        const bool first = i == 0;
        const bool last = i + 1 == children.size();
        if ((name == "responseIf" && first) || (name == "responseElseIf" && !first))
            rule.branches.push_back(branchOf(children[i], true, depth + 1));
        else if (name == "responseElse" && !first && last)
            rule.branches.push_back(branchOf(children[i], false, depth + 1));
        else
            throw ParseError{"responseCondition holding " + std::string(name) + " there"};
    }
    if (rule.branches.empty())
        throw ParseError{"an empty responseCondition"};
    return rule;
}

std::vector<Rule> rulesOf(const std::vector<pugi::xml_node>& nodes, std::size_t first, int depth)
{
    checkDepth(depth);
    std::vector<Rule> rules;
    for (std::size_t i = first; i < nodes.size(); ++i) {
        const auto child = nodes[i];
        if (hasName(child, "responseCondition")) {
            rules.push_back(conditionOf(child, depth + 1));
        } else if (hasName(child, "setOutcomeValue")) {
            requireIdentifier(child, "SCORE");
            rules.push_back({onlyExpressionOf(child, depth + 1), {}});
        } else {
            throw ParseError{"the rule " + std::string(child.name())};
        }
    }
    return rules;
}

Expression responseVariable()
{
    return {Op::Response, {}, {}};
}

// The standard templates, as the rules they stand for.
std::vector<Rule> templateRules(std::string_view name)
{
    if (name == "match_correct") {
        Branch matched{Expression{Op::Match, {}, {responseVariable(), Expression{Op::Correct, {}, {}}}},
                       {Rule{Expression{Op::BaseValue, Value::ofNumber(1), {}}, {}}}};
        Branch otherwise{std::nullopt, {Rule{Expression{Op::BaseValue, Value::ofNumber(0), {}}, {}}}};
        return {Rule{std::nullopt, {std::move(matched), std::move(otherwise)}}};
    }
    if (name == "map_response") {
        Branch empty{Expression{Op::IsNull, {}, {responseVariable()}},
                     {Rule{Expression{Op::BaseValue, Value::ofNumber(0), {}}, {}}}};
        Branch mapped{std::nullopt, {Rule{Expression{Op::MapResponse, {}, {}}, {}}}};
        return {Rule{std::nullopt, {std::move(empty), std::move(mapped)}}};
    }
    throw ParseError{"the template " + std::string(name)};
}

}  // namespace

struct ResponseProcessing::Program {
    bool multiple = false;
    std::vector<std::string> answerIds;
    std::map<std::string, std::string, std::less<>> identifierOf;
    Value correct;
    Mapping mapping;
    double scoreDefault = 0;
    std::string templateName;
    std::vector<Rule> rules;

    Value responseOf(const std::vector<std::string>& responses) const
    {
        std::vector<std::string> identifiers;
        for (const auto& response : responses) {
            const auto found = identifierOf.find(response);
            identifiers.push_back(found == identifierOf.end() ? response : found->second);
        }
        if (multiple)
            return setOf(std::move(identifiers));
        if (identifiers.empty() || identifiers.front().empty())
            return {};
        return {Value::Kind::Identifier, false, 0, identifiers.front(), {}};
    }

    double mapped(const Value& response) const
    {
        double sum = 0;
        for (const auto& identifier : membersOf(response)) {
            const auto found = mapping.entries.find(identifier);
            sum += found == mapping.entries.end() ? mapping.defaultValue : found->second;
        }
        return mapping.clamp(sum);
    }

    Value evaluate(const Expression& e, const Value& response, const Value& score) const
    {
        switch (e.op) {
        case Op::BaseValue: return e.constant;
        case Op::Response: return response;
        case Op::Score: return score;
        case Op::Correct: return correct;
        case Op::MapResponse: return Value::ofNumber(mapped(response));
        case Op::IsNull: return Value::ofBoolean(evaluate(e.operands[0], response, score).isNull());
        case Op::Not: {
            const Value operand = evaluate(e.operands[0], response, score);
            return operand.kind == Value::Kind::Boolean ? Value::ofBoolean(!operand.boolean) : Value{};
        }
        case Op::And:
        case Op::Or: return logical(e, response, score);
        case Op::Sum: return sum(e, response, score);
        case Op::Match:
        case Op::Member:
        case Op::Contains: return compare(e, response, score);
        }
        return {};
    }

    // False (for and) or true (for or) decides; otherwise a NULL operand makes the result NULL.
    Value logical(const Expression& e, const Value& response, const Value& score) const
    {
        const bool decisive = e.op == Op::Or;
        bool sawNull = false;
        for (const auto& operand : e.operands) {
            const Value value = evaluate(operand, response, score);
            if (value.kind != Value::Kind::Boolean)
                sawNull = true;
            else if (value.boolean == decisive)
                return Value::ofBoolean(decisive);
        }
        return sawNull ? Value{} : Value::ofBoolean(!decisive);
    }

    Value sum(const Expression& e, const Value& response, const Value& score) const
    {
        double total = 0;
        for (const auto& operand : e.operands) {
            const Value value = evaluate(operand, response, score);
            if (value.kind != Value::Kind::Number)
                return {};
            total += value.number;
        }
        return Value::ofNumber(total);
    }

    Value compare(const Expression& e, const Value& response, const Value& score) const
    {
        const Value left = evaluate(e.operands[0], response, score);
        const Value right = evaluate(e.operands[1], response, score);
        if (left.isNull() || right.isNull())
            return {};
        if (e.op == Op::Match) {
            if (left.kind == Value::Kind::Number || right.kind == Value::Kind::Number)
                return Value::ofBoolean(left.kind == right.kind && left.number == right.number);
            if (left.kind == Value::Kind::Boolean || right.kind == Value::Kind::Boolean)
                return Value::ofBoolean(left.kind == right.kind && left.boolean == right.boolean);
            return Value::ofBoolean(left.kind == right.kind && membersOf(left) == membersOf(right));
        }
        const auto container = membersOf(e.op == Op::Member ? right : left);
        const auto wanted = membersOf(e.op == Op::Member ? left : right);
        return Value::ofBoolean(!wanted.empty()
                                && std::includes(container.begin(), container.end(), wanted.begin(), wanted.end()));
    }

    void run(const std::vector<Rule>& rules, const Value& response, Value& score) const
    {
        for (const auto& rule : rules) {
            if (rule.value) {
                score = evaluate(*rule.value, response, score);
                continue;
            }
            for (const auto& branch : rule.branches) {
                if (branch.condition) {
                    const Value met = evaluate(*branch.condition, response, score);
                    if (met.kind != Value::Kind::Boolean || !met.boolean)
                        continue;
                }
                run(branch.rules, response, score);
                break;
            }
        }
    }

    double scoreOf(const Value& response) const
    {
        Value score = Value::ofNumber(scoreDefault);
        run(rules, response, score);
        return score.kind == Value::Kind::Number ? score.number : 0;
    }
};

namespace {

void readChoices(pugi::xml_node root, ResponseProcessing::Program& program)
{
    for (const auto choice : root.children("QtiChoice")) {
        const std::string answerId = choice.attribute("AnswerID").as_string();
        program.answerIds.push_back(answerId);
        program.identifierOf.emplace(answerId, choice.attribute("Identifier").as_string());
    }
}

void readMapping(pugi::xml_node node, Mapping& mapping)
{
    mapping.defaultValue = node.attribute("DefaultValue").as_double(0);
    if (const auto lower = node.attribute("LowerBound"))
        mapping.lowerBound = lower.as_double();
    if (const auto upper = node.attribute("UpperBound"))
        mapping.upperBound = upper.as_double();
    for (const auto entry : node.children("QtiMapEntry"))
        mapping.entries.emplace(entry.attribute("Key").as_string(), entry.attribute("Value").as_double(0));
}

std::unique_ptr<ResponseProcessing::Program> programOf(pugi::xml_node root)
{
    auto program = std::make_unique<ResponseProcessing::Program>();
    program->multiple = std::strcmp(root.attribute("Cardinality").as_string("single"), "single") != 0;
    program->scoreDefault = root.attribute("ScoreDefault").as_double(0);
    readChoices(root, *program);
    std::vector<std::string> correct;
    for (const auto value : root.child("QtiCorrect").children("QtiValue"))
        correct.push_back(trimmedText(value));
    program->correct = program->multiple ? setOf(correct)
                       : correct.empty() ? Value{}
                                         : Value{Value::Kind::Identifier, false, 0, correct.front(), {}};
    readMapping(root.child("QtiMapping"), program->mapping);
    program->templateName = root.attribute("Template").as_string();
    if (!program->templateName.empty()) {
        program->rules = templateRules(program->templateName);
        return program;
    }
    program->rules = rulesOf(elementChildren(root.child("QtiRules")), 0, 0);
    if (program->answerIds.size() > kMaxEnumeratedChoices)
        throw ParseError{"own response rules over more than " + std::to_string(kMaxEnumeratedChoices) + " choices"};
    return program;
}

// The scores of the best and the worst k of the values, each sum clamped: the range of
// map_response over responses of one to k choices.
std::pair<double, double> mappedRange(std::vector<double> values, std::size_t k, const Mapping& mapping)
{
    std::sort(values.begin(), values.end(), std::greater<>());
    double best = values.front();
    double worst = values.back();
    for (std::size_t i = 1; i < k && values[i] > 0; ++i)
        best += values[i];
    for (std::size_t i = 1; i < k && values[values.size() - 1 - i] < 0; ++i)
        worst += values[values.size() - 1 - i];
    return {mapping.clamp(best), mapping.clamp(worst)};
}

}  // namespace

ResponseProcessing::ResponseProcessing(std::unique_ptr<Program> program) : program_(std::move(program)) {}

ResponseProcessing::ResponseProcessing(ResponseProcessing&&) noexcept = default;
ResponseProcessing& ResponseProcessing::operator=(ResponseProcessing&&) noexcept = default;
ResponseProcessing::~ResponseProcessing() = default;

std::optional<ResponseProcessing> ResponseProcessing::fromXml(std::string_view xml, std::string* error)
{
    pugi::xml_document document;
    if (!document.load_buffer(xml.data(), xml.size())) {
        if (error)
            *error = "the scoring element is not well-formed XML";
        return std::nullopt;
    }
    auto root = document.document_element();
    if (!hasName(root, "QtiScoring"))
        root = root.child("QtiScoring");
    try {
        if (!root)
            throw ParseError{"no QtiScoring element"};
        return ResponseProcessing(programOf(root));
    } catch (const ParseError& failure) {
        if (error)
            *error = "unsupported in response processing: " + failure.message;
        return std::nullopt;
    }
}

double ResponseProcessing::score(const std::vector<std::string>& responses) const
{
    return program_->scoreOf(program_->responseOf(responses));
}

std::pair<double, double> ResponseProcessing::scoreRange(int maxChoices) const
{
    const auto& ids = program_->answerIds;
    const std::size_t n = ids.size();
    if (n == 0)
        return {0, 0};
    const std::size_t k = (maxChoices <= 0 || static_cast<std::size_t>(maxChoices) > n) ? n : maxChoices;
    if (n > kMaxEnumeratedChoices && program_->templateName == "map_response") {
        std::vector<double> values;
        values.reserve(n);
        for (const auto& id : ids)
            values.push_back(program_->mapped(program_->responseOf({id})));
        return mappedRange(std::move(values), program_->multiple ? k : 1, program_->mapping);
    }
    if (n > kMaxEnumeratedChoices) {
        // match_correct: 1 when the correct response can be given, 0 for anything else.
        const auto correct = membersOf(program_->correct);
        const bool reachable = !correct.empty() && correct.size() <= (program_->multiple ? k : 1);
        return {reachable ? 1.0 : 0.0, 0.0};
    }
    double best = -std::numeric_limits<double>::infinity();
    double worst = std::numeric_limits<double>::infinity();
    std::vector<std::string> chosen;
    for (std::uint32_t subset = 1; subset < (1u << n); ++subset) {
        if (static_cast<std::size_t>(std::popcount(subset)) > k)
            continue;
        chosen.clear();
        for (std::size_t i = 0; i < n; ++i) {
            if (subset & (1u << i))
                chosen.push_back(ids[i]);
        }
        const double value = score(chosen);
        best = std::max(best, value);
        worst = std::min(worst, value);
    }
    return {best, worst};
}

double ResponseProcessing::maxScore(int maxChoices) const
{
    return scoreRange(maxChoices).first;
}

double ResponseProcessing::minScore(int maxChoices) const
{
    return scoreRange(maxChoices).second;
}

const std::vector<std::string>& ResponseProcessing::answerIds() const
{
    return program_->answerIds;
}

}  // namespace velm
