#include "velm/KeyExpression.h"

#include "vb/Strings.h"

#include <optional>

namespace velm {
namespace {

constexpr auto npos = static_cast<std::size_t>(-1);

// One operand on the evaluation stack: whether it is met, and the term it names while it is a bare term.
struct Value {
    bool met;
    std::size_t term;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isParenthesis(char c)
{
    return c == '(' || c == ')';
}

std::vector<std::string_view> tokensOf(std::string_view text)
{
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            ++i;
        } else if (isParenthesis(text[i])) {
            tokens.push_back(text.substr(i++, 1));
        } else {
            const auto start = i;
            while (i < text.size() && !isBlank(text[i]) && !isParenthesis(text[i]))
                ++i;
            tokens.push_back(text.substr(start, i - start));
        }
    }
    return tokens;
}

}  // namespace

KeyExpression::KeyExpression(std::string_view text)
{
    auto tokens = tokensOf(text);
    const auto count = tokens.size();
    if (count >= 2 && vb::equalsIgnoreCase(tokens[count - 2], "AND")
        && vb::equalsIgnoreCase(tokens[count - 1], "ONLY")) {
        only_ = true;
        tokens.resize(count - 2);
    }
    valid_ = parse(tokens);
}

bool KeyExpression::isMetBy(const std::vector<std::string>& responses) const
{
    if (!valid_)
        return false;
    // Kept between calls, so that scoring response after response allocates nothing.
    thread_local std::vector<std::size_t> firstAnswer;
    thread_local std::vector<Value> stack;
    if (!firstAnswers(responses, firstAnswer))
        return false;
    stack.clear();
    for (const auto& step : program_) {
        if (step.op == Op::Term) {
            stack.push_back({firstAnswer[step.term] != npos, step.term});
            continue;
        }
        if (step.op == Op::Not) {
            stack.back() = {!stack.back().met, npos};
            continue;
        }
        const auto right = stack.back();
        stack.pop_back();
        auto& left = stack.back();
        if (step.op == Op::Before) {
            const auto first = firstAnswer[left.term];
            const auto second = firstAnswer[right.term];
            left = {first != npos && second != npos && first < second, npos};
        } else {
            left = {step.op == Op::And ? left.met && right.met : left.met || right.met, npos};
        }
    }
    return stack.back().met;
}

std::vector<std::string> KeyExpression::terms() const
{
    std::vector<std::string> names(terms_.size());
    for (const auto& [name, index] : terms_)
        names[index] = name;
    return names;
}

// For each term the position of its first response, npos when unanswered; false when a key
// that ends in "AND ONLY" meets a response outside its terms.
bool KeyExpression::firstAnswers(const std::vector<std::string>& responses, std::vector<std::size_t>& firstAnswer) const
{
    firstAnswer.assign(terms_.size(), npos);
    for (std::size_t i = 0; i < responses.size(); ++i) {
        const auto term = terms_.find(vb::upperAscii(responses[i]));
        if (term == terms_.end()) {
            if (only_)
                return false;
        } else if (firstAnswer[term->second] == npos) {
            firstAnswer[term->second] = i;
        }
    }
    return true;
}

// Shunting-yard over the tokens, alternating between expecting an operand and an operator.
bool KeyExpression::parse(const std::vector<std::string_view>& tokens)
{
    std::vector<Op> pending;
    std::vector<bool> bare;
    bool expectOperand = true;
    for (const auto token : tokens) {
        std::optional<Op> op;
        if (vb::equalsIgnoreCase(token, "NOT"))
            op = Op::Not;
        else if (vb::equalsIgnoreCase(token, "BEFORE"))
            op = Op::Before;
        else if (vb::equalsIgnoreCase(token, "AND"))
            op = Op::And;
        else if (vb::equalsIgnoreCase(token, "OR"))
            op = Op::Or;

        if (token == "(" || op == Op::Not) {
            if (!expectOperand)
                return false;
            pending.push_back(token == "(" ? Op::Open : Op::Not);
        } else if (token == ")") {
            if (expectOperand)
                return false;
            while (!pending.empty() && pending.back() != Op::Open) {
                if (!emit({pending.back(), npos}, bare))
                    return false;
                pending.pop_back();
            }
            if (pending.empty())
                return false;
            pending.pop_back();
        } else if (op) {
            if (expectOperand)
                return false;
            while (!pending.empty() && precedence(pending.back()) >= precedence(*op)) {
                if (!emit({pending.back(), npos}, bare))
                    return false;
                pending.pop_back();
            }
            pending.push_back(*op);
            expectOperand = true;
        } else {
            if (!expectOperand)
                return false;
            emit({Op::Term, termIndex(token)}, bare);
            expectOperand = false;
        }
    }
    if (expectOperand)
        return false;
    for (auto op = pending.rbegin(); op != pending.rend(); ++op) {
        if (*op == Op::Open || !emit({*op, npos}, bare))
            return false;
    }
    return true;
}

// Appends a step, tracking which values on the evaluation stack are bare terms, as BEFORE needs.
bool KeyExpression::emit(Step step, std::vector<bool>& bare)
{
    program_.push_back(step);
    if (step.op == Op::Term) {
        bare.push_back(true);
        return true;
    }
    if (step.op == Op::Not) {
        bare.back() = false;
        return true;
    }
    const bool operandsBare = bare.back() && bare[bare.size() - 2];
    bare.pop_back();
    bare.back() = false;
    return step.op != Op::Before || operandsBare;
}

int KeyExpression::precedence(Op op)
{
    switch (op) {
    case Op::Not: return 4;
    case Op::Before: return 3;
    case Op::And: return 2;
    case Op::Or: return 1;
    default: return 0;
    }
}

std::size_t KeyExpression::termIndex(std::string_view word)
{
    return terms_.try_emplace(vb::upperAscii(word), terms_.size()).first->second;
}

}  // namespace velm
