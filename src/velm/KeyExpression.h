#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velm {

// An answer key's expression, parsed once. Terms are runs of characters other than blanks
// (spaces, tabs, line breaks) and parentheses; NOT binds tightest, then BEFORE, AND and OR;
// parentheses group; connectives are read in any letter case. BEFORE joins two bare terms,
// one pair at a time. A trailing "AND ONLY" also requires every response to be a named term.
class KeyExpression {
public:
    // Parses the text; a text that does not parse gives a key that nothing meets.
    explicit KeyExpression(std::string_view text);

    // Whether the text parsed.
    bool isValid() const { return valid_; }

    // Whether the responses, in the order given, meet the key (terms compared without regard to
    // ASCII letter case); false when the text did not parse.
    bool isMetBy(const std::vector<std::string>& responses) const;

    enum class Op : std::uint8_t { Term, Not, Before, And, Or, Open };
    // One step of the expression in postfix order; a Term step's term indexes terms().
    struct Step {
        Op op;
        std::size_t term;
    };
    // The expression in postfix order, for tools that translate keys; meaningless unless valid.
    const std::vector<Step>& steps() const { return program_; }
    // Each distinct term, upper-cased, at its index.
    std::vector<std::string> terms() const;
    // Whether the key ends in "AND ONLY".
    bool isOnly() const { return only_; }

private:
    bool firstAnswers(const std::vector<std::string>& responses, std::vector<std::size_t>& firstAnswer) const;
    bool parse(const std::vector<std::string_view>& tokens);
    bool emit(Step step, std::vector<bool>& bare);
    std::size_t termIndex(std::string_view word);
    static int precedence(Op op);

    // The expression in postfix order, so that neither parsing nor evaluation recurses.
    std::vector<Step> program_;
    // Each distinct term, upper-cased, with its index.
    std::unordered_map<std::string, std::size_t> terms_;
    bool only_ = false;
    bool valid_ = false;
};

}  // namespace velm
