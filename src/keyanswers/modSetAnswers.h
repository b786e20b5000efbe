#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

namespace quorin {

// Reads an answer-key expression in the dialect of an item type ("MC", "BL", "DC", "CT") and
// collects the terms it names positively. One evaluation runs at a time on one object.
//
// The parser keeps its own stack instead of recursing, so nesting and chain length are bounded
// only by memory; positions and depths are counted in std::size_t, so a text longer than
// 32,767 characters parses by the same rules as a short one (no 16-bit overflow, no cut-off).
class modSetAnswers {
public:
    // The terms the expression names positively, joined by "," in order of appearance; "" when
    // the expression is not well formed in the dialect of sItemType or names no term positively.
    std::string GetKeyAnswers(std::string_view sExpression, std::string_view sItemType);
    // The answers of GetKeyAnswers, or nothing when the expression is not well formed, so that a
    // caller can tell a malformed key from one that names no answer.
    std::optional<std::string> WellFormedKeyAnswers(std::string_view sExpression, std::string_view sItemType);

    // The expression trimmed, blank runs collapsed and the upper-case ")AND ", " AND(", ")OR "
    // and "NOT(" opened up with a blank.
    static std::string NormalizeExpression(std::string_view expression);

private:
    // Whether the expression is well formed; collects its positive terms on the way.
    bool ParseExpression(std::string_view expression);
    // The width of the connective that opens the text after a term or group (" AND ", " OR "),
    // 0 for the empty text, nothing when the text cannot continue an expression.
    std::optional<std::size_t> ParseContinuation(std::string_view text) const;
    // The width of the dialect's term that opens the text, 0 when there is none.
    std::size_t checkTerm(std::string_view text);
    bool CheckLetterTerm(std::string_view term);
    bool CheckBeforeClause(std::string_view clause);
    bool CheckLinkTerm(std::string_view term);
    bool CheckNumberedTerm(std::string_view term);
    void appendTerm(std::string_view term);
    bool isFollowedByOr(const std::string& link);

    std::string msAnswerList;
    bool mbInNot = false;
    std::string msItemType;
    std::string msWholeExpression;
    // Every three characters that stand before " OR " in msWholeExpression, built on first use.
    std::optional<std::unordered_set<std::string>> mLinksBeforeOr;
};

}  // namespace quorin
