#include "keyanswers/modSetAnswers.h"

#include "vb/Strings.h"
#include "vb/Variant.h"

#include <vector>

namespace quorin {
namespace {

constexpr auto npos = std::string_view::npos;

bool isLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

// For each "(" the position of the ")" where the depth counted from it first returns to 0,
// npos when it never does; that is exactly what a scan from the "(" would find.
std::vector<std::size_t> matchingParentheses(std::string_view text)
{
    std::vector<std::size_t> closers(text.size(), npos);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            open.push_back(i);
        } else if (text[i] == ')' && !open.empty()) {
            closers[open.back()] = i;
            open.pop_back();
        }
    }
    return closers;
}

}  // namespace

std::string modSetAnswers::GetKeyAnswers(std::string_view sExpression, std::string_view sItemType)
{
    return WellFormedKeyAnswers(sExpression, sItemType).value_or(std::string());
}

std::optional<std::string> modSetAnswers::WellFormedKeyAnswers(std::string_view sExpression, std::string_view sItemType)
{
    msAnswerList.clear();
    mbInNot = false;
    msItemType = sItemType;
    mLinksBeforeOr.reset();
    msWholeExpression = vb::upperAscii(NormalizeExpression(sExpression));
    if (!ParseExpression(msWholeExpression))
        return std::nullopt;
    return msAnswerList.empty() ? std::string() : msAnswerList.substr(1);
}

std::string modSetAnswers::NormalizeExpression(std::string_view expression)
{
    std::string text;
    for (const char c : vb::trimView(expression, " ")) {
        if (c == ' ' && !text.empty() && text.back() == ' ')
            continue;
        text += c;
    }
    // Opening one of these never creates another of the same kind, so one pass of each suffices.
    text = vb::replaceAll(std::move(text), ")AND ", ") AND ");
    text = vb::replaceAll(std::move(text), " AND(", " AND (");
    text = vb::replaceAll(std::move(text), ")OR ", ") OR ");
    return vb::replaceAll(std::move(text), "NOT(", "NOT (");
}

// The stack holds where the inner text of each open group ends. A NOT stays in force to the end
// of the chain it opens; closing a group ends it, as the inner chain has then been parsed whole.
bool modSetAnswers::ParseExpression(std::string_view expression)
{
    const auto closers = matchingParentheses(expression);
    std::vector<std::size_t> ends{expression.size()};
    std::size_t at = 0;
    for (;;) {
        auto text = expression.substr(at, ends.back() - at);
        if (text.starts_with("NOT ")) {
            mbInNot = true;
            at += 4;
            text.remove_prefix(4);
        }
        const auto width = checkTerm(text);
        if (width == 0) {
            if (!text.starts_with('(') || closers[at] == npos || closers[at] >= ends.back())
                return false;
            ends.push_back(closers[at]);
            ++at;
            continue;
        }
        at += width;
        for (;;) {
            const auto connective = ParseContinuation(expression.substr(at, ends.back() - at));
            if (!connective)
                return false;
            if (*connective > 0) {
                at += *connective;
                break;
            }
            if (ends.size() == 1)
                return true;
            at = ends.back() + 1;
            ends.pop_back();
            mbInNot = false;
        }
    }
}

std::optional<std::size_t> modSetAnswers::ParseContinuation(std::string_view text) const
{
    if (text.empty())
        return 0;
    if (text.starts_with(" AND "))
        return 5;
    if (text.starts_with(" OR "))
        return 4;
    return std::nullopt;
}

std::size_t modSetAnswers::checkTerm(std::string_view text)
{
    const auto dialect = vb::leftCodePoints(msItemType, 2);
    if (dialect == "BL") {
        const auto clause = vb::leftCodePoints(text, 10);
        if (CheckBeforeClause(clause))
            return clause.size();
        return CheckLetterTerm(vb::leftCodePoints(text, 1)) ? 1 : 0;
    }
    if (dialect == "MC")
        return CheckLetterTerm(vb::leftCodePoints(text, 1)) ? 1 : 0;
    if (dialect == "DC")
        return CheckLinkTerm(vb::leftCodePoints(text, 3)) ? 3 : 0;
    if (dialect == "CT") {
        const auto two = vb::leftCodePoints(text, 2);
        const bool blankThird = two.find(' ') == npos && text.size() > two.size() && text[two.size()] == ' ';
        const auto term = blankThird ? two : vb::leftCodePoints(text, 3);
        return CheckNumberedTerm(term) ? term.size() : 0;
    }
    return 0;
}

bool modSetAnswers::CheckLetterTerm(std::string_view term)
{
    if (term.size() != 1 || !isLetter(term[0]))
        return false;
    appendTerm(term);
    return true;
}

bool modSetAnswers::CheckBeforeClause(std::string_view clause)
{
    const auto at = clause.find(" BEFORE ");
    if (at == npos)
        return false;
    // The two letters belong to the clause, so they must not be collected on their own.
    const bool savedInNot = mbInNot;
    mbInNot = true;
    const bool right = CheckLetterTerm(clause.substr(at + 8));
    const bool left = CheckLetterTerm(clause.substr(0, at));
    mbInNot = savedInNot;
    if (!right || !left)
        return false;
    msAnswerList += ',';
    msAnswerList += clause;
    return true;
}

bool modSetAnswers::CheckLinkTerm(std::string_view term)
{
    if (term.size() != 3 || !isLetter(term[0]) || !vb::isNumeric(term.substr(1, 1)) || !isLetter(term[2]))
        return false;
    // One entry per undirected link: a term is left out when its twin is written before an OR.
    if (!isFollowedByOr(std::string{term[2], term[1], term[0]}))
        appendTerm(term);
    return true;
}

bool modSetAnswers::CheckNumberedTerm(std::string_view term)
{
    if (term.empty() || !isLetter(term[0]) || !vb::isNumeric(term.substr(1)))
        return false;
    appendTerm(term);
    return true;
}

void modSetAnswers::appendTerm(std::string_view term)
{
    if (mbInNot)
        return;
    msAnswerList += ',';
    msAnswerList += term;
}

bool modSetAnswers::isFollowedByOr(const std::string& link)
{
    if (!mLinksBeforeOr) {
        mLinksBeforeOr.emplace();
        const std::string_view whole = msWholeExpression;
        for (auto at = whole.find(" OR ", 3); at != npos; at = whole.find(" OR ", at + 1))
            mLinksBeforeOr->emplace(whole.substr(at - 3, 3));
    }
    return mLinksBeforeOr->contains(link);
}

}  // namespace quorin
